#include "Controls.h"

#include "ControlHosts.h"
#include "Errors.h"

#include <algorithm>

namespace {

SIZE ClientSizeOf(HWND hwnd) noexcept {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right, r.bottom};
}

} // namespace

TParent::TParent(HWND window) noexcept : control_(TWinControl::FromHandle(window)) {
    if (control_ == nullptr)
        host_ = window;
}

HWND TParent::Window() const noexcept {
    return control_ != nullptr ? control_->Handle() : host_;
}

void TWinControl::Adopt(TParent parent) {
    parent_ = parent.Control();
    if (parent_ != nullptr) {
        parent_->children_.push_back(this);
    } else {
        foreignHost_ = parent.Window();
        AttachHost(foreignHost_);
    }
    ApplyFont();
    RecordAnchors();
    // A control that is not aligned moves no sibling, and its anchors were just taken at the
    // window's present size: only what the container derives from its children's extent
    // (scroll range, own height) needs renewing, not the whole layout.
    if (align_ != TAlign::alNone || parent_ == nullptr)
        RealignWindow(ParentWindow());
    else
        parent_->AlignedControls();
}

HWND TWinControl::ParentWindow() const noexcept {
    if (parent_ != nullptr)
        return parent_->Handle();
    return foreignHost_;
}

RECT TWinControl::BoundsRect() const {
    RECT r{};
    if (hwnd_ == nullptr)
        return r;
    GetWindowRect(hwnd_, &r);
    if ((GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD) != 0)
        MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int TWinControl::Left() const {
    return BoundsRect().left;
}

int TWinControl::Top() const {
    return BoundsRect().top;
}

int TWinControl::Width() const {
    const RECT r = BoundsRect();
    return r.right - r.left;
}

int TWinControl::Height() const {
    const RECT r = BoundsRect();
    return r.bottom - r.top;
}

void TWinControl::SetBoundsCore(int left, int top, int width, int height) {
    if (hwnd_ == nullptr)
        return;
    width = std::max(width, minWidth_);
    height = std::max(height, minHeight_);
    const RECT target{left, top, left + width, top + height};
    const RECT before = BoundsRect();
    if (!EqualRect(&before, &target))
        SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    SetBoundsCore(left, top, width, height);
    designSize_ = {width, height};
    RecordAnchors();
    if (align_ != TAlign::alNone && ParentWindow() != nullptr)
        RealignWindow(ParentWindow());
}

void TWinControl::SetLeft(int left) {
    const RECT r = BoundsRect();
    SetBounds(left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::SetTop(int top) {
    const RECT r = BoundsRect();
    SetBounds(r.left, top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::SetWidth(int width) {
    const RECT r = BoundsRect();
    SetBounds(r.left, r.top, width, r.bottom - r.top);
}

void TWinControl::SetHeight(int height) {
    const RECT r = BoundsRect();
    SetBounds(r.left, r.top, r.right - r.left, height);
}

RECT TWinControl::ClientRect() const {
    RECT r{};
    if (hwnd_ != nullptr)
        GetClientRect(hwnd_, &r);
    return r;
}

int TWinControl::ClientWidth() const {
    return ClientRect().right;
}

int TWinControl::ClientHeight() const {
    return ClientRect().bottom;
}

void TWinControl::SetClientSize(int width, int height) {
    if (hwnd_ == nullptr)
        return;
    const RECT client = ClientRect();
    const RECT outer = BoundsRect();
    SetBounds(outer.left, outer.top, outer.right - outer.left + width - client.right,
              outer.bottom - outer.top + height - client.bottom);
}

void TWinControl::SetConstraints(int minWidth, int minHeight) {
    minWidth_ = minWidth;
    minHeight_ = minHeight;
    const RECT r = BoundsRect();
    SetBoundsCore(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::SetAlign(TAlign align) {
    if (align == align_)
        return;
    align_ = align;
    // Aligned to a side, the control takes its designed depth again (a frame that filled a
    // host keeps its own height when it is stacked into another).
    const RECT r = BoundsRect();
    if ((align == TAlign::alTop || align == TAlign::alBottom) && designSize_.cy > 0)
        SetBoundsCore(r.left, r.top, r.right - r.left, designSize_.cy);
    else if ((align == TAlign::alLeft || align == TAlign::alRight) && designSize_.cx > 0)
        SetBoundsCore(r.left, r.top, designSize_.cx, r.bottom - r.top);
    RecordAnchors();
    if (ParentWindow() != nullptr)
        RealignWindow(ParentWindow());
}

void TWinControl::SetAnchors(TAnchors anchors) {
    anchors_ = anchors;
    RecordAnchors();
}

void TWinControl::RecordAnchors() {
    const HWND parent = ParentWindow();
    anchorValid_ = hwnd_ != nullptr && parent != nullptr;
    if (!anchorValid_)
        return;
    anchorDesign_ = BoundsRect();
    anchorOrigin_ = ClientSizeOf(parent);
}

void TWinControl::Realign() {
    if (hwnd_ == nullptr)
        return;
    RECT area = ClientRect();
    const SIZE size{area.right, area.bottom};
    AdjustClientRect(area);
    AlignControls(size, area, children_);
    AlignedControls();
}

void TWinControl::AlignControls(SIZE clientSize, RECT area, const std::vector<TWinControl*>& children) {
    std::vector<TWinControl*> aligned;
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        // Along each side the controls follow in the order they were made in the parent, which
        // is also their tab order: a form or page states its rows by making them in that order.
        aligned.clear();
        for (TWinControl* child : children)
            if (child->align_ == kind && child->Visible())
                aligned.push_back(child);
        for (TWinControl* child : aligned) {
            const int w = std::max(child->Width(), child->minWidth_);
            const int h = std::max(child->Height(), child->minHeight_);
            RECT r = area;
            switch (kind) {
            case TAlign::alTop:
                r.bottom = r.top + h;
                area.top = std::min(area.bottom, r.bottom);
                break;
            case TAlign::alBottom:
                r.top = r.bottom - h;
                area.bottom = std::max(area.top, r.top);
                break;
            case TAlign::alLeft:
                r.right = r.left + w;
                area.left = std::min(area.right, r.right);
                break;
            case TAlign::alRight:
                r.left = r.right - w;
                area.right = std::max(area.left, r.left);
                break;
            default:
                break;
            }
            child->SetBoundsCore(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
    }
    for (TWinControl* child : children) {
        if (child->align_ != TAlign::alNone || !child->anchorValid_ || child->anchors_ == (akLeft | akTop))
            continue;
        const int dx = clientSize.cx - child->anchorOrigin_.cx;
        const int dy = clientSize.cy - child->anchorOrigin_.cy;
        RECT r = child->anchorDesign_;
        if ((child->anchors_ & akRight) != 0) {
            r.right += dx;
            if ((child->anchors_ & akLeft) == 0)
                r.left += dx;
        }
        if ((child->anchors_ & akBottom) != 0) {
            r.bottom += dy;
            if ((child->anchors_ & akTop) == 0)
                r.top += dy;
        }
        child->SetBoundsCore(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}
