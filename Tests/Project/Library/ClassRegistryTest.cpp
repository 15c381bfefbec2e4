#include "GeneralClasses.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Calls = std::vector<std::pair<std::string, std::string>>;

Calls calls;

class TRecorder : public TAbstractObject {
protected:
    void Init() override { calls.emplace_back("Init", ""); }
    void SetParam(const std::string& name, const std::string& value) override {
        calls.emplace_back(name, value);
    }
};

class TOther : public TAbstractObject {};

// Hands itself out as an interface during Init and drops it again.
class TSelfSharing : public TAbstractObject {
protected:
    void Init() override { ComPtr<IUnknown> self(static_cast<IUnknown*>(this)); }
};

class TFailing : public TAbstractObject {
protected:
    void SetParam(const std::string&, const std::string&) override { throw Exception("bad parameter"); }
};

class ClassRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        InitAbstractClasses();
        RegisterClass(ClassOf<TRecorder>(), "KEY");
        RegisterClass(ClassOf<TOther>(), "BOMOBJECT");
        RegisterClass(ClassOf<TSelfSharing>(), "SELF");
        RegisterClass(ClassOf<TFailing>(), "FAIL");
    }
    void TearDown() override { DoneAbstractClasses(); }

    // Creates, takes the first reference and lets it go again.
    static bool Make(const std::string& descriptor) {
        TAbstractObject* object = CreateObject(descriptor);
        if (object == nullptr)
            return false;
        EXPECT_EQ(0u, object->RefCount());
        ComPtr<IUnknown> hold(static_cast<IUnknown*>(object));
        return true;
    }
};

TEST_F(ClassRegistry, KeysIgnoreAsciiCaseButNotBlanks) {
    EXPECT_EQ(ClassOf<TOther>(), FindClass("BOMOBJECT"));
    EXPECT_EQ(ClassOf<TOther>(), FindClass("bomobject"));
    EXPECT_EQ(nullptr, FindClass(" BOMOBJECT"));
    EXPECT_TRUE(Make("bomobject"));
    EXPECT_FALSE(Make(" bomobject"));
    EXPECT_FALSE(Make("UNKNOWN{A=1}"));
}

TEST_F(ClassRegistry, FirstRegistrationOfAKeyStays) {
    RegisterClass(ClassOf<TOther>(), "TEST");
    RegisterClass(ClassOf<TRecorder>(), "test");
    RegisterClass(nullptr, "NULLCLASS");
    EXPECT_EQ(ClassOf<TOther>(), FindClass("test"));
    EXPECT_EQ(ClassOf<TOther>(), FindClass("TEST"));
    EXPECT_EQ(nullptr, FindClass("NULLCLASS"));
}

TEST_F(ClassRegistry, FindByPositionAndOutOfRange) {
    EXPECT_EQ(ClassOf<TRecorder>(), AbstractClasses()->Find(0));
    EXPECT_EQ(ClassOf<TOther>(), AbstractClasses()->Find(1));
    EXPECT_EQ(4, AbstractClasses()->Count());
    try {
        AbstractClasses()->Find(4);
        FAIL() << "no error";
    } catch (const EElHashListError& e) {
        EXPECT_EQ("Invalid index.", e.Message());
    }
}

TEST_F(ClassRegistry, InitThenOneSetParamPerPair) {
    EXPECT_TRUE(Make("KEY{A=1\\B={x\\y}}"));
    EXPECT_EQ((Calls{{"Init", ""}, {"A", "1"}, {"B", "x\\y"}}), calls);
}

TEST_F(ClassRegistry, MissingClosingBraceLosesLastCharacter) {
    EXPECT_TRUE(Make("KEY{A=1"));
    EXPECT_EQ((Calls{{"Init", ""}, {"A", ""}}), calls);
}

TEST_F(ClassRegistry, EmptyGroupCallsNoSetParam) {
    EXPECT_TRUE(Make("KEY{}"));
    EXPECT_EQ((Calls{{"Init", ""}}), calls);
}

TEST_F(ClassRegistry, NamesUpperCasedAndPiecesWithoutMarkComeLast) {
    EXPECT_TRUE(Make("key{x\\a=1\\\xE9=v}"));
    // ASCII only: the accented letter keeps its case.
    EXPECT_EQ((Calls{{"Init", ""}, {"A", "1"}, {"\xE9", "v"}, {"", ""}}), calls);
}

TEST_F(ClassRegistry, ByKeyTakesParamsAsGiven) {
    TAbstractObject* object = CreateObjectByKey("n=v", "KEY");
    ASSERT_NE(nullptr, object);
    ComPtr<IUnknown> hold(static_cast<IUnknown*>(object));
    EXPECT_EQ((Calls{{"Init", ""}, {"N", "v"}}), calls);
}

TEST_F(ClassRegistry, InitHandingOutThisDoesNotFreeObject) {
    const long before = TDebugInterfacedObject::LiveObjects();
    TAbstractObject* object = CreateObject("SELF");
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(before + 1, TDebugInterfacedObject::LiveObjects());
    EXPECT_EQ(0u, object->RefCount());
    { ComPtr<IUnknown> hold(static_cast<IUnknown*>(object)); }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST_F(ClassRegistry, FailingSetParamFreesObjectAndPassesError) {
    const long before = TDebugInterfacedObject::LiveObjects();
    try {
        CreateObject("FAIL{A=1}");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ("bad parameter", e.Message());
    }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST_F(ClassRegistry, NothingOutsideInitAndDone) {
    DoneAbstractClasses();
    RegisterClass(ClassOf<TOther>(), "LATE");
    EXPECT_EQ(nullptr, FindClass("KEY"));
    EXPECT_EQ(nullptr, CreateObject("KEY"));
    InitAbstractClasses();
    EXPECT_EQ(nullptr, FindClass("LATE"));
}

} // namespace
