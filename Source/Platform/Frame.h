#pragma once

#include <windows.h>

// A child window that holds controls designed as a unit and fills its parent's client area.
// Until it is placed into a host it waits, hidden, in a parking window of the thread.
class TFrame {
public:
    TFrame();
    virtual ~TFrame();
    TFrame(const TFrame&) = delete;
    TFrame& operator=(const TFrame&) = delete;

    HWND Handle() const noexcept { return hwnd_; }

    // Places the frame into host (null: back to the parking window) and fills it.
    void SetParent(HWND host);
    HWND Parent() const noexcept { return host_; }
    void SetVisible(bool visible);

    static constexpr int MinHeight = 20;

protected:
    // Messages of the frame's window; controls send their notifications here.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    void FillHost() noexcept;
    void ReleaseHost() noexcept;

    HWND hwnd_ = nullptr;
    HWND host_ = nullptr;
};
