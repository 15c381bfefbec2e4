#include "WinFuncs.h"

#include <vector>

std::string GetWindowClassName(HWND window) {
    char buffer[255];
    const int copied = GetClassNameA(window, buffer, sizeof buffer);
    return copied > 0 ? std::string(buffer, copied) : std::string();
}

std::string GetWindowCaption(HWND window) {
    // Read from what the window system keeps, never by a message: the resident program asks
    // from its server thread, and a hung or busy window thread would hold up every client.
    std::vector<wchar_t> wide(256);
    int copied = 0;
    for (;;) {
        copied = InternalGetWindowText(window, wide.data(), static_cast<int>(wide.size()));
        if (copied < static_cast<int>(wide.size()) - 1 || wide.size() >= 65536)
            break;
        wide.resize(wide.size() * 2);
    }
    if (copied <= 0)
        return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), copied, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), copied, text.data(), length, nullptr, nullptr);
    return text;
}
