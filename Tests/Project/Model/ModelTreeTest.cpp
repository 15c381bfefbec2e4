#include "BOMRoutines.h"
#include "AbstractDetailPanel.h"
#include "EnabledItem.h"
#include "ModelTestSupport.h"
#include "Platform/TestWindow.h"
#include "TreeViewUI.h"

#include <gtest/gtest.h>

namespace {

class TMarkedPanel : public TAbstractDetailPanel {
public:
    using TAbstractDetailPanel::TAbstractDetailPanel;
};

TEnabledItem* ItemOf(IBOMObject* object) {
    return dynamic_cast<TEnabledItem*>(object);
}

class ModelTree : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureModelClasses();
        RegisterDetailPanelClass(DetailPanelClassOf<TMarkedPanel>(), "WindowRuleDetailPanel");
        RegisterDetailPanelClass(DetailPanelClassOf<TMarkedPanel>(),
                                 "TransparentWindowActionDetailPanel_GLZ");
    }
};

TEST_F(ModelTree, StateImageFollowsTheEnabledSwitch) {
    ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Rule");
    ASSERT_TRUE(rule);
    rule->SetOwner(nullptr);
    TEnabledItem* item = ItemOf(rule.Get());
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(2, item->StateIndex);
    MustCast<IBOMParam>(rule->ResolvePath("params/enabled"))->SetValue(Variant("no"));
    EXPECT_EQ(1, item->StateIndex);
    MustCast<IBOMParam>(rule->ResolvePath("params/enabled"))->SetValue(Variant("Yes"));
    EXPECT_EQ(1, item->StateIndex);
    MustCast<IBOMParam>(rule->ResolvePath("params/enabled"))->SetValue(Variant("yes"));
    EXPECT_EQ(2, item->StateIndex);
    rule->ClearOwner();
}

TEST_F(ModelTree, ImagesAndLeafRules) {
    ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Rule");
    ComPtr<IBOMObjectSlave> trigger = CreateBOMObject("WMCREATEMESSAGETRIGGER", "Create");
    ComPtr<IBOMObjectSlave> action = CreateBOMObject("GHOSTWINDOWACTION", "Ghost");
    EXPECT_EQ(1, ItemOf(rule.Get())->ImageIndex);
    EXPECT_FALSE(ItemOf(rule.Get())->HasChildren);
    EXPECT_EQ(8, ItemOf(trigger.Get())->ImageIndex);
    EXPECT_TRUE(ItemOf(trigger.Get())->HasChildren);
    EXPECT_EQ(6, ItemOf(action.Get())->ImageIndex);
    for (auto* o : {rule.Get(), trigger.Get(), action.Get()})
        o->ClearOwner();
}

TEST_F(ModelTree, DetailPanelComesFromThePanelMap) {
    const std::pair<const char*, bool> cases[] = {{"WINDOWRULE", true},
                                                  {"TRANSPARENTWINDOWACTION", true},
                                                  {"STAYONTOPACTION", false},
                                                  {"GHOSTWINDOWACTION", false},
                                                  {"MESSAGEAGENT", false}};
    TTestWindow host;
    for (const auto& [key, hasPanel] : cases) {
        ComPtr<IBOMObjectSlave> object = CreateBOMObject(key, "Item");
        ASSERT_TRUE(object) << key;
        TEnabledItem* item = ItemOf(object.Get());
        EXPECT_EQ(hasPanel, item->CreateDetailPanel("defaultdetailpanel", host.Handle()) != nullptr) << key;
        EXPECT_EQ(nullptr, item->CreateDetailPanel("OtherPanel", host.Handle())) << key;
        object->ClearOwner();
    }
}

} // namespace

#include "TreeView.h"

namespace {

TEST_F(ModelTree, RuleNodeShowsItsThreePartsWithFixedCaptions) {
    TTestWindow host;
    TTreeView tree{nullptr, host.Handle()};
    TTreeViewUI ui{tree};
    tree.OnDeletion = [&ui](TTreeNode node) {
        if (ComPtr<IUIElement> element = DetachNodeElement(ui.Node(node)))
            element->ClearTreeNode(ui.Node(node));
    };
    const long before = TDebugInterfacedObject::LiveObjects();
    {
        ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Rule");
        rule->SetOwner(nullptr);
        TTreeNode node = tree.InsertItem({}, "");
        ComPtr<IUIElement> element = AsUIElement(rule.Get());
        AttachNodeElement(ui.Node(node), element.Get());
        element->SetTreeNode(ui.Node(node));
        EXPECT_EQ("Rule", node.Text());
        EXPECT_EQ(1, node.ImageIndex());
        EXPECT_FALSE(node.HasChildren());

        MustCast<IUIList>(rule)->FillTreeNode(ui.Node(node));
        ASSERT_EQ(3, node.Count());
        TTreeNode part = node.GetFirstChild();
        EXPECT_EQ("Conditions", part.Text());
        EXPECT_EQ(3, part.ImageIndex());
        part = part.GetNextSibling();
        EXPECT_EQ("Actions", part.Text());
        part = part.GetNextSibling();
        EXPECT_EQ("Triggers", part.Text());
        EXPECT_EQ(9, part.ImageIndex());
        tree.DeleteAllItems();
        rule->ClearOwner();
    }
    EXPECT_EQ(before, TDebugInterfacedObject::LiveObjects());
}

} // namespace

namespace {

TEST_F(ModelTree, RootNodeListsTheRulesUnderItsCaption) {
    TTestWindow host;
    TTreeView tree{nullptr, host.Handle()};
    TTreeViewUI ui{tree};
    tree.OnDeletion = [&ui](TTreeNode node) {
        if (ComPtr<IUIElement> element = DetachNodeElement(ui.Node(node)))
            element->ClearTreeNode(ui.Node(node));
    };
    tree.OnExpanding = [&ui](TTreeNode node) {
        if (IUIElement* element = NodeElement(ui.Node(node)))
            element->Expanding(ui.Node(node));
    };
    ComPtr<IBOMObjectSlave> root = CreateBOMObject("QUENNAWINDOWS", "");
    ASSERT_TRUE(root);
    MustCast<IBOMCollection>(root->ResolvePath("window_rules"))
        ->Add(CreateBOMObject("WINDOWRULE", "First").Get());
    root->SetOwner(nullptr);
    EXPECT_TRUE(Supports<IUI>(root));

    TTreeNode node = tree.InsertItem({}, "");
    ComPtr<IUIElement> element = AsUIElement(root.Get());
    AttachNodeElement(ui.Node(node), element.Get());
    element->SetTreeNode(ui.Node(node));
    EXPECT_EQ("Window Rules", node.Text());
    EXPECT_EQ(0, node.ImageIndex());
    node.Expand();
    ASSERT_EQ(1, node.Count());
    EXPECT_EQ("First", node.GetFirstChild().Text());
    tree.DeleteAllItems();
    root->ClearOwner();
}

} // namespace
