#include "GeneralClasses.h"
#include "KLVCollection.h"
#include "Routines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int x = 0, y = 0;

// ---- collections ----

TEST(Collections, LastNameFollowsTheGreatestName) {
    TPointerCollection items;
    items.Add(&x, false, "b");
    EXPECT_EQ("b", items.LastName());
    items.Add(&x, false, "a");
    EXPECT_EQ("b", items.LastName());
    items.Add(&x, false, "C");
    EXPECT_EQ("C", items.LastName());
}

TEST(Collections, LeadingBlankNameSeedsAutomaticNames) {
    TPointerCollection items;
    items.Add(&x, false, " zed");
    EXPECT_EQ(" zed", items.LastName());
    items.Add(&y, true);
    EXPECT_EQ(" zee", items.LastName());
}

TEST(Collections, AutomaticNamesRunFromExclamationMark) {
    TPointerCollection items;
    items.Add(&x, true);
    EXPECT_EQ("!", items.LastName());
    items.Add(&x, true);
    EXPECT_EQ("\"", items.LastName());
    TPointerCollection manual;
    manual.Add(&x, false, "abc");
    EXPECT_EQ("abd", manual.GenerateName());
}

TEST(Collections, AutomaticNamesSkipNamesTakenInAnotherCase) {
    TPointerCollection items;
    for (int i = 0; i < 100; ++i)
        ASSERT_NE(nullptr, items.Add(&x, true)) << "automatic add " << i << " was dropped";
    EXPECT_EQ(100, items.Count());
}

TEST(Collections, DuplicateNameIsRefused) {
    TPointerCollection items;
    EXPECT_EQ(&x, items.Add(&x, false, "Item"));
    EXPECT_EQ(nullptr, items.Add(&y, false, "ITEM"));
    EXPECT_EQ(1, items.Count());
    EXPECT_EQ(&x, items.Get("item"));
}

TEST(Collections, KeysOfOtherKindsSelectNothing) {
    TPointerCollection items;
    items.Add(&x, false, "a");
    EXPECT_EQ(nullptr, items.Get(true));
    EXPECT_EQ(nullptr, items.Get(1.5));
    items.Delete(true);
    EXPECT_EQ(1, items.Count());
    EXPECT_EQ(&x, items.Get(0));
    EXPECT_THROW(items.Get(1), EElHashListError);
}

class TCounted : public TDebugInterfacedObject {
public:
    explicit TCounted(std::vector<int>* freed, int id) : freed_(freed), id_(id) {}
    ~TCounted() override { freed_->push_back(id_); }

private:
    std::vector<int>* freed_;
    int id_;
};

TEST(Collections, InterfaceCollectionHoldsAndGivesBackCounts) {
    std::vector<int> freed;
    {
        TInterfaceCollection items;
        for (int i = 0; i < 3; ++i) {
            ComPtr<IUnknown> item = NewObject<TCounted>(&freed, i);
            EXPECT_TRUE(items.Add(item.Get(), false, "n" + std::to_string(i)));
        }
        ComPtr<IUnknown> refused = NewObject<TCounted>(&freed, 9);
        EXPECT_FALSE(items.Add(refused.Get(), false, "N1"));
        EXPECT_EQ(1u, refused->AddRef() - 1);
        refused->Release();
        EXPECT_THROW(items.Delete("absent"), EElHashListError);
        EXPECT_THROW(items.Delete(3), EElHashListError);
        EXPECT_EQ(3, items.Count());
        items.Clear();
        EXPECT_EQ((std::vector<int>{2, 1, 0}), freed);
    }
    EXPECT_EQ((std::vector<int>{2, 1, 0, 9}), freed);
}

TEST(Collections, StringCollectionKeepsItsOwnCopies) {
    TStringCollection texts;
    {
        std::string value = "hello";
        texts.Add(value, false, "greeting");
        value = "changed";
    }
    EXPECT_EQ("hello", texts.Get("GREETING"));
    EXPECT_EQ("", texts.Get("absent"));
    EXPECT_FALSE(texts.Add("again", false, "Greeting"));
    texts.Delete("greeting");
    EXPECT_EQ(0, texts.Count());
}

// ---- parameter text ----

TEST(ParameterText, BlankTextKeepsTheCallersArray) {
    TOneArrayOfString parts{"kept"};
    EXPECT_EQ(0, SplitString(" \t\r\n", parts, '\\'));
    EXPECT_EQ(TOneArrayOfString{"kept"}, parts);
}

TEST(ParameterText, SplitsDropEmptyPiecesAndKeepInnerBlanks) {
    TOneArrayOfString parts;
    EXPECT_EQ(2, SplitString("\\A=1\\\\B=2\\", parts, '\\'));
    EXPECT_EQ((TOneArrayOfString{"A=1", "B=2"}), parts);
    EXPECT_EQ(2, SplitString(" A=1 \\ B=2 ", parts, '\\'));
    EXPECT_EQ((TOneArrayOfString{"A=1 ", " B=2"}), parts);
}

TEST(ParameterText, BraceGroupsProtectSeparators) {
    TOneArrayOfString parts;
    SplitString("A={x{y\\z}\\w}\\B=1", parts, '\\');
    EXPECT_EQ((TOneArrayOfString{"A={x{y\\z}\\w}", "B=1"}), parts);
    SplitString("A={x\\y", parts, '\\');
    EXPECT_EQ((TOneArrayOfString{"A={x", "y"}), parts);
    SplitString("A={1\\2}{3\\4}\\B=5", parts, '\\');
    EXPECT_EQ((TOneArrayOfString{"A={1\\2}{3", "4}", "B=5"}), parts);
    SplitString("A=1\\B={2\\3}", parts, '\\');
    EXPECT_EQ((TOneArrayOfString{"A=1", "B={2\\3}"}), parts);
}

TEST(ParameterText, NameValuePairs) {
    TTwoArrayOfString pairs;
    EXPECT_EQ(2, SplitNameValues("A={x\\y}\\B=2", pairs, '\\', '='));
    EXPECT_EQ("x\\y", pairs[0][1]);
    EXPECT_EQ("B", pairs[1][0]);
    SplitNameValues("A=b=c\\=x\\C={}\\D={", pairs, '\\', '=');
    EXPECT_EQ("b=c", pairs[0][1]);
    EXPECT_EQ("", pairs[1][0]);
    EXPECT_EQ("x", pairs[1][1]);
    EXPECT_EQ("", pairs[2][1]);
    EXPECT_EQ("{", pairs[3][1]);
    EXPECT_EQ(2, SplitNameValues("A\\B=1", pairs, '\\', '='));
    EXPECT_EQ("B", pairs[0][0]);
    EXPECT_EQ("", pairs[1][0]);
}

TEST(ParameterText, GetNameValue) {
    std::string value;
    EXPECT_TRUE(
        GetNameValue("DefaultDetailPanel=A;x=B;defaultdetailpanel=C", "defaultdetailpanel", ';', value, '='));
    EXPECT_EQ("A", value);
    EXPECT_TRUE(GetNameValue("A\\B=1", "", '\\', value, '='));
    EXPECT_EQ("", value);
    EXPECT_FALSE(GetNameValue("A=1", "B", '\\', value, '='));
}

// ---- class registry ----

struct TCall {
    std::string name, value;
    bool operator==(const TCall&) const = default;
};
std::vector<TCall> calls;

struct ITestSelf : IUnknown {};

class TRecorder : public TAbstractObject {
protected:
    void SetParam(const std::string& name, const std::string& value) override {
        calls.push_back({name, value});
    }
};

class THandsOutSelf : public TAbstractObject {
protected:
    void Init() override {
        ComPtr<IUnknown> self = static_cast<IUnknown*>(static_cast<TDebugInterfacedObject*>(this));
    }
};

class TFailing : public TAbstractObject {
protected:
    void Init() override { throw Exception("init failed"); }
};

class ClassRegistry : public testing::Test {
protected:
    void SetUp() override {
        InitAbstractClasses();
        RegisterClass(ClassOf<TRecorder>(), "KEY");
        RegisterClass(ClassOf<THandsOutSelf>(), "SELF");
        RegisterClass(ClassOf<TFailing>(), "FAIL");
        calls.clear();
    }
    void TearDown() override { DoneAbstractClasses(); }
};

std::vector<TCall> CallsOf(const std::string& spec) {
    calls.clear();
    ComPtr<IUnknown> object = static_cast<TDebugInterfacedObject*>(CreateObject(spec));
    EXPECT_TRUE(object);
    return calls;
}

TEST_F(ClassRegistry, KeysIgnoreAsciiCaseButNotBlanks) {
    EXPECT_EQ(ClassOf<TRecorder>(), FindClass("key"));
    EXPECT_EQ(nullptr, FindClass(" KEY"));
    EXPECT_EQ(nullptr, CreateObject(" KEY"));
    RegisterClass(ClassOf<THandsOutSelf>(), "key");
    EXPECT_EQ(ClassOf<TRecorder>(), FindClass("KEY"));
}

TEST_F(ClassRegistry, ParametersReachSetParam) {
    EXPECT_EQ((std::vector<TCall>{{"A", "1"}, {"B", "x\\y"}}), CallsOf("KEY{A=1\\B={x\\y}}"));
    EXPECT_EQ((std::vector<TCall>{{"A", ""}}), CallsOf("KEY{A=1"));
    EXPECT_TRUE(CallsOf("KEY{}").empty());
    EXPECT_EQ((std::vector<TCall>{{"A", "1"}, {"", ""}}), CallsOf("key{a=1\\bare}"));
}

TEST_F(ClassRegistry, FindByPosition) {
    EXPECT_EQ(ClassOf<TRecorder>(), AbstractClasses()->Find(0));
    EXPECT_EQ(ClassOf<TFailing>(), AbstractClasses()->Find(2));
    EXPECT_THROW(AbstractClasses()->Find(3), EElHashListError);
}

TEST_F(ClassRegistry, ObjectHandingItselfOutDuringInitSurvives) {
    const long before = TDebugInterfacedObject::LiveObjects();
    TAbstractObject* object = CreateObject("SELF");
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(0u, object->RefCount());
    { ComPtr<IUnknown> holder = static_cast<TDebugInterfacedObject*>(object); }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST_F(ClassRegistry, FailingInitFreesTheObjectAndPassesTheError) {
    const long before = TDebugInterfacedObject::LiveObjects();
    EXPECT_THROW(CreateObject("FAIL"), Exception);
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST(ClassRegistryLifetime, NothingBeforeInitOrAfterDone) {
    DoneAbstractClasses();
    RegisterClass(ClassOf<TRecorder>(), "KEY");
    EXPECT_EQ(nullptr, FindClass("KEY"));
    EXPECT_EQ(nullptr, CreateObject("KEY"));
}

} // namespace
