// Tray icon, flash and menu of the resident program.
#include "AppSpecificConsts.h"
#include "Declarations.h"
#include "Errors.h"
#include "Handles.h"
#include "MultiLanguages.h"
#include "TaskBar.h"
#include "uCCApp.h"

#include <shellapi.h>

namespace {

HICON ProgramIcon(const std::string& name) {
    return LoadIconA(GetModuleHandleA(nullptr), name.c_str());
}

void OpenInProgramFolder(HWND owner, const char* file) {
    const std::string path = ApplicationFolder + file;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, nullptr, path.c_str(), nullptr, ApplicationFolder.c_str(), SW_SHOW));
    // Up to 32 is an error code: the menu item did nothing.
    if (result <= 32)
        TraceFailure("GlazloCenter tray menu",
                     path + " could not be opened, error " + std::to_string(result));
}

} // namespace

bool TCCApp::ShowTrayIcon() {
    if (!trayIconShown_ && trayIconEnabled_) {
        if (HICON icon = ProgramIcon(TrayIconDefault)) {
            trayIconShown_ = true;
            AddTrayIcon(window_, 0, icon, TrayCallbackMessage, ProductName);
        }
    }
    return true;
}

void TCCApp::HideTrayIcon() {
    if (trayIconShown_)
        DeleteTrayIcon(window_, 0);
    trayIconShown_ = false;
}

void TCCApp::UpdateTrayIcon() {
    if (!trayIconShown_)
        return;
    const int frame = flashFrame_;
    HICON icon = frame != 0 ? ProgramIcon(TrayIconSelected + std::to_string(frame)) : nullptr;
    if (icon == nullptr)
        icon = ProgramIcon(TrayIconDefault);
    if (icon != nullptr)
        ModifyTrayIcon(window_, 0, NIF_ICON, icon);
}

void TCCApp::FlashTrayIcon() {
    if (window_ == nullptr)
        return;
    if (GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId()) {
        StartFlash();
        return;
    }
    // Timers can only be set on a window of the calling thread, so the handler window starts the
    // flash. Each icon change costs the main thread a round trip to the shell: a flash asked for
    // or running absorbs further requests, so that a burst of queries leaves no backlog there.
    if (!flashing_.exchange(true))
        PostMessageA(window_, FlashRequestMessage, 0, 0);
}

void TCCApp::StartFlash() {
    flashing_ = true;
    KillTimer(window_, FlashTimerId);
    flashFrame_ = 1;
    UpdateTrayIcon();
    SetTimer(window_, FlashTimerId, FlashPeriod, nullptr);
}

void TCCApp::FlashStep() {
    if (++flashFrame_ > TrayFlashFrameLimit) {
        flashFrame_ = 0;
        KillTimer(window_, FlashTimerId);
        flashing_ = false;
    }
    UpdateTrayIcon();
}

void TCCApp::ShowTrayMenu() {
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return;
    try {
        const std::string close = Translate("AppCCMenu_Close", "Close");
        const std::string help = Translate("AppCCMenu_HelpContent", "Help");
        const std::string config = Translate("AppCCMenu_Config", "Configure...");
        AppendMenuA(menu.Get(), MF_STRING, IdMenuClose, close.c_str());
        AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu.Get(), MF_STRING, IdMenuHelp, help.c_str());
        AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu.Get(), MF_STRING, IdMenuConfig, config.c_str());
        SetMenuDefaultItem(menu.Get(), IdMenuConfig, FALSE);
        POINT cursor{};
        GetCursorPos(&cursor);
        SetForegroundWindow(window_);
        TrackPopupMenu(menu.Get(), TPM_CENTERALIGN, cursor.x, cursor.y, 0, window_, nullptr);
        PostMessageA(window_, WM_NULL, 0, 0);
    } catch (...) {
        TraceFailure("GlazloCenter tray menu");
    }
}

void TCCApp::StartConfigProgram() {
    OpenInProgramFolder(window_, ConfigBuilderFileName);
}

void TCCApp::ShowHelp() {
    OpenInProgramFolder(window_, HelpFileName);
}
