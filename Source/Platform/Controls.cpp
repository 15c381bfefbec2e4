#include "Controls.h"

#include "ControlHosts.h"
#include "Errors.h"
#include "Hints.h"
#include "Menus.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace {

// Dialog ids from here on: 1 and 2 are IDOK and IDCANCEL, which IsDialogMessage sends itself.
constexpr int kFirstControlId = 1000;

LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

// The object of each window of the layer, and the procedure below the layer's for a subclassed
// system control. Under Wine a window property and comctl32's subclass chain (which keeps its
// data in a property) cost a server call each, tens of microseconds for every message of every
// control; the process keeps its own map instead.
class TWindowMap {
public:
    struct TEntry {
        TWinControl* Control = nullptr;
        WNDPROC Previous = nullptr;
    };

    void Set(HWND hwnd, TEntry entry) {
        const std::lock_guard<std::mutex> guard(lock_);
        map_[hwnd] = entry;
    }
    TEntry Find(HWND hwnd) const noexcept {
        const std::lock_guard<std::mutex> guard(lock_);
        const auto found = map_.find(hwnd);
        return found != map_.end() ? found->second : TEntry{};
    }
    void Remove(HWND hwnd) noexcept {
        const std::lock_guard<std::mutex> guard(lock_);
        map_.erase(hwnd);
    }
    // The window outlives its object: it keeps only the way down to its own procedure.
    void Orphan(HWND hwnd) noexcept {
        const std::lock_guard<std::mutex> guard(lock_);
        if (const auto found = map_.find(hwnd); found != map_.end())
            found->second.Control = nullptr;
    }

private:
    mutable std::mutex lock_;
    std::unordered_map<HWND, TEntry> map_;
};

// Never destroyed: windows destroyed by other statics at exit still look themselves up.
TWindowMap& WindowMap() noexcept {
    union TLasting {
        TLasting() : map() {}
        ~TLasting() {}
        TWindowMap map;
    };
    static TLasting lasting;
    return lasting.map;
}

int NextControlId() noexcept {
    static thread_local int next = kFirstControlId;
    if (next >= 0x7FFF)
        next = kFirstControlId;
    return next++;
}

void RegisterLayerClass(const char* name, UINT style, int background, LPCSTR cursor, HICON icon) {
    static thread_local std::unordered_set<std::string> registered;
    if (registered.count(name) != 0)
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = LayerWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.hbrBackground =
        background >= 0 ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1)) : nullptr;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("RegisterClassEx failed: ") + name);
    registered.insert(name);
}

bool IsCtlColor(UINT msg) noexcept {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

// The child window that sent a notification, when the message is one.
HWND NotificationSource(UINT msg, WPARAM, LPARAM lp) noexcept {
    switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY:
        return lp != 0 ? reinterpret_cast<const NMHDR*>(lp)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
        return IsCtlColor(msg) ? reinterpret_cast<HWND>(lp) : nullptr;
    }
}

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

// The window procedures reach the private members through this.
struct TLayerAccess {
    static void Bind(TWinControl* control, HWND hwnd) noexcept { control->Bind(hwnd); }
};

namespace {

LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
        if (create->lpCreateParams != nullptr)
            TLayerAccess::Bind(static_cast<TWinControl*>(create->lpCreateParams), hwnd);
    }
    TWinControl* self = TWinControl::FromHandle(hwnd);
    if (self == nullptr)
        return DefWindowProcA(hwnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    const TWindowMap::TEntry entry = WindowMap().Find(hwnd);
    if (entry.Control != nullptr)
        return entry.Control->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY)
        WindowMap().Remove(hwnd);
    return entry.Previous != nullptr ? CallWindowProcA(entry.Previous, hwnd, msg, wp, lp)
                                     : DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

TShiftState ShiftFromMouseKeys(WPARAM keys) noexcept {
    TShiftState shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

TShiftState ShiftFromKeyData(LPARAM keyData) noexcept {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if ((keyData & (1 << 29)) != 0)
        shift |= ssAlt;
    return shift;
}

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {
    SetClassName("TWinControl");
}

TWinControl::~TWinControl() {
    MarkDestroying();
    for (TWinControl* child : children_)
        child->parent_ = nullptr;
    children_.clear();
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_ = nullptr;
    }
    if (hwnd_ != nullptr) {
        const HWND hwnd = hwnd_;
        DestroyWindow(hwnd);
        if (hwnd_ != nullptr) // destroyed by another thread's rules or refused: forget it anyway
            Unbind();
    }
}

TWinControl* TWinControl::FromHandle(HWND hwnd) noexcept {
    return hwnd != nullptr ? WindowMap().Find(hwnd).Control : nullptr;
}

TWinControl* TWinControl::FindControl(HWND hwnd) noexcept {
    for (; hwnd != nullptr; hwnd = GetParent(hwnd))
        if (TWinControl* control = FromHandle(hwnd))
            return control;
    return nullptr;
}

void TWinControl::CreateLayerWindow(const TWindowClass& cls, DWORD style, DWORD exStyle, int width,
                                    int height, HWND owner) {
    RegisterLayerClass(cls.Name, cls.Style, cls.Background, cls.Cursor, cls.Icon);
    const bool child = (style & WS_CHILD) != 0;
    if (child)
        id_ = NextControlId();
    const HWND parent = child ? TakeCreationParent() : owner;
    const HWND hwnd = CreateWindowExA(exStyle, cls.Name, "", style, child ? 0 : CW_USEDEFAULT,
                                      child ? 0 : CW_USEDEFAULT, width, height, parent,
                                      child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)) : nullptr,
                                      GetModuleHandleA(nullptr), this);
    if (hwnd == nullptr)
        throw Exception(std::string("Window could not be created: ") + cls.Name);
    designSize_ = {width, height};
    ApplyFont();
    RecordAnchors();
}

void TWinControl::CreateSystemWindow(const char* className, DWORD style, DWORD exStyle, int width,
                                     int height) {
    id_ = NextControlId();
    const HWND hwnd = CreateWindowExA(
        exStyle, className, "", style | WS_CHILD, 0, 0, width, height, TakeCreationParent(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr)
        throw Exception(std::string("Control could not be created: ") + className);
    hwnd_ = hwnd;
    // The object is known before the first message reaches the new procedure.
    previousProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    WindowMap().Set(hwnd, {this, previousProc_});
    SetLastError(0);
    if (SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlSubclassProc)) == 0 &&
        GetLastError() != 0) {
        Unbind();
        DestroyWindow(hwnd);
        throw Exception(std::string("Control could not be subclassed: ") + className);
    }
    designSize_ = {width, height};
    ApplyFont();
    RecordAnchors();
}

HWND& TWinControl::CreationParent() noexcept {
    static thread_local HWND parent = nullptr;
    return parent;
}

HWND TWinControl::TakeCreationParent() {
    // Taken once: a control that makes parts of its own makes them parked.
    HWND& hint = CreationParent();
    const HWND parent = hint != nullptr && IsWindow(hint) ? hint : ParkingWindow();
    hint = nullptr;
    return parent;
}

void TWinControl::Bind(HWND hwnd) noexcept {
    hwnd_ = hwnd;
    WindowMap().Set(hwnd, {this, nullptr});
}

void TWinControl::Unbind() noexcept {
    if (hwnd_ == nullptr)
        return;
    RemoveControlHint(hwnd_);
    if (previousProc_ == nullptr) {
        WindowMap().Remove(hwnd_);
    } else if (GetWindowLongPtrA(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ControlSubclassProc)) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
        WindowMap().Remove(hwnd_);
    } else {
        // A procedure subclassed over ours still calls it, to pass the messages on.
        WindowMap().Orphan(hwnd_);
    }
    previousProc_ = nullptr;
    hwnd_ = nullptr;
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCDESTROY) {
        const HWND hwnd = hwnd_;
        const WNDPROC previous = previousProc_;
        Unbind();
        WindowMap().Remove(hwnd); // no message comes after this one
        try {
            HandleDestroyed();
        } catch (...) {
            HandleException();
        }
        return previous != nullptr ? CallWindowProcA(previous, hwnd, msg, wp, lp)
                                   : DefWindowProcA(hwnd, msg, wp, lp);
    }
    // While the control or what holds it is being destroyed, its handlers may point into
    // objects that are half gone: the window only gets its default handling.
    if (InDestruction())
        return CallDefault(msg, wp, lp);
    try {
        return WndProc(msg, wp, lp);
    } catch (...) {
        HandleException();
        return 0;
    }
}

bool TWinControl::InDestruction() const noexcept {
    for (const TComponent* c = this; c != nullptr; c = c->Owner())
        if (c->Destroying())
            return true;
    for (const TWinControl* c = parent_; c != nullptr; c = c->parent_)
        if (c->Destroying())
            return true;
    return false;
}

LRESULT TWinControl::CallDefault(UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd_ == nullptr)
        return 0;
    return previousProc_ != nullptr ? CallWindowProcA(previousProc_, hwnd_, msg, wp, lp)
                                    : DefWindowProcA(hwnd_, msg, wp, lp);
}

bool TWinControl::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) noexcept {
    const HWND source = NotificationSource(msg, wp, lp);
    TWinControl* child = FromHandle(source);
    // Not held back during destruction: a tree that goes still reports each deleted item.
    if (child == nullptr)
        return false;
    try {
        return child->Reflected(msg, wp, lp, result);
    } catch (...) {
        HandleException();
        result = 0;
        return true;
    }
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wp, lp, result))
        return result;
    if (TMenuItem::HandleOwnerMessage(msg, wp, lp, result))
        return result;
    switch (msg) {
    case WM_SIZE: {
        const LRESULT r = CallDefault(msg, wp, lp);
        Realign();
        Resized();
        return r;
    }
    case WM_SETFONT:
        windowFont_ = reinterpret_cast<HFONT>(wp);
        break;
    case WM_GETFONT:
        if (previousProc_ == nullptr)
            return reinterpret_cast<LRESULT>(windowFont_);
        break;
    case WM_ERASEBKGND:
        if (previousProc_ == nullptr && color_ != clDefault) {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, BackgroundBrush());
            return 1;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        // Focus that moves between the control and its own parts (a combo box and its edit)
        // neither enters nor leaves it.
        const auto other = reinterpret_cast<HWND>(wp);
        const bool inside = other != nullptr && (other == hwnd_ || IsChild(hwnd_, other));
        const LRESULT r = CallDefault(msg, wp, lp);
        if (!inside && msg == WM_KILLFOCUS)
            DoExit();
        return r;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        if (KeyMessage(msg, wp, lp))
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        if (!hint_.empty())
            RelayHintMessage(hwnd_, msg, wp, lp);
        break;
    case WM_CONTEXTMENU:
        if (PopupMenu != nullptr && reinterpret_cast<HWND>(wp) == hwnd_) {
            POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            if (lp == -1) {
                const RECT r = ClientRect();
                at = ClientToScreen({r.right / 2, r.bottom / 2});
            }
            PopupMenu->Popup(at.x, at.y, hwnd_);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (cursor_ != nullptr && reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(cursor_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CallDefault(msg, wp, lp);
}

bool TWinControl::KeyMessage(UINT msg, WPARAM& wp, LPARAM lp) {
    if (msg == WM_CHAR) {
        char key = static_cast<char>(wp);
        KeyPress(key);
        wp = static_cast<unsigned char>(key);
        return key == 0;
    }
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN)
        return false;
    WORD key = static_cast<WORD>(wp);
    KeyDown(key, ShiftFromKeyData(lp));
    wp = key;
    return key == 0;
}

bool TWinControl::Reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (!IsCtlColor(msg))
        return false;
    const COLORREF text = FontColor();
    HBRUSH brush = BackgroundBrush();
    if (text == clDefault && color_ == clDefault &&
        (parent_ == nullptr || parent_->BackgroundBrush() == nullptr))
        return false;
    auto* dc = reinterpret_cast<HDC>(wp);
    if (text != clDefault)
        SetTextColor(dc, text);
    if (brush == nullptr)
        brush = GetSysColorBrush(msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX ? COLOR_WINDOW
                                                                                     : COLOR_BTNFACE);
    LOGBRUSH info{};
    GetObjectA(brush, sizeof(info), &info);
    SetBkColor(dc, info.lbColor);
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
        SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(brush);
    return true;
}

HBRUSH TWinControl::BackgroundBrush() const {
    if (color_ != clDefault) {
        if (!brush_)
            brush_.Reset(CreateSolidBrush(color_));
        return brush_.Get();
    }
    return parent_ != nullptr ? parent_->BackgroundBrush() : nullptr;
}

void TWinControl::SetColor(COLORREF color) {
    if (color == color_)
        return;
    color_ = color;
    brush_.Reset();
    Invalidate();
}

void TWinControl::SetCursor(HCURSOR cursor) {
    cursor_ = cursor;
}

void TWinControl::AdjustClientRect(RECT&) const {}

void TWinControl::AlignedControls() {}

void TWinControl::Resized() {
    if (OnResize)
        OnResize(this);
}

void TWinControl::HandleDestroyed() {}

void TWinControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == PopupMenu)
        PopupMenu = nullptr;
}

void TWinControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TWinControl::Change() {
    if (!IsSilent() && OnChange)
        OnChange(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress)
        OnKeyPress(this, key);
}

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
        alignStamp_ = NextStamp();
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
    alignStamp_ = NextStamp();
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
    alignStamp_ = NextStamp();
    RecordAnchors();
    if (ParentWindow() != nullptr)
        RealignWindow(ParentWindow());
}

void TWinControl::SetAnchors(TAnchors anchors) {
    anchors_ = anchors;
    RecordAnchors();
}

int TWinControl::NextStamp() noexcept {
    static thread_local int stamp = 0;
    return ++stamp;
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
        aligned.clear();
        for (TWinControl* child : children)
            if (child->align_ == kind && child->hwnd_ != nullptr && child->Visible())
                aligned.push_back(child);
        // Controls keep their order along their side; of two at one place the one placed last
        // comes first.
        auto key = [kind](TWinControl* c) {
            const RECT r = c->BoundsRect();
            switch (kind) {
            case TAlign::alTop:
                return static_cast<int>(r.top);
            case TAlign::alBottom:
                return static_cast<int>(-r.bottom);
            case TAlign::alLeft:
                return static_cast<int>(r.left);
            case TAlign::alRight:
                return static_cast<int>(-r.right);
            default:
                return 0;
            }
        };
        std::stable_sort(aligned.begin(), aligned.end(), [&](TWinControl* a, TWinControl* b) {
            const int ka = key(a), kb = key(b);
            return ka != kb ? ka < kb : a->alignStamp_ > b->alignStamp_;
        });
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

bool TWinControl::Visible() const {
    return hwnd_ != nullptr && (placing_ || (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0);
}

void TWinControl::SetVisible(bool visible) {
    if (hwnd_ == nullptr || visible == Visible())
        return;
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    if (align_ != TAlign::alNone && ParentWindow() != nullptr)
        RealignWindow(ParentWindow());
}

bool TWinControl::Enabled() const {
    return hwnd_ != nullptr && IsWindowEnabled(hwnd_);
}

void TWinControl::SetEnabled(bool enabled) {
    if (hwnd_ != nullptr && enabled != Enabled())
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

std::string TWinControl::Text() const {
    if (hwnd_ == nullptr)
        return {};
    const int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void TWinControl::SetText(const std::string& text) {
    if (hwnd_ == nullptr || Text() == text)
        return;
    // Edits report WM_SETTEXT as a change under Wine: that is not the user's edit.
    Silently([&] { SetWindowTextA(hwnd_, text.c_str()); });
}

void TWinControl::SetHint(const std::string& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (hwnd_ != nullptr)
        SetControlHint(hwnd_, hint_);
}

TFont& TWinControl::Font() {
    if (!font_) {
        font_ = std::make_unique<TFont>(parent_ != nullptr ? parent_->Font() : TFont::DefaultGuiFont());
        font_->OnChange = [this] {
            parentFont_ = false;
            ApplyFont();
        };
    }
    return *font_;
}

void TWinControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_)
        return;
    parentFont_ = parentFont;
    if (!parentFont_)
        Font();
    ApplyFont();
}

HFONT TWinControl::FontHandle() const {
    if (!parentFont_ && font_)
        return font_->Handle();
    if (parent_ != nullptr)
        return parent_->FontHandle();
    static thread_local TFont gui = TFont::DefaultGuiFont();
    return gui.Handle();
}

COLORREF TWinControl::FontColor() const {
    if (!parentFont_ && font_)
        return font_->Color();
    return parent_ != nullptr ? parent_->FontColor() : clDefault;
}

void TWinControl::ApplyFont() {
    if (hwnd_ == nullptr)
        return;
    // Each WM_SETFONT makes a control measure and redraw itself again (a label resizes); what
    // is not on screen yet is painted whole when it is shown.
    const HFONT font = FontHandle();
    if (font != windowFont_)
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), LayoutHeld() ? FALSE : TRUE);
    for (TWinControl* child : children_)
        if (child->parentFont_)
            child->ApplyFont();
}

void TWinControl::SetFocus() {
    if (hwnd_ != nullptr)
        ::SetFocus(hwnd_);
}

bool TWinControl::Focused() const {
    const HWND focus = GetFocus();
    return hwnd_ != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus));
}

bool TWinControl::CanFocus() const {
    if (hwnd_ == nullptr)
        return false;
    for (HWND h = hwnd_; h != nullptr; h = GetParent(h))
        if (!IsWindowVisible(h) || !IsWindowEnabled(h))
            return false;
    return true;
}

void TWinControl::Invalidate() {
    if (hwnd_ != nullptr)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::Repaint() {
    if (hwnd_ != nullptr)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

POINT TWinControl::ClientToScreen(POINT point) const {
    if (hwnd_ != nullptr)
        ::ClientToScreen(hwnd_, &point);
    return point;
}

POINT TWinControl::ScreenToClient(POINT point) const {
    if (hwnd_ != nullptr)
        ::ScreenToClient(hwnd_, &point);
    return point;
}

std::vector<TPublishedProperty> TWinControl::PublishedProperties() {
    std::vector<TPublishedProperty> properties = TComponent::PublishedProperties();
    properties.push_back(IntegerProperty(
        "Left", [this] { return Left(); }, [this](int v) { SetLeft(v); }));
    properties.push_back(IntegerProperty(
        "Top", [this] { return Top(); }, [this](int v) { SetTop(v); }));
    properties.push_back(IntegerProperty(
        "Width", [this] { return Width(); }, [this](int v) { SetWidth(v); }));
    properties.push_back(IntegerProperty(
        "Height", [this] { return Height(); }, [this](int v) { SetHeight(v); }));
    properties.push_back(IntegerProperty(
        "ClientWidth", [this] { return ClientWidth(); },
        [this](int v) { SetClientSize(v, ClientHeight()); }));
    properties.push_back(IntegerProperty(
        "ClientHeight", [this] { return ClientHeight(); },
        [this](int v) { SetClientSize(ClientWidth(), v); }));
    properties.push_back(BooleanProperty(
        "Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); }));
    properties.push_back(BooleanProperty(
        "Enabled", [this] { return Enabled(); }, [this](bool v) { SetEnabled(v); }));
    properties.push_back(StringProperty(
        "Hint", [this] { return hint_; }, [this](const std::string& v) { SetHint(v); }));
    properties.push_back(StringProperty(
        "Text", [this] { return Text(); }, [this](const std::string& v) { SetText(v); }));
    return properties;
}
