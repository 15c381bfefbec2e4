#include "MessageDispatch.h"

#include "Controls.h"
#include "Hints.h"
#include "Menus.h"
#include "WindowMap.h"

bool IsCtlColor(UINT msg) noexcept {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

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

// The window procedures reach the private members through this.
struct TLayerAccess {
    static void Bind(TWinControl* control, HWND hwnd) noexcept { control->Bind(hwnd); }
};

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

WNDPROC GetWindowProcedure(HWND hwnd, bool unicode) noexcept {
    return reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(hwnd, GWLP_WNDPROC)
                                             : GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

bool SetWindowProcedure(HWND hwnd, WNDPROC procedure, bool unicode) noexcept {
    const auto value = reinterpret_cast<LONG_PTR>(procedure);
    SetLastError(0);
    const LONG_PTR previous =
        unicode ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, value) : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, value);
    return previous != 0 || GetLastError() == 0;
}

LRESULT CallWindowProcedure(WNDPROC procedure, bool unicode, HWND hwnd, UINT msg, WPARAM wp,
                            LPARAM lp) noexcept {
    if (procedure == nullptr)
        return unicode ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
    return unicode ? CallWindowProcW(procedure, hwnd, msg, wp, lp)
                   : CallWindowProcA(procedure, hwnd, msg, wp, lp);
}

LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    const TWindowMap::TEntry entry = WindowMap().Find(hwnd);
    if (entry.Control != nullptr)
        return entry.Control->Dispatch(msg, wp, lp);
    if (entry.Watcher != nullptr) {
        const LRESULT result = entry.Watcher->WatchedMessage(hwnd, msg, wp, lp);
        // No message comes after this one: the watcher must not outlive it in the map.
        if (msg == WM_NCDESTROY)
            UnwatchWindow(hwnd);
        return result;
    }
    if (msg == WM_NCDESTROY)
        WindowMap().Remove(hwnd);
    return CallWindowProcedure(entry.Previous, entry.Unicode, hwnd, msg, wp, lp);
}

bool WatchWindow(HWND hwnd, TWindowWatcher* watcher) noexcept {
    if (hwnd == nullptr || watcher == nullptr)
        return false;
    const TWindowMap::TEntry entry = WindowMap().Find(hwnd);
    if (entry.Control != nullptr)
        return false;
    if (entry.Watcher == watcher)
        return true;
    if (entry.Previous != nullptr && GetWindowProcedure(hwnd, entry.Unicode) == ControlSubclassProc) {
        // Ours already (an earlier watcher left it, or is being replaced): only the watcher changes.
        WindowMap().Set(hwnd, {nullptr, entry.Previous, watcher, entry.Unicode});
        return true;
    }
    const bool unicode = IsWindowUnicode(hwnd) != FALSE;
    // Known before the first message reaches the new procedure.
    WindowMap().Set(hwnd, {nullptr, GetWindowProcedure(hwnd, unicode), watcher, unicode});
    if (!SetWindowProcedure(hwnd, ControlSubclassProc, unicode)) {
        WindowMap().Remove(hwnd);
        return false;
    }
    return true;
}

void UnwatchWindow(HWND hwnd) noexcept {
    const TWindowMap::TEntry entry = WindowMap().Find(hwnd);
    if (entry.Watcher == nullptr)
        return;
    if (GetWindowProcedure(hwnd, entry.Unicode) == ControlSubclassProc) {
        SetWindowProcedure(hwnd, entry.Previous, entry.Unicode);
        WindowMap().Remove(hwnd);
    } else {
        // A procedure subclassed over ours still calls it, to pass the messages on.
        WindowMap().Orphan(hwnd);
    }
}

LRESULT CallPrevious(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    const TWindowMap::TEntry entry = WindowMap().Find(hwnd);
    return CallWindowProcedure(entry.Previous, entry.Unicode, hwnd, msg, wp, lp);
}

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

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCDESTROY) {
        const HWND hwnd = hwnd_;
        const WNDPROC previous = previousProc_;
        const bool unicode = unicode_;
        Unbind();
        WindowMap().Remove(hwnd); // no message comes after this one
        try {
            HandleDestroyed();
        } catch (...) {
            HandleException();
        }
        return CallWindowProcedure(previous, unicode, hwnd, msg, wp, lp);
    }
    // While the control or what holds it is being destroyed, its handlers may point into
    // objects that are half gone: the window only gets its default handling. Its children's
    // notifications still go back to them: a tree that goes with it reports each deleted item.
    if (InDestruction()) {
        LRESULT result = 0;
        if (ReflectToChild(msg, wp, lp, result))
            return result;
        return CallDefault(msg, wp, lp);
    }
    try {
        return WndProc(msg, wp, lp);
    } catch (...) {
        HandleException();
        return 0;
    }
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
        // The handlers deal in the keys of ASCII (Enter); a character of any other script goes
        // to the control whole, as a Unicode window gets it.
        if (wp > 0x7F)
            return false;
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
