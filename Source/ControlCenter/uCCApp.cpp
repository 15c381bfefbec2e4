#include "uCCApp.h"

#include "AppSpecificConsts.h"
#include "Declarations.h"
#include "Errors.h"
#include "ModuleFiles.h"
#include "MultiLanguages.h"
#include "RegistryKey.h"
#include "SingleAppInstance.h"
#include "TaskBar.h"

#include <shellapi.h>

namespace {

std::atomic<TCCApp*> TheApp{nullptr};

LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (TCCApp* app = CCApp())
            return app->WindowProc(window, message, wParam, lParam);
        return 0;
    } catch (...) {
        TraceFailure("GlazloCenter handler window");
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) noexcept {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    try {
        if (TCCApp* app = CCApp(); app != nullptr && app->WindowHasRule(window))
            found->push_back(window);
    } catch (...) {
        // One window that fails to match must not stop the others.
        TraceFailure("GlazloCenter announcement");
    }
    return TRUE;
}

} // namespace

int RunCenterProgram(TCCApp& app, const std::function<void(TCCApp&)>& run) noexcept {
    try {
        // Without COM nothing reads a language: Init tells the refusal in the built-in texts.
        if (app.ComInitialized())
            InitLanguageFromRegistry();
        if (app.Init())
            run(app);
    } catch (...) {
        TraceFailure("GlazloCenter");
        // A failed step keeps its own cause; any other failure, also after a good start, is no
        // normal end.
        if (app.ExitCode() == TCenterExit::Normal)
            app.SetExitCode(TCenterExit::UnforeseenFailure);
    }
    app.Finalize();
    return static_cast<int>(app.ExitCode());
}

TCCApp* CCApp() noexcept {
    return TheApp.load();
}

void SetCCApp(TCCApp* app) noexcept {
    TheApp.store(app);
}

TCCApp::TCCApp() : com_(InitializeCom()) {
    ApplicationFolder = ModuleFolder();
    ConfigFileName = DefaultConfigFileName;
    taskbarCreatedMsg_ = RegisterWindowMessageA("TaskbarCreated");
}

TCCApp::~TCCApp() {
    Finalize();
}

bool TCCApp::Init() {
    title_ = WindowTitle(Translate("AppCCTitle", "%appname%"));
    {
        TSingleAppInstance instance(ControlCenterInstanceName);
        if (instance.CheckInstance()) {
            exitCode_ = TCenterExit::AlreadyRunning;
            return false;
        }
    }
    // COM itself was initialised with the application object.
    if (!com_) {
        MessageBoxA(nullptr, Translate("Error_COMInitialization", "COM initialization error.").c_str(),
                    title_.c_str(), MB_OKCANCEL);
        exitCode_ = TCenterExit::ComRefused;
        Finalize();
        return false;
    }
    bool ok = ReadSettings() && CreateHandlerWindow();
    if (ok && !LoadModel()) {
        exitCode_ = loadFailure_;
        ok = false;
    }
    ok = ok && StartServerThread() && InstallHook() && ShowTrayIcon();
    if (!ok)
        Finalize();
    return ok;
}

void TCCApp::Run() {
    // Collected before the server thread runs: from then on only that thread reads the model.
    std::vector<HWND> windows = PrepareAnnouncement();
    announcer_->Resume();
    thread_->Resume();
    commandThread_->Resume();
    Announce(std::move(windows));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TCCApp::Finalize() noexcept {
    // First nothing may hand out a rule, reload or show the icon again; then no new window is
    // hooked; only then do the extenders drop, so that none is left behind.
    StopServerThread();
    StopAnnouncer();
    try {
        HideTrayIcon();
    } catch (...) {
        TraceFailure("GlazloCenter tray icon");
    }
    RemoveHook();
    ReleaseModel();
    DestroyHandlerWindow();
    com_.Reset();
}

bool TCCApp::ReadSettings() {
    trayIconEnabled_ = true;
    if (const auto value = TRegistryKey::Open(HKEY_CURRENT_USER, SettingsKey).ReadDword(TrayIconValue))
        trayIconEnabled_ = *value != 0;
    return true;
}

void TCCApp::ApplySettings() {
    ReadSettings();
    if (trayIconEnabled_)
        ShowTrayIcon();
    else
        HideTrayIcon();
}

bool TCCApp::LoadModel() {
    TConfigFileCheck check = TConfigFileCheck::Usable;
    config_ = LoadConfigurationRoot(&check);
    if (check == TConfigFileCheck::Missing)
        loadFailure_ = TCenterExit::ConfigMissing;
    else if (check == TConfigFileCheck::NotARegularFile || check == TConfigFileCheck::TooLarge)
        loadFailure_ = TCenterExit::ConfigNotAFile;
    else
        loadFailure_ = config_ ? TCenterExit::Normal : TCenterExit::ConfigUnreadable;
    return static_cast<bool>(config_);
}

void TCCApp::ReleaseModel() noexcept {
    ReleaseConfigurationRoot(config_);
}

void TCCApp::ReloadModel() {
    // The rules in force are replaced only by a file that has loaded: one that is missing, broken
    // or too large leaves every window with the rule it has, and the answers as they were.
    ComPtr<IBOMObjectSlave> loaded;
    TConfigFileCheck check = TConfigFileCheck::Usable;
    try {
        loaded = LoadConfigurationRoot(&check);
    } catch (...) {
        // A load that raises is a file that did not load.
        TraceFailure("GlazloCenter reload");
        return;
    }
    if (!loaded) {
        TraceFailure("GlazloCenter reload", ConfigurationLoadFailure(check));
        return;
    }
    if (thread_)
        thread_->ClearQuery();
    ReleaseModel();
    config_ = std::move(loaded);
    if (thread_)
        thread_->SetQuery(ControlCenterOf(config_.Get()));
    NotifyWindows();
}

void TCCApp::RequestReload() {
    if (thread_)
        thread_->RequestReload();
}

bool TCCApp::StartServerThread() {
    try {
        thread_ = std::make_unique<TControlCenterThread>(this);
        commandThread_ = std::make_unique<TControlCenterThread>(this, ControlChannelPrefix,
                                                                TServedCommands::CenterCommands);
        // Another process that made the channels' names first (objects of another kind, a block
        // too small) or keeps a lock would leave a server that nobody reaches.
        if (!thread_->Channel().Usable() || !commandThread_->Channel().Usable()) {
            exitCode_ = TCenterExit::ChannelUnusable;
            return false;
        }
        announcer_ = std::make_unique<TWindowAnnouncer>();
        if (thread_->Handle() != nullptr && commandThread_->Handle() != nullptr &&
            announcer_->Handle() != nullptr) {
            thread_->SetQuery(ControlCenterOf(config_.Get()));
            return true;
        }
    } catch (...) {
        TraceFailure("GlazloCenter server thread");
    }
    exitCode_ = TCenterExit::ServerThreadFailed;
    return false;
}

void TCCApp::StopServerThread() noexcept {
    try {
        if (commandThread_) {
            // One that never ran is let run to its end, so that no suspended thread stays behind.
            commandThread_->Stop();
            if (commandThread_->Suspended())
                commandThread_->Resume();
            if (!commandThread_->Suspended())
                commandThread_->WaitFor();
        }
    } catch (...) {
        TraceFailure("GlazloCenter command thread");
    }
    commandThread_.reset();
    try {
        if (!thread_)
            return;
        thread_->Stop();
        if (!thread_->Suspended())
            thread_->WaitFor();
        thread_->ClearQuery();
        thread_.reset();
    } catch (...) {
        TraceFailure("GlazloCenter server thread");
        thread_.reset();
    }
}

void TCCApp::StopAnnouncer() noexcept {
    try {
        if (announcer_)
            announcer_->Stop();
    } catch (...) {
        TraceFailure("GlazloCenter announcer");
    }
    announcer_.reset();
}

bool TCCApp::CreateHandlerWindow() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HandlerWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = HandlerWindowClass;
    classRegistered_ = RegisterClassA(&windowClass) != 0;
    window_ = CreateWindowExA(0, HandlerWindowClass, title_.c_str(), 0, 0, 0, 0, 0, nullptr, nullptr,
                              instance, nullptr);
    if (window_ == nullptr) {
        exitCode_ = TCenterExit::HandlerWindowFailed;
        return false;
    }
    SetWindowTextA(window_, title_.c_str());
    ShowWindow(window_, SW_HIDE);
    return true;
}

void TCCApp::DestroyHandlerWindow() noexcept {
    window_ = nullptr;
    if (classRegistered_) {
        classRegistered_ = false;
        UnregisterClassA(HandlerWindowClass, GetModuleHandleA(nullptr));
    }
}

LRESULT TCCApp::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMsg_ && taskbarCreatedMsg_ != 0) {
        // The shell lost every icon.
        trayIconShown_ = false;
        ShowTrayIcon();
    } else if (message == TrayCallbackMessage && wParam == 0) {
        if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)
            ShowTrayMenu();
        else if (lParam == WM_LBUTTONDBLCLK)
            StartConfigProgram();
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    } else if (message == WM_QUERYENDSESSION) {
        Finalize();
    } else if (message == WM_ENDSESSION) {
        // The session may end as soon as this returns: the whole shutdown of a close runs now.
        Finalize();
        DestroyWindow(window);
        return 0;
    } else if (message == WM_COMMAND) {
        if (wParam == IdMenuClose)
            Close();
        else if (wParam == IdMenuConfig)
            StartConfigProgram();
        else if (wParam == IdMenuHelp)
            ShowHelp();
    } else if (message == WM_TIMER) {
        FlashStep();
    } else if (message == FlashRequestMessage) {
        StartFlash();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<HWND> TCCApp::PrepareAnnouncement() {
    SendNotifyMessageA(HWND_BROADCAST, DetachExtenderMessage, 0, 0);
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void TCCApp::Announce(std::vector<HWND> windows) {
    if (announcer_)
        announcer_->Announce(std::move(windows));
}

void TCCApp::NotifyWindows() {
    Announce(PrepareAnnouncement());
}

bool TCCApp::WindowHasRule(HWND window) {
    const ComPtr<IControlCenter> query = ControlCenterOf(config_.Get());
    return query && !FindRuleText(query.Get(), window).empty();
}

void TCCApp::Close() {
    // Sent rather than posted: the close goes ahead of whatever waits in the handler's queue.
    SendNotifyMessageA(window_, WM_CLOSE, 0, 0);
}

bool TCCApp::InstallHook() {
    if (hook_.Install())
        return true;
    if (hook_.Library() == nullptr)
        exitCode_ = TCenterExit::HookLibraryMissing;
    else if (hook_.Hook() == nullptr)
        exitCode_ = TCenterExit::HookNotInstalled;
    else
        exitCode_ = TCenterExit::HookNotPublished;
    return false;
}

void TCCApp::RemoveHook() noexcept {
    const bool hooked = hook_.Hook() != nullptr;
    // Unhooked and unpublished first, so that no window starts a fetch any more; then every
    // extender drops itself; the library leaves this process last, after its own extenders.
    hook_.Unhook();
    // Queued for every window's thread rather than waited for: a busy or slow thread takes it
    // whenever it runs again, also after this program has ended, behind anything queued for it
    // before; the windows of this thread take it now.
    if (hooked)
        SendNotifyMessageA(HWND_BROADCAST, DetachExtenderMessage, 0, 0);
    hook_.Remove();
}
