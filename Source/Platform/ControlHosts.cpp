#include "ControlHosts.h"

#include "Errors.h"
#include "MessageDispatch.h"

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
