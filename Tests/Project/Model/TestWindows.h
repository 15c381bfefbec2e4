#pragma once

#include <windows.h>

#include <string>

// A real top-level window of a given class name and caption, for matching tests.
class TestWindow {
public:
    TestWindow(const std::string& className, const std::string& caption);
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();
    HWND Handle() const noexcept { return window_; }

private:
    std::string className_;
    HWND window_ = nullptr;
};
