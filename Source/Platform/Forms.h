#pragma once

#include "CommandAction.h"
#include "Controls.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

class TToolBar;

enum class TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1;
constexpr TBorderIcons biMinimize = 2;
constexpr TBorderIcons biMaximize = 4;
constexpr TBorderIcons biHelp = 8;

enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// The button a modal form was closed with; the values of IDOK, IDCANCEL and their kin.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
// A key message before any control sees it; set handled to swallow it.
using TShortCutEvent = std::function<void(const MSG& msg, bool& handled)>;

// A top-level window with a class of its own, named after the form ("TCBAppForm"), which is
// also its ClassName. Its events are plain function objects: whoever wants to chain one keeps
// the old value and calls it from the new one. The window exists from construction (hidden).
// A form is loading from construction until EndLoading (the derived constructor's last step)
// or its first Show: what it owns then hears Loaded, as components read with their form do.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner = nullptr, const std::string& className = "TForm");
    // OnDestroy runs first, while every component of the form is still there.
    ~TForm() override;

    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TBorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const noexcept { return position_; }
    void SetPosition(TPosition position);
    // Not owned; the class icon is the application's.
    void SetIcon(HICON icon);

    // The state the form is in or will show in. The field form changes nothing on screen.
    TWindowState WindowState() const noexcept { return windowState_; }
    void SetWindowState(TWindowState state);
    void SetWindowStateField(TWindowState state) noexcept { windowState_ = state; }

    // The focused control of the form, or the one to focus when it shows.
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* control);
    // The form has no menu of the system's; its menu bar is a tool bar (SetMenuBar).
    HMENU Menu() const noexcept { return nullptr; }
    TToolBar* MenuBar() const noexcept { return menuBar_; }
    // Alt with a letter opens the drop-down of the bar's button with that accelerator.
    void SetMenuBar(TToolBar* bar) noexcept { menuBar_ = bar; }
    // Actions whose short-cuts this form answers before its controls see the key.
    void AddAction(TCommandAction* action);

    // OnShow runs before the window is shown.
    void Show();
    void Hide();
    // OnCloseQuery decides; then OnClose. A modal form ends its loop with mrCancel, the main
    // form ends the application, any other form hides.
    void Close();
    bool CloseQuery();
    // Runs the form's own loop until ModalResult is set; every other window of the thread is
    // disabled meanwhile. Enter clicks the default button, Esc the cancel button (or cancels,
    // unless this is the application's main form).
    TModalResult ShowModal();
    TModalResult ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(TModalResult result) noexcept { modalResult_ = result; }
    bool Modal() const noexcept { return modal_; }
    bool Shown() const noexcept { return shownOnce_; }

    // A key message of this form's windows, before it is translated: the menu bar's keys (F10,
    // and every key while the keyboard is in it), Alt+F4, OnShortCut, the actions'
    // short-cuts, the menu bar's Alt+letter. True when it was used up.
    bool IsShortCut(const MSG& msg);
    // A key going up: Alt pressed and released alone reaches the menu bar.
    void KeyReleased(const MSG& msg);
    // Enter and Esc for the default and cancel buttons. True when it was used up.
    bool DialogKey(const MSG& msg);

    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;
    TShortCutEvent OnShortCut;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ApplyBorder();
    void ApplyPosition();
    bool CloseModal();
    bool TryCloseModal();
    void FocusFirstControl();

    TBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = TPosition::poDesigned;
    TWindowState windowState_ = TWindowState::wsNormal;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool shownOnce_ = false;
    HWND lastFocus_ = nullptr;
    // Alt is down and no other key came since.
    bool altAlone_ = false;
    TWinControl* activeControl_ = nullptr;
    TToolBar* menuBar_ = nullptr;
    std::vector<TCommandAction*> actions_;
};

// The form a control lies on, or null.
TForm* GetParentForm(const TWinControl* control) noexcept;
// The form whose window is hwnd or holds it, or null.
TForm* FormOfWindow(HWND hwnd) noexcept;
