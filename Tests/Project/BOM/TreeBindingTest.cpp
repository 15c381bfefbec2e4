#include "Platform/TestWindow.h"
#include "TreeBindingTestObjects.h"

#include <gtest/gtest.h>

namespace {

// Params are made through the class registry.
struct BOMClasses : ::testing::Environment {
    void SetUp() override {
        InitAbstractClasses();
        RegisterBOMClasses();
    }
    void TearDown() override { DoneAbstractClasses(); }
};
::testing::Environment* const bomClasses = ::testing::AddGlobalTestEnvironment(new BOMClasses);

// A tree view whose deletion handler releases each node's record, as the tree owner does.
struct BoundTree : ::testing::Test {
    TTestWindow host;
    TTreeView tree{nullptr, host.Handle()};
    TTreeViewUI ui{tree};

    void SetUp() override {
        PanelLog().clear();
        tree.OnDeletion = [this](TTreeNode node) {
            if (ComPtr<IUIElement> element = DetachNodeElement(ui.Node(node)))
                element->ClearTreeNode(ui.Node(node));
        };
        tree.OnExpanding = [this](TTreeNode node) {
            if (IUIElement* element = NodeElement(ui.Node(node)))
                element->Expanding(ui.Node(node));
        };
    }

    TTreeNode Show(const ComPtr<IBOMObjectSlave>& obj) {
        TTreeNode node = tree.InsertItem({}, "");
        ComPtr<IUIElement> element = AsUIElement(obj.Get());
        AttachNodeElement(ui.Node(node), element.Get());
        element->SetTreeNode(ui.Node(node));
        return node;
    }
};

// A list "rules" of items "a" and "b" and one plain object that is no element.
ComPtr<IBOMObjectSlave> MakeList() {
    ComPtr<IBOMObjectSlave> list = MakeObject<TTestList>("rules");
    ListOf(list)->Add(MakeObject<TTestItem>("a").Get());
    ListOf(list)->Add(MakeObject<TTestItem>("b").Get());
    ListOf(list)->Add(MakeObject<TBOMObject>("plain").Get());
    list->SetOwner(nullptr);
    return list;
}

TEST_F(BoundTree, CollectionFillsItsNodeAtTheFirstExpansionOnly) {
    ComPtr<IBOMObjectSlave> list = MakeList();
    AsUIElement(list.Get())->AttachUI(nullptr);
    TTreeNode node = Show(list);
    EXPECT_TRUE(node.HasChildren());
    EXPECT_EQ(0, node.Count());
    node.Expand();
    ASSERT_EQ(2, node.Count());
    EXPECT_EQ("a", node.GetFirstChild().Text());
    EXPECT_EQ(1, node.GetFirstChild().ImageIndex());
    EXPECT_EQ("b", node.GetFirstChild().GetNextSibling().Text());
    ListOf(list)->Add(MakeObject<TTestItem>("c").Get());
    node.Collapse();
    node.Expand();
    EXPECT_EQ(2, node.Count());
    tree.DeleteAllItems();
    AsUIElement(list.Get())->DetachUI();
    list->ClearOwner();
}

TEST_F(BoundTree, EmptyCollectionKeepsItsExpandButton) {
    ComPtr<IBOMObjectSlave> list = MakeObject<TTestList>("empty");
    TTreeNode node = Show(list);
    node.Expand();
    node.Expand();
    EXPECT_TRUE(node.HasChildren());
    EXPECT_EQ(0, node.Count());
}

TEST_F(BoundTree, ObjectWithoutListLosesItsExpandButton) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("a");
    TTreeNode node = Show(item);
    node.SetHasChildren(true);
    node.Expand();
    EXPECT_FALSE(node.HasChildren());
    EXPECT_EQ(0, node.Count());
}

TEST_F(BoundTree, RenameShowsTheNewCaptionAtOnce) {
    ComPtr<IBOMObjectSlave> list = MakeList();
    TTreeNode node = Show(list);
    node.Expand();
    ComPtr<IBOMObject> a = ListOf(list)->Item(Variant("a"));
    MustCast<IBOMObjectOwner>(list)->RenameChild(MustCast<IBOMObjectSlave>(a).Get(), "Renamed");
    EXPECT_EQ("Renamed", node.GetFirstChild().Text());
    tree.DeleteAllItems();
    list->ClearOwner();
}

TEST_F(BoundTree, StateImageFollowsEnabledParam) {
    ComPtr<IBOMObjectSlave> list = MakeList();
    TTreeNode node = Show(list);
    node.Expand();
    ComPtr<IBOMObject> a = ListOf(list)->Item(Variant("a"));
    MustCast<IBOMParam>(a->ResolvePath("params/enabled"))->SetValue("no");
    EXPECT_EQ(1, node.GetFirstChild().StateIndex());
    MustCast<IBOMParam>(a->ResolvePath("params/enabled"))->SetValue("yes");
    EXPECT_EQ(2, node.GetFirstChild().StateIndex());
    tree.DeleteAllItems();
    list->ClearOwner();
}

TEST_F(BoundTree, ChangeOutsideParamsDoesNotRefresh) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("a");
    TTreeNode node = Show(item);
    node.SetText("stale");
    item->Changed("conditions/x", item.Get(), "conditions", item.Get());
    EXPECT_EQ("stale", node.Text());
    item->Changed("params/x", item.Get(), "params", item.Get());
    EXPECT_EQ("a", node.Text());
}

TEST_F(BoundTree, DeletingNodesFreesTheirElements) {
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        ComPtr<IBOMObjectSlave> list = MakeList();
        AsUIElement(list.Get())->AttachUI(nullptr);
        Show(list).Expand();
        AsUIElement(list.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle());
        AsUIElement(ListOf(list)->Item(0).Get())->GetDetailPanel("DefaultDetailPanel", host.Handle());
        tree.DeleteAllItems();
        AsUIElement(list.Get())->DetachUI();
        list->ClearOwner();
    }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

TEST_F(BoundTree, SamePanelNameTwiceGivesOnePanelInAnyLetterCase) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("a");
    ComPtr<IUIElement> element = AsUIElement(item.Get());
    element->AttachUI(nullptr);
    IDetailPanel* first = element->GetDetailPanel("DefaultDetailPanel", host.Handle());
    ASSERT_NE(nullptr, first);
    // A later call gets the same panel, where it was made, whatever window it names.
    EXPECT_EQ(first, element->GetDetailPanel("defaultdetailpanel", tree.Handle()));
    EXPECT_EQ(host.Handle(), GetParent(static_cast<TLogPanel*>(first)->Handle()));
    EXPECT_EQ(1, static_cast<TLogPanel*>(first)->Updates);
    EXPECT_EQ(std::vector<std::string>{"localize a"}, PanelLog());
    EXPECT_EQ(nullptr, element->GetDetailPanel("Unknown", host.Handle()));
    element->DetachUI();
}

TEST_F(BoundTree, DetachFreesEveryPanelOfTheTreeLastCreatedFirst) {
    ComPtr<IBOMObjectSlave> list = MakeList();
    ComPtr<IUIElement> a = AsUIElement(ListOf(list)->Item(Variant("a")).Get());
    AsUIElement(list.Get())->AttachUI(nullptr);
    a->GetDetailPanel("DefaultDetailPanel", host.Handle());
    a->GetDetailPanel("Second", host.Handle());
    PanelLog().clear();
    AsUIElement(list.Get())->DetachUI();
    EXPECT_EQ((std::vector<std::string>{"free a", "free a"}), PanelLog());
    EXPECT_EQ(nullptr, a->GetDetailPanel("DefaultDetailPanel", host.Handle()));
    list->ClearOwner();
}

TEST_F(BoundTree, DetachedObjectGivesNoPanel) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("a");
    EXPECT_EQ(nullptr, AsUIElement(item.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle()));
    EXPECT_TRUE(PanelLog().empty());
}

TEST_F(BoundTree, NotifyOneLocalizesOpenPanels) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("a");
    AsUIElement(item.Get())->AttachUI(nullptr);
    AsUIElement(item.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle());
    PanelLog().clear();
    item->Notify(2, 0, 0);
    EXPECT_TRUE(PanelLog().empty());
    item->Notify(NotifyTranslateTexts, 0, 0);
    EXPECT_EQ(std::vector<std::string>{"localize a"}, PanelLog());
    AsUIElement(item.Get())->DetachUI();
}

TEST_F(BoundTree, ItemAddedToAttachedCollectionIsAttachedAtOnce) {
    ComPtr<IBOMObjectSlave> list = MakeList();
    ComPtr<IUI> ui = NewObject<TTestHost>();
    AsUIElement(list.Get())->AttachUI(ui.Get());
    ComPtr<IBOMObjectSlave> c = MakeObject<TTestItem>("c");
    ListOf(list)->Add(c.Get());
    EXPECT_NE(nullptr, AsUIElement(c.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle()));
    AsUIElement(list.Get())->DetachUI();
    list->ClearOwner();
}

TEST_F(BoundTree, CommandsAreLeftToTheParent) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("a");
    TUICommand action{"AppSave"};
    EXPECT_TRUE(AsUIElement(item.Get())->UpdateCommand(action));
    EXPECT_TRUE(AsUIElement(item.Get())->ExecuteCommand(action));
    EXPECT_TRUE(item->IsKindOf("UIElement"));
    EXPECT_FALSE(item->IsKindOf("uielement"));
    EXPECT_TRUE(MakeObject<TTestList>("l")->IsKindOf("UIList"));
}

} // namespace
