#include "Forms.h"

#include "Application.h"
#include "Errors.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "ToolBars.h"

#include <algorithm>

namespace {

DWORD BorderStyleBits(TBorderStyle style) noexcept {
    switch (style) {
    case TBorderStyle::bsNone:
        return WS_POPUP;
    case TBorderStyle::bsSingle:
    case TBorderStyle::bsToolWindow:
        return WS_OVERLAPPED | WS_CAPTION;
    case TBorderStyle::bsDialog:
        return WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    case TBorderStyle::bsSizeable:
    case TBorderStyle::bsSizeToolWin:
    default:
        return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
    }
}

constexpr DWORD kBorderMask =
    WS_POPUP | WS_CAPTION | WS_THICKFRAME | DS_MODALFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kBorderExMask = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_WINDOWEDGE;

template <class T> T* FindDescendant(HWND parent, bool (*match)(T*)) {
    struct Search {
        bool (*match)(T*);
        T* found;
    } search{match, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            auto* control = dynamic_cast<T*>(TWinControl::FromHandle(child));
            if (control != nullptr && IsWindowVisible(child) && IsWindowEnabled(child) && s->match(control)) {
                s->found = control;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

TForm* FormOfWindow(HWND hwnd) noexcept {
    if (hwnd == nullptr)
        return nullptr;
    return dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(hwnd, GA_ROOT)));
}

TForm::TForm(TComponent* owner, const std::string& className) : TWinControl(owner) {
    SetClassName(className);
    TWindowClass cls{ClassName().c_str()};
    cls.Icon = Application().Icon();
    CreateLayerWindow(
        cls, BorderStyleBits(borderStyle_) | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN,
        WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE, 320, 240);
    SetParentFont(false);
    BeginLoading();
}

TForm::~TForm() {
    MarkDestroying();
    try {
        if (OnDestroy)
            OnDestroy(this);
    } catch (...) {
        HandleException();
    }
    if (Application().MainForm() == this)
        Application().SetMainForm(nullptr);
}

void TForm::ApplyBorder() {
    const HWND hwnd = Handle();
    DWORD style = BorderStyleBits(borderStyle_);
    DWORD exStyle = 0;
    const bool dialogLike = borderStyle_ == TBorderStyle::bsDialog ||
                            borderStyle_ == TBorderStyle::bsToolWindow ||
                            borderStyle_ == TBorderStyle::bsSizeToolWin;
    if (borderStyle_ != TBorderStyle::bsNone && (borderIcons_ & biSystemMenu) != 0) {
        style |= WS_SYSMENU;
        if (!dialogLike) {
            if ((borderIcons_ & biMinimize) != 0)
                style |= WS_MINIMIZEBOX;
            if ((borderIcons_ & biMaximize) != 0)
                style |= WS_MAXIMIZEBOX;
        }
        if ((borderIcons_ & biHelp) != 0 && (dialogLike || (borderIcons_ & (biMinimize | biMaximize)) == 0))
            exStyle |= WS_EX_CONTEXTHELP;
    }
    if (borderStyle_ == TBorderStyle::bsDialog)
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    else if (borderStyle_ == TBorderStyle::bsToolWindow || borderStyle_ == TBorderStyle::bsSizeToolWin)
        exStyle |= WS_EX_TOOLWINDOW;
    else if (borderStyle_ != TBorderStyle::bsNone)
        exStyle |= WS_EX_WINDOWEDGE;
    const auto oldStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    const auto oldEx = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
    SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>((oldStyle & ~kBorderMask) | style));
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>((oldEx & ~kBorderExMask) | exStyle));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_)
        return;
    // The client area keeps its size, as the form was designed by it.
    const RECT client = ClientRect();
    borderStyle_ = style;
    ApplyBorder();
    SetClientSize(client.right, client.bottom);
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_)
        return;
    borderIcons_ = icons;
    ApplyBorder();
}

void TForm::SetPosition(TPosition position) {
    position_ = position;
}

void TForm::SetIcon(HICON icon) {
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (!Visible())
        return;
    ShowWindow(Handle(), state == TWindowState::wsMaximized   ? SW_MAXIMIZE
                         : state == TWindowState::wsMinimized ? SW_MINIMIZE
                                                              : SW_RESTORE);
}

TWinControl* TForm::ActiveControl() const {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(Handle(), focus))
        return TWinControl::FindControl(focus);
    return activeControl_;
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (control != nullptr) {
        FreeNotification(control);
        if (Visible() && control->CanFocus())
            control->SetFocus();
    }
}

void TForm::AddAction(TCommandAction* action) {
    if (action != nullptr && std::find(actions_.begin(), actions_.end(), action) == actions_.end())
        actions_.push_back(action);
}

void TForm::ApplyPosition() {
    RECT bounds = BoundsRect();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    switch (position_) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
        break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
        const HWND owner = GetWindow(Handle(), GW_OWNER);
        const HWND centre = owner != nullptr                      ? owner
                            : Application().MainForm() != nullptr ? Application().MainForm()->Handle()
                                                                  : nullptr;
        if (centre != nullptr && centre != Handle())
            GetWindowRect(centre, &area);
        break;
    }
    default:
        return;
    }
    const int left = std::max<int>(0, area.left + (area.right - area.left - width) / 2);
    const int top = std::max<int>(0, area.top + (area.bottom - area.top - height) / 2);
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::FocusFirstControl() {
    if (activeControl_ != nullptr && activeControl_->CanFocus()) {
        activeControl_->SetFocus();
        return;
    }
    if (const HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE); first != nullptr)
        ::SetFocus(first);
    else
        ::SetFocus(Handle());
}

void TForm::Show() {
    EndLoading();
    if (!shownOnce_) {
        shownOnce_ = true;
        ApplyPosition();
    }
    if (Visible()) {
        SetForegroundWindow(Handle());
        return;
    }
    if (OnShow)
        OnShow(this);
    ShowWindow(Handle(), windowState_ == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                         : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                     : SW_SHOWNORMAL);
    UpdateWindow(Handle());
    SetForegroundWindow(Handle());
    FocusFirstControl();
}

void TForm::Hide() {
    if (!Visible())
        return;
    ShowWindow(Handle(), SW_HIDE);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (modal_) {
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel;
        return; // the modal loop asks CloseQuery
    }
    if (!CloseQuery())
        return;
    TCloseAction action = Application().MainForm() == this ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (action == TCloseAction::caMinimize) {
        ShowWindow(Handle(), SW_MINIMIZE);
        return;
    }
    Hide();
    if (Application().MainForm() == this)
        Application().Terminate();
}

bool TForm::CloseModal() {
    // A close handler that raises keeps the form open, as a refusal does; no window
    // procedure is around to catch it here.
    try {
        return TryCloseModal();
    } catch (...) {
        HandleException();
        modalResult_ = mrNone;
        return false;
    }
}

bool TForm::TryCloseModal() {
    if (!CloseQuery()) {
        modalResult_ = mrNone;
        return false;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone) {
        modalResult_ = mrNone;
        return false;
    }
    return true;
}

TModalResult TForm::ShowModal() {
    if (Visible() || modal_)
        throw Exception("A visible form cannot be shown modally");
    HWND owner = GetActiveWindow();
    if (owner == Handle())
        owner = nullptr;
    // Every other window of the thread waits for this one.
    std::vector<HWND> disabled;
    struct Context {
        HWND self;
        std::vector<HWND>* disabled;
    } context{Handle(), &disabled};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<Context*>(data);
            if (hwnd != c->self && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
                EnableWindow(hwnd, FALSE);
                c->disabled->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&context));
    if (owner != nullptr)
        SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    modal_ = true;
    modalResult_ = mrNone;
    try {
        Show();
        while (true) {
            Application().HandleMessage();
            if (Application().Terminated() && modalResult_ == mrNone)
                modalResult_ = mrCancel;
            if (modalResult_ != mrNone && (CloseModal() || Application().Terminated()))
                break;
        }
    } catch (...) {
        modal_ = false;
        for (HWND hwnd : disabled)
            EnableWindow(hwnd, TRUE);
        throw;
    }
    modal_ = false;
    for (HWND hwnd : disabled)
        EnableWindow(hwnd, TRUE);
    if (owner != nullptr && IsWindow(owner))
        SetActiveWindow(owner);
    Hide();
    return modalResult_ == mrNone ? mrCancel : modalResult_;
}

bool TForm::IsShortCut(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    // The keys of the window itself are taken here, before the focused control: a control
    // such as the tree view keeps them from the default handling that would act on them.
    const bool inMenuMode = menuBar_ != nullptr && menuBar_->InMenuMode();
    if (msg.wParam == VK_MENU) {
        if ((msg.lParam & (1 << 30)) == 0)
            altAlone_ = !inMenuMode;
    } else {
        altAlone_ = false;
    }
    // The menu bar reached by F10 or Alt takes every key until it is left.
    if (inMenuMode)
        return menuBar_->MenuKey(msg);
    const bool alt = (msg.lParam & (1 << 29)) != 0;
    const bool shiftOrCtrl = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0;
    if (msg.wParam == VK_F10 && menuBar_ != nullptr && !alt && !shiftOrCtrl) {
        menuBar_->EnterMenuMode();
        return true;
    }
    if (msg.wParam == VK_F4 && alt && GetKeyState(VK_CONTROL) >= 0) {
        // Closes as the caption's close button does, through the close query.
        if ((GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_SYSMENU) != 0)
            PostMessageA(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    if (OnShortCut) {
        bool handled = false;
        OnShortCut(msg, handled);
        if (handled)
            return true;
    }
    const TShortCut shortCut = ShortCutFromKey(msg.wParam, msg.lParam);
    if (shortCut == 0)
        return false;
    for (TCommandAction* action : std::vector<TCommandAction*>(actions_))
        if (action->ShortCut == shortCut && action->Execute())
            return true;
    const WORD key = shortCut & 0xFF;
    const bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if (menuBar_ != nullptr && letter && (shortCut & (scAlt | scCtrl)) == scAlt)
        return menuBar_->TrackAccelerator(static_cast<char>(key));
    return false;
}

void TForm::KeyReleased(const MSG& msg) {
    if ((msg.message != WM_KEYUP && msg.message != WM_SYSKEYUP) || msg.wParam != VK_MENU)
        return;
    // Alt pressed and released with no other key in between reaches the menu bar.
    if (altAlone_ && menuBar_ != nullptr && !menuBar_->InMenuMode())
        menuBar_->EnterMenuMode();
    altAlone_ = false;
}

bool TForm::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE))
        return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return false;
    // An open list takes its own Enter and Esc.
    if (auto* combo = dynamic_cast<TComboBox*>(TWinControl::FindControl(msg.hwnd));
        combo != nullptr && combo->DroppedDown())
        return false;
    if ((SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
         DLGC_WANTALLKEYS) != 0)
        return false;
    if (msg.wParam == VK_RETURN) {
        auto* button = dynamic_cast<TButton*>(TWinControl::FromHandle(msg.hwnd));
        if (button == nullptr)
            button = FindDescendant<TButton>(Handle(), [](TButton* b) { return b->Default(); });
        if (button == nullptr)
            return false;
        button->Click();
        return true;
    }
    if (TButton* cancel = FindDescendant<TButton>(Handle(), [](TButton* b) { return b->Cancel; })) {
        cancel->Click();
        return true;
    }
    // Esc cancels a dialog. The main window runs modally too, but Esc there is the user
    // backing out of typing, never a request to close the program.
    if (modal_ && Application().MainForm() != this) {
        modalResult_ = mrCancel;
        return true;
    }
    return false;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_SIZE:
        if (Visible())
            windowState_ = wp == SIZE_MAXIMIZED   ? TWindowState::wsMaximized
                           : wp == SIZE_MINIMIZED ? TWindowState::wsMinimized
                                                  : TWindowState::wsNormal;
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            altAlone_ = false;
            if (menuBar_ != nullptr)
                menuBar_->LeaveMenuMode();
            const HWND focus = GetFocus();
            if (focus != nullptr && IsChild(Handle(), focus))
                lastFocus_ = focus;
        } else {
            if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_) &&
                HIWORD(wp) == 0) {
                // A control hidden meanwhile (its page gave way to another) gets no keys back.
                if (IsWindowVisible(lastFocus_))
                    ::SetFocus(lastFocus_);
                else
                    FocusFirstControl();
                if (OnActivate)
                    OnActivate(this);
                return 0;
            }
            if (OnActivate)
                OnActivate(this);
        }
        break;
    case WM_SYSCOMMAND:
        // Alt alone or F10 would enter the system menu's loop; a form with a menu bar keeps
        // them for it. Both reached the bar already (IsShortCut, KeyReleased); the default
        // handling also asks for the bar when Alt goes up after a key that a control took for
        // itself (Alt+Down in a combo box), which is no lone Alt.
        if ((wp & 0xFFF0) == SC_KEYMENU && menuBar_ != nullptr && lp != ' ') {
            if (lp != 0)
                menuBar_->TrackAccelerator(static_cast<char>(lp));
            return 0;
        }
        break;
    case WM_COMMAND:
        // IDOK and IDCANCEL from the dialog manager when no control of that id exists.
        if (lp == 0 && HIWORD(wp) == 0) {
            if (TMenuItem* item = TMenuItem::FindCommand(LOWORD(wp))) {
                item->Click();
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

TForm* GetParentForm(const TWinControl* control) noexcept {
    for (const TWinControl* c = control; c != nullptr; c = c->Parent())
        if (auto* form = dynamic_cast<TForm*>(const_cast<TWinControl*>(c)))
            return form;
    return control != nullptr ? FormOfWindow(control->Handle()) : nullptr;
}
