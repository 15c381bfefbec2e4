#include "BOMTestSupport.h"

namespace {

bool Same(const ComPtr<IBOMObject>& a, const ComPtr<IBOMObject>& b) {
    return a && b && SameObject(a.Get(), b.Get());
}

std::string PathOf(const ComPtr<IBOMObject>& object) {
    return object ? object->GetPath() : std::string("<none>");
}

TEST(BOMRoutines, SplitPathCutsAtTheFirstSlash) {
    std::string head, rest;
    SplitPath("", head, rest);
    EXPECT_EQ(head, "");
    EXPECT_EQ(rest, "");
    SplitPath("/a/b", head, rest);
    EXPECT_EQ(head, "/");
    EXPECT_EQ(rest, "a/b");
    SplitPath("a/b/c", head, rest);
    EXPECT_EQ(head, "a");
    EXPECT_EQ(rest, "b/c");
    SplitPath("abc", head, rest);
    EXPECT_EQ(head, "abc");
    EXPECT_EQ(rest, "");
}

TEST(BOMRoutines, StartsWithAndExcludeTrailingSlash) {
    EXPECT_TRUE(StartsWith("", "x"));
    EXPECT_TRUE(StartsWith("..", "../x"));
    EXPECT_FALSE(StartsWith("..", "."));
    EXPECT_FALSE(StartsWith("Ab", "ab"));
    EXPECT_EQ(ExcludeTrailingSlash("a//"), "a/");
    EXPECT_EQ(ExcludeTrailingSlash(""), "");
}

TEST(BOMRoutines, CreateBOMObjectOfUnknownKeyIsNull) {
    const long before = TDebugInterfacedObject::LiveObjects();
    EXPECT_FALSE(CreateBOMObject("NOSUCHCLASS", "x"));
    EXPECT_EQ(TDebugInterfacedObject::LiveObjects(), before);
    ComPtr<IBOMObjectSlave> object = CreateBOMObject("bomobject", "X");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->GetClassKey(), "BOMOBJECT");
    EXPECT_EQ(object->GetName(), "X");
}

TEST(ResolvePath, FollowsEveryKindOfHead) {
    SampleTree tree;
    const auto r1 = tree.At("window_rules/R1");
    ASSERT_TRUE(r1);
    const auto rules = tree.At("window_rules");
    const auto root = ComPtr<IBOMObject>(tree.root);
    const auto action = r1->ResolvePath("actions/A");
    ASSERT_TRUE(action);

    EXPECT_TRUE(Same(r1->ResolvePath(""), r1));
    EXPECT_TRUE(Same(r1->ResolvePath("."), r1));
    EXPECT_TRUE(Same(r1->ResolvePath("./actions/./A"), action));
    EXPECT_TRUE(Same(r1->ResolvePath(".."), rules));
    EXPECT_TRUE(Same(action->ResolvePath("/"), root));
    EXPECT_TRUE(Same(action->ResolvePath("/window_rules/R2"), tree.At("window_rules/R2")));
    EXPECT_TRUE(Same(action->ResolvePath("../../../R2"), tree.At("window_rules/R2")));
    EXPECT_TRUE(Same(action->ResolvePath("Collection:"), r1->ResolvePath("actions")));
    EXPECT_TRUE(Same(r1->ResolvePath("Collection:"), rules));
    EXPECT_TRUE(Same(rules->ResolvePath("Collection:/R2"), tree.At("window_rules/R2")));
    EXPECT_FALSE(r1->ResolvePath("collection:"));
    EXPECT_FALSE(r1->ResolvePath("NoKind:"));
    EXPECT_TRUE(Same(tree.At("window_rules/"), rules));
    EXPECT_TRUE(Same(tree.At("WINDOW_RULES/r1"), r1));
    // Two slashes in a row make the rest absolute.
    EXPECT_TRUE(Same(r1->ResolvePath("actions//window_rules/R2"), tree.At("window_rules/R2")));
    EXPECT_FALSE(r1->ResolvePath("missing"));
    EXPECT_FALSE(r1->ResolvePath("missing/.."));
    EXPECT_EQ(PathOf(action->ResolvePath("params/name")), "W/window_rules/R1/actions/A/params/name");
}

TEST(ResolvePath, AllIsTheAllCollectionOnlyInSmallLetters) {
    SampleTree tree;
    const auto r1 = tree.At("window_rules/R1");
    const auto all = r1->ResolvePath("all");
    ASSERT_TRUE(all);
    EXPECT_TRUE(Supports<IBOMCollection>(all));
    EXPECT_FALSE(Supports<IPersistObject>(all));
    EXPECT_TRUE(Same(r1->ResolvePath("all/actions"), r1->ResolvePath("actions")));
    EXPECT_EQ(MustCast<IBOMCollection>(all)->Count(), 3); // params, conditions, actions
    EXPECT_FALSE(r1->ResolvePath("ALL"));
    // In capitals it is an ordinary child name.
    MustCast<IBOMCollection>(r1->ResolvePath("actions"))->Add(CreateBOMObject("BOMOBJECT", "ALL").Get());
    EXPECT_EQ(PathOf(r1->ResolvePath("actions/ALL")), "W/window_rules/R1/actions/ALL");
    EXPECT_FALSE(Supports<IBOMCollection>(r1->ResolvePath("actions/ALL")));
}

TEST(ResolvePath, UnownedObjectsHaveNoOwnerAndNoRoot) {
    ComPtr<IBOMObjectSlave> object = CreateBOMObject("BOMOBJECT", "X");
    EXPECT_FALSE(object->ResolvePath(".."));
    EXPECT_FALSE(object->ResolvePath("/"));
    EXPECT_EQ(object->GetPath(), "X");
    // A top object that is no root gives no "/" either.
    ComPtr<IBOMObjectSlave> top = CreateBOMObject("TESTRULES", "top");
    MustCast<IBOMCollection>(top)->Add(CreateBOMObject("TESTRULE", "R").Get());
    top->SetOwner(nullptr);
    EXPECT_TRUE(top->ResolvePath("R/actions/.."));
    EXPECT_FALSE(top->ResolvePath("R/actions//R"));
    EXPECT_FALSE(top->ResolvePath("R/actions/../../.."));
    EXPECT_FALSE(top->ResolvePath("R/actions/Collection://"));
    top->ClearOwner();
}

TEST(ResolvePath, CollectionItemsHideAllChildren) {
    ComPtr<IBOMObjectSlave> rules = CreateBOMObject("TESTRULES", "rules");
    const auto ownParams = rules->ResolvePath("params");
    MustCast<IBOMCollection>(rules)->Add(CreateBOMObject("TESTRULE", "params").Get());
    const auto found = rules->ResolvePath("params");
    ASSERT_TRUE(found);
    EXPECT_FALSE(SameObject(found.Get(), ownParams.Get()));
    EXPECT_EQ(MustCast<IBOMObjectSlave>(found)->GetClassKey(), "TESTRULE");
}

TEST(Ownership, SetOwnerWiresEveryLevel) {
    SampleTree tree;
    const auto params = tree.At("window_rules/R1/params");
    const auto enabled = tree.At("window_rules/R1/params/enabled");
    ASSERT_TRUE(enabled);
    EXPECT_TRUE(Same(enabled->ResolvePath(".."), params));
    EXPECT_TRUE(Same(params->ResolvePath(".."), tree.At("window_rules/R1")));
    EXPECT_TRUE(Same(tree.At("window_rules/R1/all")->ResolvePath(".."), tree.At("window_rules/R1")));
    EXPECT_EQ(enabled->GetPath(), "W/window_rules/R1/params/enabled");
    EXPECT_EQ(tree.root->GetPath(), "W");
}

TEST(Ownership, TreeIsFullyReleasedAfterClearOwner) {
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        SampleTree tree;
        EXPECT_GT(TDebugInterfacedObject::LiveObjects(), before + 20);
        tree.root->ClearOwner();
        tree.rules.Reset();
        tree.root.Reset();
    }
    EXPECT_EQ(TDebugInterfacedObject::LiveObjects(), before);
}

TEST(Ownership, WiredTreeStaysAliveWithoutClearOwner) {
    const long before = TDebugInterfacedObject::LiveObjects();
    ComPtr<IBOMObject> leaf;
    {
        SampleTree tree;
        leaf = tree.At("window_rules/R2/params/enabled");
        tree.root->ClearOwner();
        tree.root.Reset();
    }
    // The cleared tree is gone; the leaf held outside lives on alone.
    EXPECT_EQ(TDebugInterfacedObject::LiveObjects(), before + 1);
    EXPECT_EQ(leaf->GetPath(), "enabled");
    leaf.Reset();
    EXPECT_EQ(TDebugInterfacedObject::LiveObjects(), before);
}

TEST(Ownership, AddChildWithTakenNameReturnsAnObjectOutsideAll) {
    ComPtr<IBOMObjectSlave> rule = CreateBOMObject("TESTRULE", "R");
    const auto existing = rule->ResolvePath("actions");
    auto* object = static_cast<TBOMObjectWithAll*>(static_cast<TBOMObject*>(
        static_cast<TBOMAbstractObject*>(static_cast<IBOMObjectSlave*>(rule.Get()))));
    ComPtr<IBOMObjectSlave> second = object->AddChild("TESTACTIONS", "actions");
    ASSERT_TRUE(second);
    EXPECT_FALSE(SameObject(second.Get(), existing.Get()));
    EXPECT_TRUE(SameObject(rule->ResolvePath("actions").Get(), existing.Get()));
}

TEST(Ownership, RefusedDuplicateItemGetsNoOwnerAndLeaksNothing) {
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        SampleTree tree;
        ComPtr<IBOMObjectSlave> duplicate = CreateBOMObject("TESTRULE", "r1");
        tree.rules->Add(duplicate.Get());
        EXPECT_EQ(tree.rules->Count(), 2);
        EXPECT_FALSE(duplicate->ResolvePath(".."));
        EXPECT_EQ(duplicate->GetPath(), "r1");
        // Its children were not wired to it either.
        EXPECT_FALSE(duplicate->ResolvePath("actions/.."));
        tree.root->ClearOwner();
        tree.rules.Reset();
        tree.root.Reset();
    }
    EXPECT_EQ(TDebugInterfacedObject::LiveObjects(), before);
}

TEST(Ownership, RefusedDuplicateParamGetsNoOwner) {
    SampleTree tree;
    auto params = MustCast<IBOMCollection>(tree.At("window_rules/R1/params"));
    ComPtr<IBOMParam> duplicate = CreateParam("ENABLED");
    params->Add(duplicate.Get());
    EXPECT_FALSE(duplicate->ResolvePath(".."));
    ComPtr<IBOMParam> fresh = CreateParam("level");
    params->Add(fresh.Get());
    EXPECT_EQ(fresh->GetPath(), "W/window_rules/R1/params/level");
}

TEST(Params, NewParamHoldsIntegerZero) {
    ComPtr<IBOMParam> param = CreateParam("p");
    EXPECT_TRUE(param->GetValue().IsInteger());
    EXPECT_EQ(param->GetValue().AsString(), "0");
}

TEST(Params, AddParamTwiceKeepsTheFirst) {
    ComPtr<IBOMObjectSlave> slave = CreateBOMObject("BOMOBJECT", "X");
    auto* object = static_cast<TBOMObject*>(static_cast<TBOMAbstractObject*>(slave.Get()));
    object->AddParam("level", Variant("10"));
    ComPtr<IBOMParam> second = object->AddParam("LEVEL", Variant("20"));
    EXPECT_EQ(object->GetParam("Level")->GetValue().AsString(), "10");
    EXPECT_FALSE(SameObject(object->GetParam("level").Get(), second.Get()));
    EXPECT_FALSE(object->GetParam("missing"));
    EXPECT_THROW(object->GetParam("all"), EIntfCastError);
}

TEST(Params, NameParamFollowsTheNameOneWay) {
    ComPtr<IBOMObjectSlave> slave = CreateBOMObject("BOMOBJECT", "X");
    auto* object = static_cast<TBOMObject*>(static_cast<TBOMAbstractObject*>(slave.Get()));
    EXPECT_EQ(object->GetParam("name")->GetValue().AsString(), "X");
    slave->SetName("Y");
    EXPECT_EQ(object->GetParam("name")->GetValue().AsString(), "Y");
    object->GetParam("name")->SetValue(Variant("Z"));
    EXPECT_EQ(slave->GetName(), "Y");
}

TEST(Collections, ItemsAreKeyedWithoutLetterCase) {
    SampleTree tree;
    tree.rules->Add(CreateBOMObject("TESTRULE", "R3").Get());
    EXPECT_EQ(tree.rules->Count(), 3);
    EXPECT_EQ(tree.rules->IndexOf("r3"), 2);
    EXPECT_EQ(tree.rules->Item(Variant(1))->GetName(), "R2");
    EXPECT_THROW(tree.rules->Item(Variant(3)), Exception);
    EXPECT_FALSE(tree.rules->Item(Variant(true)));
    MustCast<IBOMObjectSlave>(tree.rules->Item(Variant("R1")))->ClearOwner();
    tree.rules->Delete(Variant("R1"));
    EXPECT_EQ(tree.rules->Item(Variant(0))->GetName(), "R2");
}

TEST(Collections, QueryKindAnswersCollectionExactly) {
    SampleTree tree;
    const auto kind = tree.At("window_rules")->QueryKind("Collection");
    ASSERT_TRUE(kind);
    EXPECT_TRUE(SameObject(kind.Get(), tree.rules.Get()));
    EXPECT_FALSE(tree.At("window_rules")->QueryKind("collection"));
    EXPECT_FALSE(tree.At("window_rules/R1")->QueryKind("Collection"));
}

TEST(Collections, RenameChildReKeysAndRenames) {
    SampleTree tree;
    auto owner = MustCast<IBOMObjectOwner>(tree.rules);
    auto r1 = MustCast<IBOMObjectSlave>(tree.At("window_rules/R1"));
    owner->RenameChild(r1.Get(), "First");
    EXPECT_EQ(r1->GetName(), "First");
    // The position stays: it decides which rule applies and the order of the file.
    EXPECT_EQ(tree.rules->IndexOf("First"), 0);
    EXPECT_EQ(tree.rules->Item(Variant(1))->GetName(), "R2");
    EXPECT_TRUE(Same(tree.rules->Item(Variant("first")), r1));
    EXPECT_FALSE(tree.rules->Item(Variant("R1")));
    EXPECT_EQ(tree.rules->IndexOf("R1"), -1);
    EXPECT_EQ(MustCast<IBOMParam>(r1->ResolvePath("params/name"))->GetValue().AsString(), "First");
    EXPECT_EQ(r1->ResolvePath("actions/A")->GetPath(), "W/window_rules/First/actions/A");
}

TEST(Collections, RenameChildKeepsOldNameWhenTakenEmptyOrSameLetters) {
    SampleTree tree;
    auto owner = MustCast<IBOMObjectOwner>(tree.rules);
    auto r1 = MustCast<IBOMObjectSlave>(tree.At("window_rules/R1"));
    owner->RenameChild(r1.Get(), "r2");
    owner->RenameChild(r1.Get(), "");
    owner->RenameChild(r1.Get(), "r1");
    EXPECT_EQ(r1->GetName(), "R1");
    EXPECT_EQ(tree.rules->IndexOf("R1"), 0);
    // A child of All is no item: nothing happens.
    auto ruleOwner = MustCast<IBOMObjectOwner>(r1);
    auto actions = MustCast<IBOMObjectSlave>(r1->ResolvePath("actions"));
    ruleOwner->RenameChild(actions.Get(), "other");
    EXPECT_EQ(actions->GetName(), "actions");
}

TEST(Collections, RenameOntoATakenNameRaisesAndKeepsTheItem) {
    SampleTree tree;
    auto r1 = tree.At("window_rules/R1");
    EXPECT_THROW(tree.rules->Rename(r1.Get(), "r2"), EBOMNameError);
    EXPECT_EQ(tree.rules->Count(), 2);
    EXPECT_TRUE(Same(tree.rules->Item(Variant("R1")), r1));
    EXPECT_EQ(tree.rules->IndexOf("R2"), 1);
    // Letter case of its own name is no clash.
    tree.rules->Rename(r1.Get(), "r1");
    EXPECT_EQ(tree.rules->IndexOf("R1"), 0);
}

TEST(Collections, RenameChildRefusesNamesNoPathReaches) {
    SampleTree tree;
    auto owner = MustCast<IBOMObjectOwner>(tree.rules);
    auto r1 = MustCast<IBOMObjectSlave>(tree.At("window_rules/R1"));
    for (const char* name : {"a/b", "/", "Rule:", "a:b", ".", "..", "all"}) {
        try {
            owner->RenameChild(r1.Get(), name);
            ADD_FAILURE() << name << " was accepted";
        } catch (const EBOMNameError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
        EXPECT_EQ(r1->GetName(), "R1");
        EXPECT_EQ(tree.rules->IndexOf("R1"), 0);
    }
    // Ordinary names that merely look alike are reachable.
    for (const char* name : {"ALL", "..x", "a.b"}) {
        owner->RenameChild(r1.Get(), name);
        EXPECT_TRUE(Same(tree.At(std::string("window_rules/") + name), r1)) << name;
    }
}

TEST(ClassRegistryUse, ObjectBeforeTheRegistryIsSetUpRaisesAClearError) {
    DoneAbstractClasses();
    try {
        ConstructBOM<TBOMObject>();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("class registry"), std::string::npos) << e.what();
    }
    RegisterTestClasses();
    EXPECT_TRUE(CreateBOMObject("TESTRULE", "again"));
}

} // namespace
