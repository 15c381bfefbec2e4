#include "WindowClasses.h"

#include "Errors.h"
#include "MessageDispatch.h"

#include <unordered_set>

namespace {

// Dialog ids from here on: 1 and 2 are IDOK and IDCANCEL, which IsDialogMessage sends itself.
constexpr int kFirstControlId = 1000;

} // namespace

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

HWND CreateHiddenWindow(const char* className, WNDPROC procedure, const std::string& title) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("RegisterClassEx failed: ") + className);
    const HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, className, title.c_str(), WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr)
        throw Exception(std::string("Hidden window could not be created: ") + className);
    return hwnd;
}
