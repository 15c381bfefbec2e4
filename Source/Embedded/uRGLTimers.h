#pragma once

#include <windows.h>

#include <functional>

// A timer on a hidden window of its own (class "TPUtilWindow"), on the creating thread.
class TTimer {
public:
    using TNotifyEvent = std::function<void(TTimer& sender)>;

    TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;
    virtual ~TTimer();

    bool Enabled() const noexcept { return enabled_; }
    int Interval() const noexcept { return interval_; }
    HWND Window() const noexcept { return window_; }
    void SetEnabled(bool value);
    void SetInterval(int value);
    void SetOnTimer(TNotifyEvent handler);

protected:
    virtual void Timer();

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    void UpdateTimer();

    int interval_ = 1000;
    bool enabled_ = false;
    HWND window_ = nullptr;
    TNotifyEvent onTimer_;
};
