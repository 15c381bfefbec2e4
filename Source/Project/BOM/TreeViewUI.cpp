#include "TreeViewUI.h"

HTREEITEM TTreeViewUI::InsertNode(HTREEITEM parent, const TTreeNodeLook& look, void* data) {
    return tree_.InsertItem(At(parent), look, data).ItemId();
}

void TTreeViewUI::SetNodeLook(HTREEITEM node, const TTreeNodeLook& look) {
    At(node).SetLook(look);
}

bool TTreeViewUI::NodeHasChildren(HTREEITEM node) const {
    return At(node).HasChildren();
}

void TTreeViewUI::SetNodeHasChildren(HTREEITEM node, bool value) {
    At(node).SetHasChildren(value);
}

HTREEITEM TTreeViewUI::FirstChild(HTREEITEM node) const {
    return At(node).GetFirstChild().ItemId();
}

void* TTreeViewUI::NodeData(HTREEITEM node) const {
    return At(node).Data();
}

void TTreeViewUI::SetNodeData(HTREEITEM node, void* data) {
    At(node).SetData(data);
}

bool TTreeViewUI::IsOnStateIcon(int x, int y) const {
    return tree_.IsOnStateIcon(x, y);
}
