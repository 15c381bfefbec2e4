// A host program: creates one top-level window per argument "A:Class" (ANSI class), "W:Class"
// (Unicode class) or "L:Class" (ANSI class, layered by the host itself with the colour key
// RGB(1, 2, 3) before any message is taken), each with a child window, and answers questions
// sent to them.
#include <windows.h>

#include <string>

namespace {

// wParam 0: is glzemb loaded here; 1: the window's own procedure still answers (1);
// 2: create one more window of this window's class and return it; 3: the window's procedure
// is its class's own (1); 4: the host subclasses the window itself; 5: calls through that
// subclassing so far; 6: create 100 more windows of this class at once.
// On a Unicode window the procedure is read with the W variant, as the system defines.
constexpr UINT QueryMessage = WM_APP + 100;
constexpr UINT ProbeReply = 0x600D;

HWND CreateLike(HWND window);

WNDPROC hostOld = nullptr;
LRESULT hostCalls = 0;

LRESULT CALLBACK HostProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++hostCalls;
    return CallWindowProcA(hostOld, window, msg, wParam, lParam);
}

LRESULT ProcIsOriginal(HWND window) {
    const bool unicode = IsWindowUnicode(window) != FALSE;
    const LONG_PTR proc =
        unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
    const ULONG_PTR own =
        unicode ? GetClassLongPtrW(window, GCLP_WNDPROC) : GetClassLongPtrA(window, GCLP_WNDPROC);
    return static_cast<ULONG_PTR>(proc) == own ? 1 : 0;
}

LRESULT Answer(HWND window, WPARAM what) {
    switch (what) {
    case 0:
        return GetModuleHandleA("glzemb.dll") != nullptr ? 1 : 0;
    case 1:
        return ProbeReply;
    case 2:
        return reinterpret_cast<LRESULT>(CreateLike(window));
    case 3:
        return ProcIsOriginal(window);
    case 4:
        hostOld = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostProcA)));
        return 1;
    case 5:
        return hostCalls;
    case 6: {
        int created = 0;
        for (int i = 0; i < 100; ++i)
            created += CreateLike(window) != nullptr ? 1 : 0;
        return created;
    }
    default:
        return 0;
    }
}

LRESULT CALLBACK ProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == QueryMessage)
        return Answer(window, wParam);
    return DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT CALLBACK ProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == QueryMessage)
        return Answer(window, wParam);
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND Create(bool unicode, const std::string& name) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = nullptr;
    if (unicode) {
        std::wstring wide(name.begin(), name.end());
        WNDCLASSW c{};
        c.lpfnWndProc = ProcW;
        c.hInstance = instance;
        c.lpszClassName = wide.c_str();
        RegisterClassW(&c);
        window = CreateWindowExW(0, wide.c_str(), wide.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                 nullptr, nullptr, instance, nullptr);
    } else {
        WNDCLASSA c{};
        c.lpfnWndProc = ProcA;
        c.hInstance = instance;
        c.lpszClassName = name.c_str();
        RegisterClassA(&c);
        window = CreateWindowExA(0, name.c_str(), name.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                 nullptr, nullptr, instance, nullptr);
    }
    if (window != nullptr)
        CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window, nullptr, instance,
                        nullptr);
    return window;
}

HWND CreateLike(HWND window) {
    char name[256];
    const int length = GetClassNameA(window, name, sizeof(name));
    return Create(IsWindowUnicode(window) != FALSE, std::string(name, length > 0 ? length : 0));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    for (int i = 1; i < __argc; ++i) {
        const std::string arg = __argv[i];
        if (arg.size() <= 2 || arg[1] != ':')
            continue;
        HWND window = Create(arg[0] == 'W', arg.substr(2));
        if (arg[0] == 'L' && window != nullptr) {
            SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
            SetLayeredWindowAttributes(window, RGB(1, 2, 3), 0, LWA_COLORKEY);
        }
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
