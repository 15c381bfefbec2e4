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

SIZE SizeOf(const RECT& r) noexcept {
    return {r.right - r.left, r.bottom - r.top};
}

bool SameSize(const RECT& a, const RECT& b) noexcept {
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

} // namespace

// The system hides a shown window around a change of parent and shows it again, each a full
// repositioning with its redraws; and each later move of a shown window costs Wine a round of
// region and redraw work. A control that is not on screen yet (parked, or in a hidden window)
// is therefore hidden quietly (its style bit only) while it moves, while it and everything in
// it take their new sizes, and then shown once, last in z-order.
class TWinControl::TQuietPlacement {
public:
    TQuietPlacement(TWinControl& control, HWND target) : control_(control) {
        const HWND hwnd = control.hwnd_;
        if (hwnd == nullptr || GetParent(hwnd) == target || IsWindowVisible(GetParent(hwnd)))
            return;
        const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
        if ((style & WS_VISIBLE) == 0)
            return;
        SetWindowLongPtrA(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
        control.placing_ = true;
    }
    ~TQuietPlacement() {
        if (!control_.placing_)
            return;
        control_.placing_ = false;
        if (control_.hwnd_ != nullptr)
            SetWindowPos(control_.hwnd_, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    bool Active() const noexcept { return control_.placing_; }
    TQuietPlacement(const TQuietPlacement&) = delete;
    TQuietPlacement& operator=(const TQuietPlacement&) = delete;

private:
    TWinControl& control_;
};

void TWinControl::Reparent(HWND window, TWinControl* parent) {
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    const HWND oldWindow = ParentWindow();
    parent_ = parent;
    foreignHost_ = parent == nullptr && window != nullptr ? window : nullptr;
    if (parent_ != nullptr)
        parent_->children_.push_back(this);
    const HWND target = hwnd_ != nullptr ? (window != nullptr ? window : ParkingWindow()) : nullptr;
    const TQuietPlacement quiet(*this, target);
    if (hwnd_ != nullptr) {
        if (GetParent(hwnd_) != target)
            ::SetParent(hwnd_, target);
        // Last in z-order is last in tab order: the order in which controls were placed.
        if (!quiet.Active() && GetWindow(hwnd_, GW_HWNDNEXT) != nullptr)
            SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (parentFont_)
            ApplyFont();
        RecordAnchors();
    }
    if (oldWindow != nullptr && oldWindow != window)
        LayoutChanged(oldWindow);
    if (window != nullptr)
        LayoutChanged(window);
    // Laid out in its new place first, so that only what that left untouched moves now.
    if (window != nullptr && !LayoutHeld())
        PlaceHeldBounds();
}

bool TWinControl::LayoutHeld() const noexcept {
    const TWinControl* top = this;
    while (top->parent_ != nullptr)
        top = top->parent_;
    return top->foreignHost_ == nullptr && top->hwnd_ != nullptr &&
           (GetWindowLongPtrA(top->hwnd_, GWL_STYLE) & WS_CHILD) != 0;
}

void TWinControl::PlaceHeldBounds() {
    if (heldBounds_) {
        const RECT r = *heldBounds_;
        SetBoundsCore(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    const std::vector<TWinControl*> children = children_;
    for (TWinControl* child : children)
        child->PlaceHeldBounds();
    if (alignedWhileHeld_) {
        alignedWhileHeld_ = false;
        AlignedControls();
    }
}

void TWinControl::ChildrenAligned() {
    // What depends on the windows themselves (a scroll bar) follows once they are placed.
    alignedWhileHeld_ = LayoutHeld();
    AlignedControls();
}

void TWinControl::LayoutChanged(HWND window) {
    // A control that is not aligned moves no sibling, and its anchors were just taken at the
    // window's present size: only what the container derives from its children's extent
    // (scroll range, own height) needs renewing, not the whole layout.
    if (align_ != TAlign::alNone) {
        RealignWindow(window);
        return;
    }
    if (TWinControl* layer = FromHandle(window))
        layer->ChildrenAligned();
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == this)
        throw Exception("A control cannot be its own parent");
    if (parent == nullptr) {
        SetParent(nullptr);
        return;
    }
    if (parent == parent_)
        return;
    Reparent(parent->Handle(), parent);
}

void TWinControl::SetParent(HWND host) {
    if (host == nullptr) {
        SetParent(nullptr);
        return;
    }
    if (TWinControl* layer = FromHandle(host)) {
        SetParent(layer);
        return;
    }
    AttachHost(host);
    Reparent(host, nullptr);
}

void TWinControl::SetParent(std::nullptr_t) {
    if (parent_ == nullptr && foreignHost_ == nullptr)
        return;
    Reparent(nullptr, nullptr);
}

HWND TWinControl::ParentWindow() const noexcept {
    if (parent_ != nullptr)
        return parent_->Handle();
    return foreignHost_;
}

RECT TWinControl::BoundsRect() const {
    return heldBounds_ ? *heldBounds_ : WindowBounds();
}

RECT TWinControl::WindowBounds() const {
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
    if (LayoutHeld()) {
        if (EqualRect(&before, &target))
            return;
        heldBounds_ = target;
        // What WM_SIZE does when the window itself is resized.
        if (!SameSize(before, target)) {
            Realign();
            Resized();
        }
        return;
    }
    const bool wasHeld = heldBounds_.has_value();
    heldBounds_.reset();
    const RECT window = WindowBounds();
    if (!EqualRect(&window, &target))
        SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The window kept its size, so no WM_SIZE lays out the children, which were laid out for
    // the held size.
    if (wasHeld && SameSize(window, target) && !SameSize(before, target)) {
        Realign();
        Resized();
    }
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
    if (hwnd_ == nullptr)
        return r;
    GetClientRect(hwnd_, &r);
    if (heldBounds_) {
        // The frame (border, scroll bar) is the window's own; only the size is held.
        const SIZE held = SizeOf(*heldBounds_);
        const SIZE window = SizeOf(WindowBounds());
        r.right = std::max(0L, r.right + held.cx - window.cx);
        r.bottom = std::max(0L, r.bottom + held.cy - window.cy);
    }
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
    anchorOrigin_ = parent_ != nullptr ? SizeOf(parent_->ClientRect()) : ClientSizeOf(parent);
}

void TWinControl::PlaceAligned(const RECT& rect) {
    SetBoundsCore(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TWinControl::Realign() {
    if (hwnd_ == nullptr)
        return;
    RECT area = ClientRect();
    const SIZE size{area.right, area.bottom};
    AdjustClientRect(area);
    AlignControls(size, area, children_);
    ChildrenAligned();
}

void TWinControl::AlignControls(SIZE clientSize, RECT area, const std::vector<TWinControl*>& children) {
    std::vector<TWinControl*> aligned;
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        // Along each side the controls follow in the order they were placed in the parent, which
        // is also their tab order: a form or page states its rows by placing them.
        aligned.clear();
        for (TWinControl* child : children)
            if (child->align_ == kind && child->hwnd_ != nullptr && child->Visible())
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
            child->PlaceAligned(r);
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
        child->PlaceAligned(r);
    }
}
