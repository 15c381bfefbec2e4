#include "EAWinFuncs.h"

#include <string>

namespace {

using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// The module handle is freed on every path.
class TModule {
public:
    explicit TModule(const char* name) : module_(LoadLibraryA(name)) {}
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;
    ~TModule() {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    FARPROC Find(const char* name) const { return module_ ? GetProcAddress(module_, name) : nullptr; }

private:
    HMODULE module_;
};

LONG_PTR ExStyle(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

std::string ClassName(HWND window) {
    char name[255] = {};
    const int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

} // namespace

TLayeredState CaptureLayeredState(HWND window) {
    TLayeredState state;
    state.Layered = (ExStyle(window) & WS_EX_LAYERED) != 0;
    if (state.Layered)
        state.HasAttributes = GetLayeredWindowAttributes(window, &state.Key, &state.Alpha, &state.Flags) != 0;
    return state;
}

bool SetWindowAlphaPercent(HWND window, int percent) {
    const TModule user32("user32.dll");
    const auto setLayered =
        reinterpret_cast<SetLayeredFn>(reinterpret_cast<void*>(user32.Find("SetLayeredWindowAttributes")));
    if (setLayered == nullptr)
        return false;
    // A hand-written level outside 0..100 would wrap the byte to an all but invisible window.
    const int clamped = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    const auto alpha = static_cast<BYTE>(clamped * 255 / 100);
    const LONG_PTR style = ExStyle(window);
    if ((style & WS_EX_LAYERED) == 0)
        SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    setLayered(window, 0, alpha, LWA_ALPHA);
    if (ClassName(window) == "BaseBar")
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                         RDW_FRAME);
    return true;
}

void RemoveWindowAlpha(HWND window, const TLayeredState& before) {
    if (before.Layered) {
        // The host layered it itself: give back its attributes, or at least full opacity.
        if (before.HasAttributes && before.Flags != 0)
            SetLayeredWindowAttributes(window, before.Key, before.Alpha, before.Flags);
        else
            SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
        const LONG_PTR style = ExStyle(window);
        if ((style & WS_EX_LAYERED) == 0)
            SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
        return;
    }
    if ((ExStyle(window) & WS_EX_LAYERED) != 0)
        SetWindowAlphaPercent(window, 100);
    SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}
