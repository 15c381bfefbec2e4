#pragma once

#include "HookInstallation.h"
#include "uCCAnnouncer.h"
#include "uCCModel.h"
#include "uControlCenterThread.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr const char* HandlerWindowClass = "GLZ_CommandCenterHandlerWindow";
inline constexpr const char* SettingsKey = "SOFTWARE\\Quenda Tools\\Glazlo\\Command Center";
inline constexpr const char* TrayIconValue = "trayicon";

// Tray menu commands.
inline constexpr UINT IdMenuClose = 1000;
inline constexpr UINT IdMenuConfig = 1002;
inline constexpr UINT IdMenuHelp = 1003;
inline constexpr UINT_PTR FlashTimerId = 1;
inline constexpr UINT FlashPeriod = 250;
// Posted to the handler window to start a flash on its own thread.
inline constexpr UINT FlashRequestMessage = WM_APP + 1;

// Exit codes of GlazloCenter: 0 after a normal run; a start-up that fails ends without a message
// (except a refused COM) and with the code of its cause; a failure that no step foresaw, at
// start-up or later, with 11.
enum class TCenterExit : int {
    Normal = 0,
    ComRefused = 1,
    AlreadyRunning = 2,
    ConfigMissing = 3,
    ConfigUnreadable = 4,
    ConfigNotAFile = 5,
    HookLibraryMissing = 6,
    HookNotInstalled = 7,
    HookNotPublished = 8,
    HandlerWindowFailed = 9,
    ServerThreadFailed = 10,
    UnforeseenFailure = 11,
    ChannelUnusable = 12,
};

// The resident program: hidden handler window, model root, server thread, hook and tray icon.
class TCCApp {
public:
    TCCApp();
    ~TCCApp();
    TCCApp(const TCCApp&) = delete;
    TCCApp& operator=(const TCCApp&) = delete;

    // False when COM refused this thread: nothing can read a language or a configuration.
    bool ComInitialized() const { return static_cast<bool>(com_); }
    bool Init();
    void Run();
    // Why the start-up failed; Normal after a successful one.
    TCenterExit ExitCode() const { return exitCode_; }
    void SetExitCode(TCenterExit code) { exitCode_ = code; }
    // Releases what is still held; may run any number of times.
    void Finalize() noexcept;

    bool ReadSettings();
    void ApplySettings();
    bool LoadModel();
    void ReleaseModel() noexcept;
    void ReloadModel();
    // Any thread: a reload on the server thread, after the one in progress if any.
    void RequestReload();
    bool StartServerThread();
    void StopServerThread() noexcept;
    bool CreateHandlerWindow();
    void DestroyHandlerWindow() noexcept;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Detach broadcast and the windows that have a rule, collected while only this thread reads
    // the model; the attach messages go out afterwards, on the announcer's thread.
    std::vector<HWND> PrepareAnnouncement();
    void Announce(std::vector<HWND> windows);
    void NotifyWindows();
    bool WindowHasRule(HWND window);
    void Close();

    bool InstallHook();
    void RemoveHook() noexcept;

    bool ShowTrayIcon();
    void HideTrayIcon();
    void UpdateTrayIcon();
    // Any thread: asks for a flash; one that is running or asked for already absorbs it.
    void FlashTrayIcon();
    void FlashStep();
    void ShowTrayMenu();
    void StartConfigProgram();
    void ShowHelp();

    HWND Window() const { return window_; }
    bool TrayIconShown() const { return trayIconShown_; }
    int FlashFrame() const { return flashFrame_; }
    TControlCenterThread* Thread() const { return thread_.get(); }
    TControlCenterThread* CommandThread() const { return commandThread_.get(); }
    TWindowAnnouncer* Announcer() const { return announcer_.get(); }

private:
    // Handler window's thread: starts the flash sequence.
    void StartFlash();
    void StopAnnouncer() noexcept;

    // The main thread's COM, for the whole program: the language is read through the XML
    // document object before Init runs. Init only checks it; Finalize ends it.
    ComScope com_;
    HWND window_ = nullptr;
    std::atomic<bool> trayIconEnabled_{true};
    std::atomic<bool> trayIconShown_{false};
    ComPtr<IBOMObjectSlave> config_;
    std::unique_ptr<TControlCenterThread> thread_;
    // Serves the configuration program's channel.
    std::unique_ptr<TControlCenterThread> commandThread_;
    std::unique_ptr<TWindowAnnouncer> announcer_;
    THookInstallation hook_;
    std::atomic<int> flashFrame_{0};
    // Set from the flash request until the flash has run out.
    std::atomic<bool> flashing_{false};
    TCenterExit exitCode_ = TCenterExit::Normal;
    // Why the last LoadModel found no model.
    TCenterExit loadFailure_ = TCenterExit::Normal;
    UINT taskbarCreatedMsg_ = 0;
    std::string title_;
    bool classRegistered_ = false;
};

// GlazloCenter's run on the calling thread, from reading the language to the end of the shutdown;
// Run is what follows a good start-up (TCCApp::Run). Gives the exit code.
int RunCenterProgram(TCCApp& app, const std::function<void(TCCApp&)>& run) noexcept;

// The program's application object; null outside its lifetime.
TCCApp* CCApp() noexcept;
void SetCCApp(TCCApp* app) noexcept;
