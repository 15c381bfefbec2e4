#include "ComCtrls.h"

#include "StdCtrls.h"

#include <commctrl.h>

namespace {

void InitClasses(DWORD classes) {
    INITCOMMONCONTROLSEX init{sizeof(init), classes};
    InitCommonControlsEx(&init);
}

} // namespace

TTrackBar::TTrackBar(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TTrackBar");
    InitClasses(ICC_BAR_CLASSES);
    CreateSystemWindow(parent, TRACKBAR_CLASSA,
                       WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, 0, 150, 45);
    SetRange(0, 10);
}

void TTrackBar::SetRange(int min, int max) {
    Silently([&] {
        SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, min);
        SendMessageA(Handle(), TBM_SETRANGEMAX, TRUE, max);
    });
    lastPosition_ = Position();
}

int TTrackBar::Position() const {
    return static_cast<int>(SendMessageA(Handle(), TBM_GETPOS, 0, 0));
}

void TTrackBar::SetPosition(int position) {
    Silently([&] { SendMessageA(Handle(), TBM_SETPOS, TRUE, position); });
    lastPosition_ = Position();
}

void TTrackBar::SetFrequency(int frequency) {
    SendMessageA(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
}

void TTrackBar::SetTickMarks(TTickMark marks) {
    LONG_PTR style =
        GetWindowLongPtrA(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(TBS_TOP | TBS_BOTTOM | TBS_BOTH);
    style |= marks == TTickMark::tmBoth ? TBS_BOTH : marks == TTickMark::tmTopLeft ? TBS_TOP : TBS_BOTTOM;
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
    Invalidate();
}

bool TTrackBar::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_HSCROLL || msg == WM_VSCROLL) {
        // Several notifications come for one move; only a new position is a change.
        const int position = Position();
        if (position != lastPosition_) {
            lastPosition_ = position;
            Change();
        }
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

TUpDown::TUpDown(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TUpDown");
    InitClasses(ICC_UPDOWN_CLASS);
    CreateSystemWindow(parent, UPDOWN_CLASSA, WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                       0, 12, 21);
    SetRange(0, 100);
}

void TUpDown::SetAssociate(TEdit* edit) {
    if (associate_ != nullptr)
        RemoveFreeNotification(associate_);
    associate_ = edit;
    const int position = Position();
    SendMessageA(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit != nullptr ? edit->Handle() : nullptr),
                 0);
    if (edit != nullptr) {
        FreeNotification(edit);
        SetPosition(position);
    }
}

void TUpDown::SetRange(int min, int max) {
    SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min), max);
}

void TUpDown::SetIncrement(int increment) {
    UDACCEL accel{0, static_cast<UINT>(increment)};
    SendMessageA(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::SetWrap(bool wrap) {
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    style = wrap ? style | UDS_WRAP : style & ~static_cast<LONG_PTR>(UDS_WRAP);
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
}

int TUpDown::Position() const {
    return static_cast<int>(SendMessageA(Handle(), UDM_GETPOS32, 0, 0));
}

void TUpDown::SetPosition(int position) {
    // Wine's edit reports the text that the arrows write as a change: hold the edit back too.
    auto set = [&] { Silently([&] { SendMessageA(Handle(), UDM_SETPOS32, 0, position); }); };
    if (associate_ != nullptr)
        associate_->Silently(set);
    else
        set();
    lastPosition_ = Position();
}

bool TUpDown::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if ((msg == WM_VSCROLL || msg == WM_HSCROLL) && LOWORD(wp) == SB_THUMBPOSITION) {
        const int position = Position();
        const TUDBtnType button = position >= lastPosition_ ? TUDBtnType::btNext : TUDBtnType::btPrev;
        lastPosition_ = position;
        if (!IsSilent()) {
            Click();
            if (OnClickButton)
                OnClickButton(this, button);
        }
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == associate_)
        associate_ = nullptr;
}
