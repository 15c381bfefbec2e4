#include "TestWindows.h"

#include <stdexcept>

TestWindow::TestWindow(const std::string& className, const std::string& caption) : className_(className) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className_.c_str();
    if (RegisterClassA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("RegisterClassA failed for " + className_);
    window_ = CreateWindowExA(0, className_.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("CreateWindowExA failed for " + className_ + ": " +
                                 std::to_string(GetLastError()));
}

TestWindow::~TestWindow() {
    DestroyWindow(window_);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}
