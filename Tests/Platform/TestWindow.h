#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <stdexcept>

// A visible top-level window for tests that need a real parent, destroyed with the object.
class TTestWindow {
public:
    TTestWindow(int width = 400, int height = 300) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "GLZ_TestHost";
        RegisterClassExA(&wc);
        hwnd_ = CreateWindowExA(0, "GLZ_TestHost", "Test host",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, width, height,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (hwnd_ == nullptr)
            throw std::runtime_error("test window");
    }
    ~TTestWindow() {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    TTestWindow(const TTestWindow&) = delete;
    TTestWindow& operator=(const TTestWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// Dispatches this thread's messages until done() holds or the time limit passes.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    MSG msg;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
