#pragma once

#include "BOMObjects.h"
#include "BOMRoutines.h"
#include "GeneralClasses.h"
#include "Handles.h"

#include <gtest/gtest.h>

// A collection of rules as the model defines them: items "window_rule" of class "TESTRULE".
class TTestRules : public TBOMCollection {
protected:
    void Init() override {
        TBOMCollection::Init();
        classKey_ = "TESTRULES";
        elementName_ = "window_rules";
        itemElementName_ = "window_rule";
        defaultItemClass_ = "TESTRULE";
    }
};

// A rule with two child collections and one switch.
class TTestRule : public TBOMObject {
protected:
    void Init() override {
        TBOMObject::Init();
        classKey_ = "TESTRULE";
        elementName_ = "window_rule";
        AddChild("BOMCOLLECTION", "conditions");
        AddChild("TESTACTIONS", "actions");
        AddParam("enabled", Variant("yes"));
    }
};

// A collection without a default item class.
class TTestActions : public TBOMCollection {
protected:
    void Init() override {
        TBOMCollection::Init();
        classKey_ = "TESTACTIONS";
        elementName_ = "actions";
        itemElementName_ = "action";
    }
};

// The root of a test tree, holding the rules.
class TTestRoot : public TBOMObject {
public:
    bool IsRoot() override { return true; }

protected:
    void Init() override {
        TBOMObject::Init();
        classKey_ = "TESTROOT";
        elementName_ = "root";
        AddChild("TESTRULES", "window_rules");
    }
};

inline void RegisterTestClasses() {
    InitAbstractClasses();
    RegisterBOMClasses();
    RegisterClass(ClassOf<TTestRules>(), "TESTRULES");
    RegisterClass(ClassOf<TTestRule>(), "TESTRULE");
    RegisterClass(ClassOf<TTestActions>(), "TESTACTIONS");
    RegisterClass(ClassOf<TTestRoot>(), "TESTROOT");
}

class BOMEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        com_ = InitializeCom();
        ASSERT_TRUE(com_);
        RegisterTestClasses();
    }
    void TearDown() override {
        DoneAbstractClasses();
        com_.Reset();
    }

private:
    ComScope com_;
};

inline const bool bomEnvironmentAdded = (::testing::AddGlobalTestEnvironment(new BOMEnvironment), true);

// A root "W" with rules "R1" and "R2" (R1 has an action "A"), optionally wired.
struct SampleTree {
    ComPtr<IBOMObjectSlave> root;
    ComPtr<IBOMCollection> rules;

    explicit SampleTree(bool wire = true) {
        root = CreateBOMObject("TESTROOT", "W");
        rules = MustCast<IBOMCollection>(root->ResolvePath("window_rules"));
        rules->Add(CreateBOMObject("TESTRULE", "R1").Get());
        rules->Add(CreateBOMObject("TESTRULE", "R2").Get());
        MustCast<IBOMCollection>(root->ResolvePath("window_rules/R1/actions"))
            ->Add(CreateBOMObject("BOMOBJECT", "A").Get());
        if (wire)
            root->SetOwner(nullptr);
    }
    ~SampleTree() {
        if (root)
            root->ClearOwner();
    }
    ComPtr<IBOMObject> At(const std::string& path) { return root->ResolvePath(path); }
};
