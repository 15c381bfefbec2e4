// A host program: creates one top-level window per argument "A:Class" (ANSI class) or
// "W:Class" (Unicode class), each with a child window, and answers questions sent to them.
#include <windows.h>

#include <string>

namespace {

// wParam 0: is glzemb loaded here; 1: the window's own procedure still answers (1);
// 2: create one more window of this window's class and return it.
constexpr UINT QueryMessage = WM_APP + 100;
constexpr UINT ProbeReply = 0x600D;

HWND CreateLike(HWND window);

LRESULT Answer(HWND window, WPARAM what) {
    switch (what) {
    case 0:
        return GetModuleHandleA("glzemb.dll") != nullptr ? 1 : 0;
    case 1:
        return ProbeReply;
    case 2:
        return reinterpret_cast<LRESULT>(CreateLike(window));
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
        if (arg.size() > 2 && arg[1] == ':')
            Create(arg[0] == 'W', arg.substr(2));
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
