#include "Application.h"

#include "CommandAction.h"
#include "Errors.h"
#include "Forms.h"
#include "ToolBars.h"
#include "WindowClasses.h"

#include <exception>

namespace {

constexpr char kApplicationClass[] = "TApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_SYSCOMMAND) {
        TForm* main = Application().MainForm();
        const WPARAM command = wp & 0xFFF0;
        if (main != nullptr && (command == SC_MINIMIZE || command == SC_RESTORE)) {
            ShowWindow(main->Handle(), command == SC_MINIMIZE ? SW_MINIMIZE : SW_RESTORE);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

void HandleException() noexcept {
    Application().HandleException();
}

TApplication::~TApplication() {
    if (handle_ != nullptr && IsWindow(handle_))
        DestroyWindow(handle_);
}

HWND TApplication::Handle() {
    if (handle_ == nullptr || !IsWindow(handle_))
        handle_ = CreateHiddenWindow(kApplicationClass, ApplicationWindowProc, title_);
    return handle_;
}

void TApplication::Run() {
    terminated_ = false;
    if (mainForm_ != nullptr)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::Terminate() noexcept {
    PostQuitMessage(0);
}

bool TApplication::PreProcess(MSG& msg) {
    // A click anywhere leaves the menu bar that the keyboard reached.
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN ||
        msg.message == WM_NCRBUTTONDOWN) {
        if (TForm* form = FormOfWindow(msg.hwnd); form != nullptr && form->MenuBar() != nullptr)
            form->MenuBar()->LeaveMenuMode();
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (TForm* form = FormOfWindow(msg.hwnd)) {
            if (form->IsShortCut(msg) || form->DialogKey(msg))
                return true;
        }
    }
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
        if (TForm* form = FormOfWindow(msg.hwnd))
            form->KeyReleased(msg);
    }
    // The dialog manager moves the focus on Tab; every other key goes to the controls.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) &&
        msg.wParam == VK_TAB) {
        const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (FormOfWindow(root) != nullptr &&
            (SendMessageA(msg.hwnd, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTTAB) ==
                0)
            return IsDialogMessageW(root, &msg) != FALSE;
    }
    return false;
}

bool TApplication::ProcessMessage(MSG& msg) {
    // Taken and passed on as Unicode: a character typed in any script reaches the Unicode
    // windows (the system controls) whole, where the ANSI conversion would make it a "?".
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool used = false;
    try {
        used = PreProcess(msg);
    } catch (...) {
        HandleException();
        used = true;
    }
    if (!used) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
        if (terminated_)
            break;
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    if (ProcessMessage(msg))
        return;
    Idle();
    if (!terminated_)
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TApplication::Idle() {
    try {
        TCommandAction::UpdateAll();
        if (OnIdle)
            OnIdle();
    } catch (...) {
        HandleException();
    }
}

void TApplication::HandleException() noexcept {
    ShowException(CurrentExceptionText());
}

void TApplication::ShowException(const std::string& message) noexcept {
    try {
        if (OnException) {
            OnException(message);
            return;
        }
    } catch (...) {
        // A handler that fails itself: the box below shows the message instead.
    }
    const HWND owner = GetActiveWindow();
    ::MessageBoxA(owner, message.c_str(), title_.empty() ? "Error" : title_.c_str(), MB_OK | MB_ICONERROR);
}

TApplication& Application() {
    static TApplication application;
    return application;
}
