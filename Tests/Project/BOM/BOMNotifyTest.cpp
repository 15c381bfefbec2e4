#include "BOMTestSupport.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<std::string> journal;

// Writes down every message it receives, then handles it as its base does.
template <class Base> class TLogged : public Base {
public:
    void Changed(const std::string& path, IBOMObject* source, const std::string& from,
                 IBOMObject* sender) override {
        journal.push_back("C " + this->GetPath() + " | " + path + " | " + from);
        lastSource = source;
        lastSender = sender;
        Base::Changed(path, source, from, sender);
    }
    void NameChanged(const std::string& path, IBOMObject* source, const std::string& from, IBOMObject* sender,
                     const std::string& oldNamePath) override {
        journal.push_back("N " + this->GetPath() + " | " + path + " | " + from + " | " + oldNamePath);
        Base::NameChanged(path, source, from, sender, oldNamePath);
    }
    void Notify(int code, int param1, int param2) override {
        journal.push_back("T " + this->GetPath() + " | " + std::to_string(code));
        Base::Notify(code, param1, param2);
    }

    IBOMObject* lastSource = nullptr;
    IBOMObject* lastSender = nullptr;
};

class TLogCollection : public TLogged<TBOMCollection> {
protected:
    void Init() override {
        TLogged<TBOMCollection>::Init();
        classKey_ = "LOGCOLLECTION";
        itemElementName_ = "item";
    }
};

class TLogRules : public TLogged<TBOMCollection> {
protected:
    void Init() override {
        TLogged<TBOMCollection>::Init();
        classKey_ = "LOGRULES";
        itemElementName_ = "window_rule";
        defaultItemClass_ = "LOGRULE";
    }
};

class TLogRule : public TLogged<TBOMObject> {
protected:
    void Init() override {
        TLogged<TBOMObject>::Init();
        classKey_ = "LOGRULE";
        AddChild("LOGCOLLECTION", "conditions");
        AddChild("LOGCOLLECTION", "actions");
        AddParam("enabled", Variant("yes"));
    }
};

class TLogRoot : public TLogged<TBOMObject> {
public:
    bool IsRoot() override { return true; }

protected:
    void Init() override {
        TLogged<TBOMObject>::Init();
        classKey_ = "LOGROOT";
        AddChild("LOGRULES", "window_rules");
        AddChild("LOGCOLLECTION", "menu");
    }
};

class Notification : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterClass(ClassOf<TLogCollection>(), "LOGCOLLECTION");
        RegisterClass(ClassOf<TLogRules>(), "LOGRULES");
        RegisterClass(ClassOf<TLogRule>(), "LOGRULE");
        RegisterClass(ClassOf<TLogRoot>(), "LOGROOT");
    }

    void SetUp() override {
        root = CreateBOMObject("LOGROOT", "W");
        rules = MustCast<IBOMCollection>(root->ResolvePath("window_rules"));
        rules->Add(CreateBOMObject("LOGRULE", "R1").Get());
        rules->Add(CreateBOMObject("LOGRULE", "R2").Get());
        root->SetOwner(nullptr);
        journal.clear();
    }
    void TearDown() override {
        root->ClearOwner();
        journal.clear();
    }

    ComPtr<IBOMParam> Param(const std::string& path) { return MustCast<IBOMParam>(root->ResolvePath(path)); }

    ComPtr<IBOMObjectSlave> root;
    ComPtr<IBOMCollection> rules;
};

TEST_F(Notification, ValueChangeTravelsDepthFirstAndUpLast) {
    Param("window_rules/R1/params/enabled")->SetValue(Variant("no"));
    const std::vector<std::string> expected = {
        "C W/window_rules/R1 | params/enabled | params",
        "C W/window_rules/R1/conditions | ../params/enabled | ..",
        "C W/window_rules/R1/actions | ../params/enabled | ..",
        "C W/window_rules | R1/params/enabled | R1",
        "C W/window_rules/R2 | ../R1/params/enabled | ..",
        "C W/window_rules/R2/conditions | ../../R1/params/enabled | ..",
        "C W/window_rules/R2/actions | ../../R1/params/enabled | ..",
        "C W | window_rules/R1/params/enabled | window_rules",
        "C W/menu | ../window_rules/R1/params/enabled | ..",
    };
    EXPECT_EQ(journal, expected);
}

TEST_F(Notification, SourceIsTheParamAndSenderTheNeighbour) {
    auto param = Param("window_rules/R1/params/enabled");
    param->SetValue(Variant("no"));
    auto* rule = static_cast<TLogRule*>(static_cast<TBOMAbstractObject*>(
        MustCast<IBOMObjectSlave>(root->ResolvePath("window_rules/R1")).Get()));
    EXPECT_TRUE(SameObject(rule->lastSource, param.Get()));
    EXPECT_TRUE(SameObject(rule->lastSender, root->ResolvePath("window_rules/R1/params").Get()));
    auto* top = static_cast<TLogRoot*>(static_cast<TBOMAbstractObject*>(root.Get()));
    EXPECT_TRUE(SameObject(top->lastSender, rules.Get()));
}

TEST_F(Notification, RenameThroughRenameChildReachesEveryoneOnce) {
    auto r1 = MustCast<IBOMObjectSlave>(root->ResolvePath("window_rules/R1"));
    MustCast<IBOMObjectOwner>(rules)->RenameChild(r1.Get(), "Rule");
    const std::vector<std::string> expected = {
        "N W/window_rules/Rule/conditions | .. | .. | ../R1",
        "N W/window_rules/Rule/actions | .. | .. | ../R1",
        "N W/window_rules | Rule | Rule | Rule/R1",
        "N W/window_rules/R2 | ../Rule | .. | ../Rule/R1",
        "N W/window_rules/R2/conditions | ../../Rule | .. | ../../Rule/R1",
        "N W/window_rules/R2/actions | ../../Rule | .. | ../../Rule/R1",
        "N W | window_rules/Rule | window_rules | window_rules/Rule/R1",
        "N W/menu | ../window_rules/Rule | .. | ../window_rules/Rule/R1",
    };
    ASSERT_GE(journal.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(journal.begin(), journal.begin() + expected.size()), expected);
    // Then the "name" param tells of its new value.
    ASSERT_GT(journal.size(), expected.size());
    EXPECT_EQ(journal[expected.size()], "C W/window_rules/Rule | params/name | params");
    EXPECT_EQ(journal.back(), "C W/menu | ../window_rules/Rule/params/name | ..");
}

TEST_F(Notification, RenameOutsideTheOwnerRaisesTheAssertion) {
    auto r1 = MustCast<IBOMObjectSlave>(root->ResolvePath("window_rules/R1"));
    try {
        r1->SetName("Other");
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.AssertMessage(),
                  "AfterChangeObjectName - "
                  "\xED\xE5\xE2\xE5\xF0\xED\xEE\xE5 \xE8\xEC\xFF \xF0\xE5\xE1\xE5\xED\xEA\xE0"
                  ". {9FC4CBFB-E5CD-4B8E-A935-8F2E08202540}");
        EXPECT_EQ(e.Unit(), "Source/Project/BOM/BOMObjects");
    }
}

TEST_F(Notification, ParamsHearOnlyTheirOwnParams) {
    // A second param of R1 would hear the change if params were told; none is a logger, so
    // check through the params object: messages from elsewhere stop there.
    Param("window_rules/R2/params/enabled")->SetValue(Variant("no"));
    for (const auto& line : journal)
        EXPECT_EQ(line.find("/params "), std::string::npos) << line;
    EXPECT_EQ(journal.size(), 9u);
}

TEST_F(Notification, SetValueWithoutOwnerReachesNobody) {
    root->ClearOwner();
    Param("window_rules/R1/params/enabled")->SetValue(Variant("no"));
    EXPECT_TRUE(journal.empty());
    root->SetOwner(nullptr);
}

TEST_F(Notification, SilentSetTellsNobodyButEqualValueDoes) {
    auto param = Param("window_rules/R1/params/enabled");
    param->SetValueSilent(Variant("no"));
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(param->GetValue().AsString(), "no");
    param->SetValue(Variant("no"));
    EXPECT_EQ(journal.size(), 9u);
}

TEST_F(Notification, TheSenderTellsWhetherAMessageComesFromTheOwner) {
    auto r1 = root->ResolvePath("window_rules/R1");
    r1->Changed("x", nullptr, "..", rules.Get());
    const std::vector<std::string> fromOwner = {
        "C W/window_rules/R1 | x | ..",
        "C W/window_rules/R1/conditions | ../x | ..",
        "C W/window_rules/R1/actions | ../x | ..",
    };
    EXPECT_EQ(journal, fromOwner);
    // Two dots from anyone else are no message from the owner: it travels up as well.
    journal.clear();
    r1->Changed("x", nullptr, "..anything", nullptr);
    EXPECT_EQ(journal.back(), "C W/menu | ../window_rules/R1/x | ..");
}

TEST_F(Notification, ChangesInsideARuleNamedWithTwoDotsReachTheRoot) {
    auto r1 = MustCast<IBOMObjectSlave>(root->ResolvePath("window_rules/R1"));
    MustCast<IBOMObjectOwner>(rules)->RenameChild(r1.Get(), "..x");
    EXPECT_NE(std::find(journal.begin(), journal.end(),
                        "N W | window_rules/..x | window_rules | window_rules/..x/R1"),
              journal.end());
    journal.clear();
    MustCast<IBOMObjectOwner>(rules)->RenameChild(r1.Get(), "..y");
    EXPECT_NE(std::find(journal.begin(), journal.end(),
                        "N W | window_rules/..y | window_rules | window_rules/..y/..x"),
              journal.end());
    journal.clear();
    Param("window_rules/..y/params/enabled")->SetValue(Variant("no"));
    EXPECT_NE(
        std::find(journal.begin(), journal.end(), "C W | window_rules/..y/params/enabled | window_rules"),
        journal.end());
    EXPECT_EQ(journal.back(), "C W/menu | ../window_rules/..y/params/enabled | ..");
}

TEST_F(Notification, NotifyReachesEveryObjectButParams) {
    root->Notify(1, 0, 0);
    const std::vector<std::string> expected = {
        "T W | 1",
        "T W/window_rules | 1",
        "T W/window_rules/R1 | 1",
        "T W/window_rules/R1/conditions | 1",
        "T W/window_rules/R1/actions | 1",
        "T W/window_rules/R2 | 1",
        "T W/window_rules/R2/conditions | 1",
        "T W/window_rules/R2/actions | 1",
        "T W/menu | 1",
    };
    EXPECT_EQ(journal, expected);
}

TEST(ParamAssertions, MissingParamsRaiseTheirMessages) {
    ComPtr<IBOMObjectSlave> holder = CreateBOMObject("TESTRULES", "holder");
    auto* collection = static_cast<TBOMCollection*>(static_cast<TBOMAbstractObject*>(holder.Get()));
    // An item named "params" hides the params object from paths.
    MustCast<IBOMCollection>(holder)->Add(CreateBOMObject("BOMOBJECT", "params").Get());
    try {
        collection->AddParam("x", Variant("1"));
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.AssertMessage(),
                  "TBOMObject.CreateParam. "
                  "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xEF\xEE\xEB\xF3\xF7\xE5\xED\xE8\xE8"
                  " Params - {C0278020-676B-4FC2-9A4C-FBB34EB0B5D6}");
        EXPECT_EQ(e.Unit(), "Source/Project/BOM/BOMObjects");
    }
    MustCast<IBOMCollection>(holder)->Delete(Variant("params"));
    MustCast<IBOMCollection>(holder)->Add(CreateBOMObject("BOMCOLLECTION", "params").Get());
    try {
        collection->UpdateNameParam();
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(
            e.AssertMessage(),
            "TBOMObject.UpdateNameParam: Can\"t find param \"Name\" {50360B40-C9FD-489D-84B8-053539072DA8}");
    }
}

} // namespace
