// Windows to drag the window picker over, in a process of their own: two framed windows of
// the class "GlzPickTarget" with a child each, and a dialog with a button. They stand in the
// right half of the screen, one below the other; closing any of them ends the program.
#include <windows.h>

namespace {

LRESULT CALLBACK TargetProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_ERASEBKGND) {
        // A plain white client makes inverted pixels easy to tell.
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

HWND Target(const char* caption, int top) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, "GlzPickTarget", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, top,
                                  300, 150, nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 10, 10, 100, 40, window, nullptr, instance,
                    nullptr);
    return window;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA c{};
    c.lpfnWndProc = TargetProc;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    c.lpszClassName = "GlzPickTarget";
    RegisterClassA(&c);
    Target("Pick target one", 40);
    Target("Pick target two", 220);
    HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "Pick dialog",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 600, 400, 300, 150,
                                  nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 200, 60, dialog,
                    reinterpret_cast<HMENU>(IDOK), instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE || (msg.message == WM_COMMAND && msg.hwnd == dialog))
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
