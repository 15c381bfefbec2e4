#pragma once

#include "TreeNodeLook.h"

#include <windows.h>

#include <commctrl.h>

// The tree view that shows the model, as the tree binding reaches it. Only the configuration
// program has a tree view (TTreeViewUI puts its own behind this), so the model's library, and
// with it the resident program, links no control.
class IUITree {
public:
    // A new last child of parent (a top item when parent is null) with its look and data.
    virtual HTREEITEM InsertNode(HTREEITEM parent, const TTreeNodeLook& look, void* data) = 0;
    virtual void SetNodeLook(HTREEITEM node, const TTreeNodeLook& look) = 0;
    // Whether the node shows an expand button, children or not.
    virtual bool NodeHasChildren(HTREEITEM node) const = 0;
    virtual void SetNodeHasChildren(HTREEITEM node, bool value) = 0;
    virtual HTREEITEM FirstChild(HTREEITEM node) const = 0;
    virtual void* NodeData(HTREEITEM node) const = 0;
    virtual void SetNodeData(HTREEITEM node, void* data) = 0;
    // Whether a point in client coordinates lies on a node's state image.
    virtual bool IsOnStateIcon(int x, int y) const = 0;

protected:
    ~IUITree() = default;
};

// One node of such a tree: its item, valid until the item is deleted, and the tree.
struct TUINode {
    IUITree* Tree = nullptr;
    HTREEITEM Item = nullptr;

    explicit operator bool() const noexcept { return Item != nullptr; }
    bool operator==(const TUINode&) const = default;

    bool HasChildren() const { return Tree->NodeHasChildren(Item); }
    void SetHasChildren(bool value) const { Tree->SetNodeHasChildren(Item, value); }
    TUINode GetFirstChild() const { return {Tree, Tree->FirstChild(Item)}; }
    void SetLook(const TTreeNodeLook& look) const { Tree->SetNodeLook(Item, look); }
    void* Data() const { return Tree->NodeData(Item); }
    void SetData(void* data) const { Tree->SetNodeData(Item, data); }
};

// A command of the configuration program as a tree element sees it: the command's name and
// whether it can run now, which UpdateCommand sets.
struct TUICommand {
    std::string Name;
    bool Enabled = true;
};
