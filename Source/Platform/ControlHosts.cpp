#include "ControlHosts.h"

#include "Errors.h"
#include "WindowClasses.h"

namespace {

constexpr char kParkingClass[] = "GLZ_Parking";

// Common controls send their notifications to the window they were made in, wherever they
// move later: the parking window passes them back to their controls too.
LRESULT CALLBACK ParkingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    LRESULT result = 0;
    if (TWinControl::ReflectToChild(msg, wp, lp, result))
        return result;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

HWND ParkingWindow() {
    static thread_local struct Parking {
        HWND hwnd = nullptr;
        ~Parking() {
            if (hwnd != nullptr && IsWindow(hwnd))
                DestroyWindow(hwnd);
        }
    } parking;
    if (parking.hwnd == nullptr || !IsWindow(parking.hwnd))
        parking.hwnd = CreateHiddenWindow(kParkingClass, ParkingProc, "");
    return parking.hwnd;
}

namespace {

// Every host is served alike: it passes notifications back and lays its controls out again.
class THostWatcher final : public TWindowWatcher {
public:
    LRESULT WatchedMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept override {
        LRESULT result = 0;
        if (TWinControl::ReflectToChild(msg, wp, lp, result))
            return result;
        result = CallPrevious(hwnd, msg, wp, lp);
        if (msg == WM_SIZE) {
            try {
                RealignWindow(hwnd);
            } catch (...) {
                HandleException();
            }
        }
        return result;
    }
};

THostWatcher hostWatcher;

} // namespace

std::vector<TWinControl*> LayerChildrenOf(HWND parent) {
    std::vector<TWinControl*> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (TWinControl* control = TWinControl::FromHandle(child))
            children.push_back(control);
    return children;
}

void AttachHost(HWND host) {
    if (!WatchWindow(host, &hostWatcher))
        throw Exception("The host window could not be subclassed");
}

void RealignWindow(HWND window) {
    if (TWinControl* layer = TWinControl::FromHandle(window)) {
        layer->Realign();
        return;
    }
    RECT area{};
    GetClientRect(window, &area);
    TWinControl::AlignControls({area.right, area.bottom}, area, LayerChildrenOf(window));
}
