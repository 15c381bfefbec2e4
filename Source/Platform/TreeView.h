#pragma once

#include "ImageList.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

class TTreeView;

enum class TMouseButton { Left, Right, Middle };

// Modifier keys and buttons held during a mouse event.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;

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
    // Level 0 is a top item.
    int Level() const;

    // Adds a new last child.
    TTreeNode AddChild(const std::string& text);
    void Delete();
    // Asks the expanding handler first, as a user's expansion does.
    void Expand();
    void Collapse();
    bool Expanded() const;
    void Select();

private:
    TVITEMA Get(UINT mask) const;
    void Set(TVITEMA item);

    TTreeView* tree_ = nullptr;
    HTREEITEM item_ = nullptr;
};

// A comctl32 tree view in a parent window. Its notifications are taken from the parent
// through a subclass, so any parent will do.
class TTreeView {
public:
    TTreeView(HWND parent, int id = 0);
    ~TTreeView();
    TTreeView(const TTreeView&) = delete;
    TTreeView& operator=(const TTreeView&) = delete;

    HWND Handle() const noexcept { return hwnd_; }

    // TVM_INSERTITEM as the last child of parent (a top item for an empty parent).
    TTreeNode InsertItem(TTreeNode parent, const std::string& text);
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

    std::function<void(TTreeNode)> OnExpanding;
    std::function<void(TTreeNode)> OnDeletion;
    std::function<void(TTreeNode)> OnChange;
    // A button was released over the tree; the point is in client coordinates.
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;

private:
    static LRESULT CALLBACK TreeProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    static LRESULT CALLBACK ParentProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    LRESULT HandleNotify(const NMHDR& header);
    void Unhook() noexcept;

    HWND hwnd_ = nullptr;
    HWND parent_ = nullptr;
    bool manualExpand_ = false;
    POINT downPoint_{};
    WPARAM downKeys_ = 0;
};
