#include "TreeView.h"

#include "Errors.h"

#include <vector>

TVITEMA TTreeNode::Get(UINT mask) const {
    TVITEMA item{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = item_;
    item.stateMask = TVIS_STATEIMAGEMASK;
    if (!TreeView_GetItem(tree_->Handle(), &item))
        throw Exception("TVM_GETITEM failed");
    return item;
}

void TTreeNode::Set(TVITEMA item) {
    item.mask |= TVIF_HANDLE;
    item.hItem = item_;
    if (!TreeView_SetItem(tree_->Handle(), &item))
        throw Exception("TVM_SETITEM failed");
}

std::string TTreeNode::Text() const {
    std::vector<char> buffer(1024);
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = item_;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    if (!TreeView_GetItem(tree_->Handle(), &item))
        throw Exception("TVM_GETITEM failed");
    return item.pszText;
}

void TTreeNode::SetText(const std::string& text) {
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.pszText = const_cast<char*>(text.c_str());
    Set(item);
}

int TTreeNode::ImageIndex() const {
    return Get(TVIF_IMAGE).iImage;
}

void TTreeNode::SetImageIndex(int index) {
    TVITEMA item{};
    item.mask = TVIF_IMAGE;
    item.iImage = index;
    Set(item);
}

int TTreeNode::SelectedIndex() const {
    return Get(TVIF_SELECTEDIMAGE).iSelectedImage;
}

void TTreeNode::SetSelectedIndex(int index) {
    TVITEMA item{};
    item.mask = TVIF_SELECTEDIMAGE;
    item.iSelectedImage = index;
    Set(item);
}

int TTreeNode::StateIndex() const {
    const UINT index = (Get(TVIF_STATE).state & TVIS_STATEIMAGEMASK) >> 12;
    return index == 0 ? -1 : static_cast<int>(index);
}

void TTreeNode::SetStateIndex(int index) {
    TVITEMA item{};
    item.mask = TVIF_STATE;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = index > 0 ? INDEXTOSTATEIMAGEMASK(index) : 0;
    Set(item);
}

namespace {

TVITEMA LookItem(const TTreeNodeLook& look) {
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
    item.pszText = const_cast<char*>(look.Text.c_str());
    item.iImage = look.ImageIndex;
    item.iSelectedImage = look.SelectedIndex;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = look.StateIndex > 0 ? INDEXTOSTATEIMAGEMASK(look.StateIndex) : 0;
    item.cChildren = look.HasChildren ? 1 : 0;
    return item;
}

} // namespace

void TTreeNode::SetLook(const TTreeNodeLook& look) {
    Set(LookItem(look));
}

bool TTreeNode::HasChildren() const {
    return Get(TVIF_CHILDREN).cChildren != 0;
}

void TTreeNode::SetHasChildren(bool value) {
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.cChildren = value ? 1 : 0;
    Set(item);
}

void* TTreeNode::Data() const {
    return reinterpret_cast<void*>(Get(TVIF_PARAM).lParam);
}

void TTreeNode::SetData(void* data) {
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(data);
    Set(item);
}

int TTreeNode::Count() const {
    int count = 0;
    for (TTreeNode child = GetFirstChild(); child; child = child.GetNextSibling())
        ++count;
    return count;
}

TTreeNode TTreeNode::Parent() const {
    return {tree_, TreeView_GetParent(tree_->Handle(), item_)};
}

TTreeNode TTreeNode::GetFirstChild() const {
    return {tree_, TreeView_GetChild(tree_->Handle(), item_)};
}

TTreeNode TTreeNode::GetNextSibling() const {
    return {tree_, TreeView_GetNextSibling(tree_->Handle(), item_)};
}

TTreeNode TTreeNode::GetPrevVisible() const {
    return {tree_, TreeView_GetPrevVisible(tree_->Handle(), item_)};
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode up = Parent(); up; up = up.Parent())
        ++level;
    return level;
}

TTreeNode TTreeNode::AddChild(const std::string& text) {
    return tree_->InsertItem(*this, text);
}

void TTreeNode::Delete() {
    tree_->DeleteItem(*this);
}

void TTreeNode::Expand() {
    tree_->Expand(*this);
}

void TTreeNode::Collapse() {
    TreeView_Expand(tree_->Handle(), item_, TVE_COLLAPSE);
}

void TTreeNode::Select() {
    TreeView_SelectItem(tree_->Handle(), item_);
}

TTreeView::TTreeView(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TTreeView");
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    CreateSystemWindow(parent, WC_TREEVIEWA,
                       WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                           TVS_SHOWSELALWAYS,
                       WS_EX_CLIENTEDGE, 200, 200);
}

TTreeView::~TTreeView() {
    // Deletion handlers run while this object is whole.
    if (Handle() != nullptr)
        TreeView_DeleteAllItems(Handle());
}

TTreeNode TTreeView::InsertItem(TTreeNode parent, const std::string& text) {
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = -1;
    item.iSelectedImage = -1;
    return Insert(parent, item);
}

TTreeNode TTreeView::InsertItem(TTreeNode parent, const TTreeNodeLook& look, void* data) {
    TVITEMA item = LookItem(look);
    item.mask |= TVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(data);
    return Insert(parent, item);
}

TTreeNode TTreeView::Insert(TTreeNode parent, const TVITEMA& item) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent.ItemId() : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item = item;
    const HTREEITEM inserted = TreeView_InsertItem(Handle(), &insert);
    if (inserted == nullptr)
        throw Exception("TVM_INSERTITEM failed");
    return {this, inserted};
}

void TTreeView::DeleteItem(TTreeNode node) {
    if (node)
        TreeView_DeleteItem(Handle(), node.ItemId());
}

void TTreeView::DeleteAllItems() {
    TreeView_DeleteAllItems(Handle());
}

TTreeNode TTreeView::GetFirstNode() const {
    return {const_cast<TTreeView*>(this), TreeView_GetRoot(Handle())};
}

TTreeNode TTreeView::Selected() const {
    return {const_cast<TTreeView*>(this), TreeView_GetSelection(Handle())};
}

TTreeNode TTreeView::GetNodeAt(int x, int y) const {
    TVHITTESTINFO info{};
    info.pt = {x, y};
    const HTREEITEM item = TreeView_HitTest(Handle(), &info);
    if ((info.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)) == 0)
        return {};
    return {const_cast<TTreeView*>(this), item};
}

UINT TTreeView::GetHitTestInfoAt(int x, int y) const {
    TVHITTESTINFO info{};
    info.pt = {x, y};
    TreeView_HitTest(Handle(), &info);
    return info.flags;
}

bool TTreeView::IsOnStateIcon(int x, int y) const {
    return (GetHitTestInfoAt(x, y) & TVHT_ONITEMSTATEICON) != 0;
}

void TTreeView::SetImages(const TImageList* images) {
    TreeView_SetImageList(Handle(), images ? images->Handle() : nullptr, TVSIL_NORMAL);
}

void TTreeView::SetStateImages(const TImageList* images) {
    TreeView_SetImageList(Handle(), images ? images->Handle() : nullptr, TVSIL_STATE);
}

void TTreeView::Expand(TTreeNode node) {
    if (!node)
        return;
    // The control skips the notification for items it expanded once before.
    if (OnExpanding)
        OnExpanding(node);
    manualExpand_ = true;
    TreeView_Expand(Handle(), node.ItemId(), TVE_EXPAND);
    manualExpand_ = false;
}

LRESULT TTreeView::HandleNotify(const NMHDR& header) {
    const auto& tv = reinterpret_cast<const NMTREEVIEWA&>(header);
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
        if ((tv.action & TVE_EXPAND) && !manualExpand_ && OnExpanding)
            OnExpanding({this, tv.itemNew.hItem});
        return FALSE;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
        if (OnDeletion)
            OnDeletion({this, tv.itemOld.hItem});
        return 0;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        if (OnChange)
            OnChange({this, tv.itemNew.hItem});
        return 0;
    case NM_CLICK:
    case NM_RCLICK:
        // The control swallows the button-up while it watches for a drag; it reports the
        // click instead, at the point where the button went down.
        if (header.code == NM_RCLICK && RightClickSelect)
            if (TTreeNode node = GetNodeAt(downPoint_.x, downPoint_.y))
                node.Select();
        if (OnMouseUp)
            OnMouseUp(header.code == NM_CLICK ? TMouseButton::Left : TMouseButton::Right,
                      ShiftFromMouseKeys(downKeys_), downPoint_.x, downPoint_.y);
        return 0;
    default:
        return 0;
    }
}

LRESULT TTreeView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The second click of a double click goes down as well.
    const bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
    if (left || msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) {
        downPoint_ = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        downKeys_ = wp;
        bool handled = false;
        if (OnMouseDown)
            OnMouseDown(left ? TMouseButton::Left : TMouseButton::Right, ShiftFromMouseKeys(wp), downPoint_.x,
                        downPoint_.y, handled);
        if (handled)
            return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

bool TTreeView::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != WM_NOTIFY)
        return TWinControl::Reflected(msg, wp, lp, result);
    result = HandleNotify(*reinterpret_cast<const NMHDR*>(lp));
    return true;
}
