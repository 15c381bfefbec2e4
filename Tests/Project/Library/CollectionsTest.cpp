#include "KLVCollection.h"

#include <gtest/gtest.h>

#include <vector>

struct ICounted : IUnknown {
    virtual int Id() = 0;
};
__CRT_UUID_DECL(ICounted, 0x5b0e3c1d, 0x2a44, 0x4f61, 0x8e, 0x21, 0x6a, 0x3c, 0x9d, 0x10, 0x42, 0x01)

namespace {

class TCounted : public TDebugInterfacedObject, public ICounted {
    GLZ_INTERFACES(TDebugInterfacedObject, ICounted)
    explicit TCounted(int id, std::vector<int>* freed = nullptr) : id_(id), freed_(freed) {}
    ~TCounted() override {
        if (freed_ != nullptr)
            freed_->push_back(id_);
    }
    int Id() override { return id_; }

private:
    int id_;
    std::vector<int>* freed_;
};

int items[8];

ICounted* Make(int id, std::vector<int>* freed = nullptr) {
    return NewObject<TCounted>(id, freed);
}

TEST(Collections, LastNameKeepsGreatestName) {
    TPointerCollection c;
    c.Add(&items[0], false, "b");
    EXPECT_EQ("b", c.LastName());
    c.Add(&items[1], false, "a");
    EXPECT_EQ("b", c.LastName());
    c.Add(&items[2], false, "C");
    EXPECT_EQ("C", c.LastName());
}

TEST(Collections, LastNameKeepsLeadingBlankAndAutoNameChangesLastCharacter) {
    TPointerCollection c;
    c.Add(&items[0], false, "a");
    c.Add(&items[1], false, " z");
    EXPECT_EQ(" z", c.LastName());
    c.Add(&items[2], true);
    EXPECT_EQ(" {", c.LastName());
    EXPECT_EQ(&items[2], c.Get(" {"));
}

TEST(Collections, AutomaticNamesRunFromExclamationMark) {
    TPointerCollection c;
    c.Add(&items[0], true);
    EXPECT_EQ("!", c.LastName());
    c.Add(&items[1], true);
    EXPECT_EQ("\"", c.LastName());
    EXPECT_EQ(&items[1], c.Get("\""));
}

TEST(Collections, AutoNameAfterManualAbcIsAbd) {
    TPointerCollection c;
    c.Add(&items[0], false, "abc");
    EXPECT_EQ("abd", c.GenerateName());
}

TEST(Collections, AutoNameAfterCharacter255AppendsExclamationMark) {
    TPointerCollection c;
    c.Add(&items[0], false, "x\xFF");
    EXPECT_EQ("x\xFF!", c.GenerateName());
}

TEST(Collections, AutomaticNamesSkipNamesTakenInOtherCase) {
    TPointerCollection c;
    for (int i = 0; i < 200; ++i)
        ASSERT_NE(nullptr, c.Add(&items[i % 8], true)) << "automatic add " << i + 1;
    EXPECT_EQ(200, c.Count());
}

TEST(Collections, NameTakenInOtherCaseIsRefused) {
    TPointerCollection c;
    EXPECT_EQ(&items[0], c.Add(&items[0], false, "Item"));
    EXPECT_EQ(nullptr, c.Add(&items[1], false, "ITEM"));
    EXPECT_EQ(1, c.Count());
    EXPECT_EQ(&items[0], c.Get("item"));
    EXPECT_TRUE(c.Exists("iTeM"));
}

TEST(Collections, CollidingNamesAreTwoItems) {
    TPointerCollection c;
    EXPECT_NE(nullptr, c.Add(&items[0], false, "KFTYOUM"));
    EXPECT_NE(nullptr, c.Add(&items[1], false, "HHCIYCR"));
    EXPECT_EQ(&items[1], c.Get("hhciycr"));
}

TEST(Collections, KeysSelectByPositionOrNameOnly) {
    TPointerCollection c;
    c.Add(&items[0], false, "a");
    c.Add(&items[1], false, "b");
    EXPECT_EQ(&items[1], c.Get(1));
    EXPECT_EQ(&items[0], c.Get("A"));
    EXPECT_EQ(nullptr, c.Get("zz"));
    EXPECT_EQ(nullptr, c.Get(true));
    EXPECT_EQ(nullptr, c.Get(0.0));
    EXPECT_EQ(nullptr, c.Get(Variant()));
    c.Delete(true);
    c.Delete(1.0);
    EXPECT_EQ(2, c.Count());
    EXPECT_THROW(c.Get(2), EElHashListError);
    EXPECT_EQ(1, c.IndexOf("B"));
}

TEST(Collections, DeleteByPositionAndName) {
    TPointerCollection c;
    c.Add(&items[0], false, "a");
    c.Add(&items[1], false, "b");
    c.Add(&items[2], false, "c");
    c.Delete(0);
    EXPECT_EQ(&items[1], c.Get(0));
    c.Delete("C");
    EXPECT_EQ(1, c.Count());
    try {
        c.Delete("c");
        FAIL() << "no error";
    } catch (const EElHashListError& e) {
        EXPECT_EQ("Hash not found.", e.Message());
    }
    try {
        c.Delete(5);
        FAIL() << "no error";
    } catch (const EElHashListError& e) {
        EXPECT_EQ("Invalid index.", e.Message());
    }
}

TEST(InterfaceCollection, HoldsOneCountPerItemAndRefusedItemIsNotHeld) {
    ComPtr<ICounted> a = NewObject<TCounted>(1);
    ComPtr<ICounted> b = NewObject<TCounted>(2);
    TInterfaceCollection c;
    EXPECT_EQ(a.Get(), c.Add(a.Get(), false, "x").Get());
    EXPECT_EQ(2u, static_cast<TCounted*>(a.Get())->RefCount());
    EXPECT_EQ(b.Get(), c.Add(b.Get(), false, "X").Get());
    EXPECT_EQ(1u, static_cast<TCounted*>(b.Get())->RefCount());
    EXPECT_EQ(1, c.GetAs<ICounted>("x")->Id());
    c.Delete("x");
    EXPECT_EQ(1u, static_cast<TCounted*>(a.Get())->RefCount());
}

TEST(InterfaceCollection, ClearDeletesFromLastToFirst) {
    std::vector<int> freed;
    {
        TInterfaceCollection c;
        for (int id = 0; id < 3; ++id)
            c.Add(Make(id, &freed), true);
        c.Clear();
        EXPECT_EQ(0, c.Count());
    }
    EXPECT_EQ((std::vector<int>{2, 1, 0}), freed);
}

TEST(InterfaceCollection, DestructionGivesBackEveryCount) {
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        TInterfaceCollection c;
        c.Add(Make(1), false, "a");
        c.Add(Make(2), false, "b");
        EXPECT_EQ(before + 2, TDebugInterfacedObject::LiveObjects());
    }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST(InterfaceCollection, FailedDeleteChangesNoCount) {
    ComPtr<ICounted> a = NewObject<TCounted>(1);
    TInterfaceCollection c;
    c.Add(a.Get(), false, "a");
    EXPECT_THROW(c.Delete("b"), EElHashListError);
    EXPECT_THROW(c.Delete(1), EElHashListError);
    EXPECT_EQ(2u, static_cast<TCounted*>(a.Get())->RefCount());
    EXPECT_EQ(1, c.Count());
}

TEST(StringCollection, StoresOwnCopies) {
    TStringCollection c;
    std::string value = "first";
    EXPECT_EQ("first", c.Add(value, false, "k"));
    value = "changed";
    EXPECT_EQ("first", c.Get("K"));
    EXPECT_EQ("first", c.Get(0));
    EXPECT_EQ("", c.Get("none"));
    c.Add("second", false, "K");
    EXPECT_EQ(1, c.Count());
    EXPECT_EQ("first", c.Get("k"));
    c.Delete("k");
    EXPECT_EQ(0, c.Count());
}

} // namespace
