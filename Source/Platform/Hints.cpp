#include "Hints.h"

#include <commctrl.h>

namespace {

class THintWindow {
public:
    ~THintWindow() {
        if (hwnd_ != nullptr && IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    void Set(HWND control, const std::string& text) {
        if (Handle() == nullptr)
            return;
        TTTOOLINFOA info = Info(control);
        SendMessageA(hwnd_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        if (text.empty())
            return;
        info.lpszText = const_cast<char*>(text.c_str());
        SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
    void Relay(HWND control, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        if (hwnd_ == nullptr)
            return;
        MSG message{control, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
        const DWORD at = GetMessagePos();
        message.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        SendMessageA(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    }
    void Remove(HWND control) noexcept {
        if (hwnd_ == nullptr || !IsWindow(hwnd_))
            return;
        TTTOOLINFOA info = Info(control);
        SendMessageA(hwnd_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }

private:
    static TTTOOLINFOA Info(HWND control) noexcept {
        TTTOOLINFOA info{};
        info.cbSize = sizeof(info);
        // Not subclassed by the tooltip (under Wine that costs a server round trip for every
        // message of the control): the controls relay their mouse messages.
        info.uFlags = TTF_IDISHWND;
        // The control itself, not its parent: the tool stays the same when it moves.
        info.hwnd = control;
        info.uId = reinterpret_cast<UINT_PTR>(control);
        return info;
    }
    HWND Handle() {
        if (hwnd_ == nullptr || !IsWindow(hwnd_)) {
            hwnd_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr),
                                    nullptr);
            if (hwnd_ != nullptr)
                SendMessageA(hwnd_, TTM_SETMAXTIPWIDTH, 0, 400);
        }
        return hwnd_;
    }
    HWND hwnd_ = nullptr;
};

THintWindow& Hints() {
    static thread_local THintWindow hints;
    return hints;
}

} // namespace

void SetControlHint(HWND control, const std::string& text) {
    Hints().Set(control, text);
}

void RelayHintMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    Hints().Relay(control, msg, wp, lp);
}

void RemoveControlHint(HWND control) noexcept {
    Hints().Remove(control);
}
