#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Exact: the whole text equals value. Otherwise value occurs anywhere in the text.
// Both case-sensitive.
bool CaptionMatches(const std::string& text, const std::string& value, bool exact) noexcept;

// The two things matching looks at, each read from the window at most once: for another
// process's window every read is a round trip to the window server.
class TWindowProperties {
public:
    explicit TWindowProperties(HWND window) noexcept : window_(window) {}

    HWND Window() const noexcept { return window_; }
    // At most 254 characters take part.
    const std::string& ClassName();
    const std::string& Caption();

private:
    HWND window_;
    std::optional<std::string> className_;
    std::optional<std::string> caption_;
};
