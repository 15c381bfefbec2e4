#pragma once

#include "Controls.h"
#include "ImageList.h"
#include "TreeNodeLook.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

class TTreeView;

// One item of a tree view: a handle, valid until the item is deleted.
class TTreeNode {
public:
    TTreeNode() = default;
    TTreeNode(TTreeView* tree, HTREEITEM item) noexcept : tree_(item ? tree : nullptr), item_(item) {}

    explicit operator bool() const noexcept { return item_ != nullptr; }
    bool operator==(const TTreeNode&) const = default;

    HTREEITEM ItemId() const noexcept { return item_; }
    TTreeView* TreeView() const noexcept { return tree_; }

    std::string Text() const;
    void SetText(const std::string& text);
    int ImageIndex() const;
    void SetImageIndex(int index);
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    // -1: no state image.
    int StateIndex() const;
    void SetStateIndex(int index);
    // The whole look in one TVM_SETITEM.
    void SetLook(const TTreeNodeLook& look);
    // Whether the item shows an expand button, children or not.
    bool HasChildren() const;
    void SetHasChildren(bool value);
    void* Data() const;
    void SetData(void* data);

    // Number of direct child items.
    int Count() const;
    TTreeNode Parent() const;
    TTreeNode GetFirstChild() const;
    TTreeNode GetNextSibling() const;
    // The node shown above this one (TVGN_PREVIOUSVISIBLE), or none.
    TTreeNode GetPrevVisible() const;
    // Level 0 is a top item.
    int Level() const;

    // Adds a new last child.
    TTreeNode AddChild(const std::string& text);
    void Delete();
    // Asks the expanding handler first, as a user's expansion does.
    void Expand();
    void Collapse();
    void Select();

private:
    TVITEMA Get(UINT mask) const;
    void Set(TVITEMA item);

    TTreeView* tree_ = nullptr;
    HTREEITEM item_ = nullptr;
};

// A comctl32 tree view. Its notifications come back to it from whatever window it is made
// in (a control of the layer or any other window).
class TTreeView : public TWinControl {
public:
    TTreeView(TComponent* owner, TParent parent);
    ~TTreeView() override;

    // TVM_INSERTITEM as the last child of parent (a top item for an empty parent).
    TTreeNode InsertItem(TTreeNode parent, const std::string& text);
    // The same with its look and data in the one message: in a long expanded list every change
    // of an item makes the control lay out the whole list again.
    TTreeNode InsertItem(TTreeNode parent, const TTreeNodeLook& look, void* data);
    void DeleteItem(TTreeNode node);
    // Deletes every item; each deletion is reported.
    void DeleteAllItems();

    TTreeNode GetFirstNode() const;
    TTreeNode Selected() const;
    TTreeNode GetNodeAt(int x, int y) const;
    // TVHT_* flags of the point, in client coordinates.
    UINT GetHitTestInfoAt(int x, int y) const;
    bool IsOnStateIcon(int x, int y) const;

    void SetImages(const TImageList* images);
    void SetStateImages(const TImageList* images);

    void Expand(TTreeNode node);
    // A right click selects the node under the mouse before OnMouseUp hears of it.
    bool RightClickSelect = false;

    // These replace the control events of the same names with the tree's own.
    std::function<void(TTreeNode)> OnExpanding;
    std::function<void(TTreeNode)> OnDeletion;
    std::function<void(TTreeNode)> OnChange;
    // A button was released over the tree; the point is in client coordinates.
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;
    // A button went down over the tree, before the tree takes the click; handled set to true
    // keeps the click from the tree (no selection, no focus, no OnMouseUp).
    std::function<void(TMouseButton, TShiftState, int, int, bool& handled)> OnMouseDown;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    TTreeNode Insert(TTreeNode parent, const TVITEMA& item);
    LRESULT HandleNotify(const NMHDR& header);

    bool manualExpand_ = false;
    POINT downPoint_{};
    WPARAM downKeys_ = 0;
};
