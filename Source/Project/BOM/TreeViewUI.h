#pragma once

#include "TreeView.h"
#include "UITree.h"

// The configuration program's tree view behind the tree binding's IUITree.
class TTreeViewUI final : public IUITree {
public:
    explicit TTreeViewUI(TTreeView& tree) noexcept : tree_(tree) {}

    TTreeView& Tree() const noexcept { return tree_; }
    TUINode Node(TTreeNode node) noexcept { return {this, node.ItemId()}; }
    TTreeNode TreeNode(TUINode node) const noexcept { return At(node.Item); }

    HTREEITEM InsertNode(HTREEITEM parent, const TTreeNodeLook& look, void* data) override;
    void SetNodeLook(HTREEITEM node, const TTreeNodeLook& look) override;
    bool NodeHasChildren(HTREEITEM node) const override;
    void SetNodeHasChildren(HTREEITEM node, bool value) override;
    HTREEITEM FirstChild(HTREEITEM node) const override;
    void* NodeData(HTREEITEM node) const override;
    void SetNodeData(HTREEITEM node, void* data) override;
    bool IsOnStateIcon(int x, int y) const override;

private:
    TTreeNode At(HTREEITEM item) const noexcept { return TTreeNode(&tree_, item); }

    TTreeView& tree_;
};
