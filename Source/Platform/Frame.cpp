#include "Frame.h"

#include "Errors.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr char kFrameClass[] = "GLZ_Frame";
constexpr char kParkingClass[] = "GLZ_FrameParking";

ATOM RegisterClassOnce(const char* name, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    const ATOM atom = RegisterClassExA(&wc);
    if (atom == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("RegisterClassEx failed: ") + name);
    return atom;
}

// Frames without a host live here; one hidden window per thread that made frames.
HWND ParkingWindow() {
    static thread_local struct Parking {
        HWND hwnd = nullptr;
        ~Parking() {
            if (hwnd != nullptr && IsWindow(hwnd))
                DestroyWindow(hwnd);
        }
    } parking;
    if (parking.hwnd == nullptr || !IsWindow(parking.hwnd)) {
        RegisterClassOnce(kParkingClass, DefWindowProcA);
        parking.hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kParkingClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
        if (parking.hwnd == nullptr)
            throw Exception("Parking window could not be created");
    }
    return parking.hwnd;
}

} // namespace

TFrame::TFrame() {
    RegisterClassOnce(kFrameClass, StaticProc);
    hwnd_ =
        CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                        0, 100, MinHeight, ParkingWindow(), nullptr, GetModuleHandleA(nullptr), this);
    if (hwnd_ == nullptr)
        throw Exception("Frame window could not be created");
}

TFrame::~TFrame() {
    ReleaseHost();
    if (hwnd_ != nullptr) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void TFrame::SetParent(HWND host) {
    ReleaseHost();
    if (host != nullptr && !SetWindowSubclass(host, HostProc, reinterpret_cast<UINT_PTR>(this),
                                              reinterpret_cast<DWORD_PTR>(this)))
        throw Exception("Frame host could not be subclassed");
    host_ = host;
    ::SetParent(hwnd_, host != nullptr ? host : ParkingWindow());
    FillHost();
}

void TFrame::SetVisible(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void TFrame::FillHost() noexcept {
    if (host_ == nullptr)
        return;
    RECT r{};
    GetClientRect(host_, &r);
    MoveWindow(hwnd_, 0, 0, r.right, std::max<LONG>(r.bottom, MinHeight), TRUE);
}

void TFrame::ReleaseHost() noexcept {
    if (host_ != nullptr)
        RemoveWindowSubclass(host_, HostProc, reinterpret_cast<UINT_PTR>(this));
    host_ = nullptr;
}

LRESULT TFrame::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK TFrame::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        static_cast<TFrame*>(create->lpCreateParams)->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TFrame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd_ != hwnd)
        return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // Destroyed with its host: nothing is left to destroy later.
        self->ReleaseHost();
        self->hwnd_ = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    try {
        return self->WndProc(msg, wp, lp);
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
        return 0;
    }
}

LRESULT CALLBACK TFrame::HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                  DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<TFrame*>(data);
    if (msg == WM_SIZE)
        self->FillHost();
    else if (msg == WM_NCDESTROY)
        self->ReleaseHost();
    return DefSubclassProc(hwnd, msg, wp, lp);
}
