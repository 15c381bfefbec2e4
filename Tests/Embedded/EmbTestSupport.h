#pragma once

#include <windows.h>

// Waits for a condition with a time limit, delivering this thread's messages meanwhile.
template <class Condition> bool WaitUntil(Condition condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return true;
}

// The mouse at the window's centre reaches the window rather than what lies beneath it.
inline bool MouseReaches(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return GetAncestor(WindowFromPoint(centre), GA_ROOT) == window;
}

// The window is layered with the colour key Key and nothing else, as a host may layer itself.
inline bool LayeredByColourKey(HWND window, COLORREF key) {
    COLORREF found = 0;
    DWORD flags = 0;
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
           GetLayeredWindowAttributes(window, &found, nullptr, &flags) && found == key &&
           flags == LWA_COLORKEY;
}
