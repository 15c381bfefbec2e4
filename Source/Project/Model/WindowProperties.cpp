#include "WindowProperties.h"

#include <vector>

std::string ReadWindowClassName(HWND window) {
    char buffer[255];
    const int copied = GetClassNameA(window, buffer, sizeof buffer);
    return copied > 0 ? std::string(buffer, static_cast<size_t>(copied)) : std::string();
}

std::string ReadWindowCaption(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return copied > 0 ? std::string(buffer.data(), static_cast<size_t>(copied)) : std::string();
}

bool CaptionMatches(const std::string& text, const std::string& value, bool exact) noexcept {
    return exact ? text == value : text.find(value) != std::string::npos;
}
