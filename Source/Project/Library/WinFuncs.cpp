#include "WinFuncs.h"

#include <vector>

std::string GetWindowClassName(HWND window) {
    char buffer[255];
    const int copied = GetClassNameA(window, buffer, sizeof buffer);
    return copied > 0 ? std::string(buffer, copied) : std::string();
}

std::string GetWindowCaption(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return copied > 0 ? std::string(buffer.data(), copied) : std::string();
}
