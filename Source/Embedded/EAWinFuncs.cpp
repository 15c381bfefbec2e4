#include "EAWinFuncs.h"

#include "Handles.h"
#include "WinFuncs.h"

#include <map>
#include <string>

namespace {

using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

LONG_PTR ExStyle(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

bool IsLayered(HWND window) {
    return (ExStyle(window) & WS_EX_LAYERED) != 0;
}

// Style first, then attributes: a layered window without attributes is not drawn.
void MakeLayeredOpaque(HWND window) {
    SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
}

struct TLayeringHold {
    int Holds = 0;
    TLayeredState Before;
};

// Actions of windows on different threads reach the table at the same time. The lock is never
// held while a window is restyled: that sends the window messages, and handlers may act again.
class TLayeringHolds {
public:
    // True when this first hold found the window without layering.
    bool Hold(HWND window) {
        const SlimLock lock(lock_);
        TLayeringHold& hold = holds_[window];
        if (hold.Holds++ > 0)
            return false;
        hold.Before = CaptureLayeredState(window);
        return !hold.Before.Layered;
    }
    TLayeredState Before(HWND window) {
        const SlimLock lock(lock_);
        const auto found = holds_.find(window);
        return found != holds_.end() ? found->second.Before : CaptureLayeredState(window);
    }
    // True when this was the last hold on a window that we made layered.
    bool Release(HWND window) {
        const SlimLock lock(lock_);
        const auto found = holds_.find(window);
        if (found == holds_.end() || --found->second.Holds > 0)
            return false;
        const bool ours = !found->second.Before.Layered;
        holds_.erase(found);
        return ours;
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::map<HWND, TLayeringHold> holds_;
};

TLayeringHolds& Holds() {
    static TLayeringHolds holds;
    return holds;
}

} // namespace

TLayeredState CaptureLayeredState(HWND window) {
    TLayeredState state;
    state.Layered = IsLayered(window);
    if (state.Layered)
        state.HasAttributes = GetLayeredWindowAttributes(window, &state.Key, &state.Alpha, &state.Flags) != 0;
    return state;
}

bool SetWindowAlphaPercent(HWND window, int percent) {
    const UniqueModule user32(LoadLibraryA("user32.dll"));
    if (!user32)
        return false;
    const auto setLayered = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(GetProcAddress(user32.Get(), "SetLayeredWindowAttributes")));
    if (setLayered == nullptr)
        return false;
    // A hand-written level outside 0..100 would wrap the byte to an all but invisible window.
    const int usable = percent < 0 || percent > 100 ? 100 : percent;
    const auto alpha = static_cast<BYTE>(usable * 255 / 100);
    const LONG_PTR style = ExStyle(window);
    if ((style & WS_EX_LAYERED) == 0)
        SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    setLayered(window, 0, alpha, LWA_ALPHA);
    if (GetWindowClassName(window) == "BaseBar")
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                         RDW_FRAME);
    return true;
}

void HoldLayering(HWND window) {
    if (Holds().Hold(window))
        MakeLayeredOpaque(window);
}

void RestoreLayeredAttributes(HWND window) {
    if (!IsLayered(window))
        return; // the host dropped the layering meanwhile: nothing of ours is left
    const TLayeredState before = Holds().Before(window);
    if (before.Layered && before.HasAttributes && before.Flags != 0)
        SetLayeredWindowAttributes(window, before.Key, before.Alpha, before.Flags);
    else
        SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
}

void ReleaseLayering(HWND window) {
    if (Holds().Release(window) && IsLayered(window))
        SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}
