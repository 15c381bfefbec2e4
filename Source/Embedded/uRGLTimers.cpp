#include "uRGLTimers.h"

#include "EARoutines.h"

#include <mutex>

namespace {

constexpr char UtilWindowClass[] = "TPUtilWindow";
constexpr UINT_PTR TimerId = 1;

} // namespace

TTimer::TTimer() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = &TTimer::WndProc;
        cls.hInstance = ThisModule();
        cls.lpszClassName = UtilWindowClass;
        RegisterClassA(&cls);
    });
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, UtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              ThisModule(), nullptr);
    if (window_ != nullptr)
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
    enabled_ = false;
    if (window_ == nullptr)
        return;
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    if (GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId()) {
        KillTimer(window_, TimerId);
        DestroyWindow(window_);
    } else {
        // Only the window's own thread can stop its timer and destroy it.
        PostMessageA(window_, WM_CLOSE, 0, 0);
    }
}

void TTimer::SetEnabled(bool value) {
    if (value != enabled_) {
        enabled_ = value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(int value) {
    if (value != interval_) {
        interval_ = value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TTimer::Timer() {
    if (onTimer_)
        onTimer_(*this);
}

void TTimer::UpdateTimer() {
    if (window_ == nullptr)
        return;
    KillTimer(window_, TimerId);
    if (interval_ != 0 && enabled_ && onTimer_)
        SetTimer(window_, TimerId, static_cast<UINT>(interval_), nullptr);
}

LRESULT CALLBACK TTimer::WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_TIMER) {
        Guarded("TTimer.WndProc", [window] {
            if (auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
                timer->Timer();
        });
        return 0;
    }
    if (msg == WM_CLOSE && GetWindowLongPtrA(window, GWLP_USERDATA) == 0) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
