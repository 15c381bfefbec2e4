#include "uCCApp.h"

#include "AppSpecificConsts.h"
#include "Declarations.h"
#include "MultiLanguages.h"
#include "SingleAppInstance.h"
#include "TaskBar.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>

namespace {

std::atomic<TCCApp*> TheApp{nullptr};

LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (TCCApp* app = CCApp())
            return app->WindowProc(window, message, wParam, lParam);
        return 0;
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) noexcept {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    try {
        if (TCCApp* app = CCApp(); app != nullptr && app->WindowHasRule(window))
            found->push_back(window);
    } catch (...) {
        // One window that fails to match must not stop the others.
    }
    return TRUE;
}

} // namespace

TCCApp* CCApp() noexcept {
    return TheApp.load();
}

void SetCCApp(TCCApp* app) noexcept {
    TheApp.store(app);
}

TCCApp::TCCApp() {
    ApplicationFolder = ProgramFolder();
    ConfigFileName = DefaultConfigFileName;
    taskbarCreatedMsg_ = RegisterWindowMessageA("TaskbarCreated");
}

TCCApp::~TCCApp() {
    Finalize();
}

bool TCCApp::Init() {
    title_ = Translate("AppCCTitle", "%appname%");
    {
        TSingleAppInstance instance(ControlCenterInstanceName);
        if (instance.CheckInstance())
            return false;
    }
    const HRESULT com = CoInitialize(nullptr);
    if (com != S_OK && com != S_FALSE) {
        MessageBoxA(nullptr, Translate("Error_COMInitialization", "COM initialization error.").c_str(),
                    title_.c_str(), MB_OKCANCEL);
        Finalize();
        return false;
    }
    comInitialized_ = true;
    const bool ok = ReadSettings() && CreateHandlerWindow() && LoadModel() && StartServerThread() &&
                    InstallHook() && ShowTrayIcon();
    if (!ok)
        Finalize();
    return ok;
}

void TCCApp::Run() {
    // Collected before the server thread runs: from then on only that thread reads the model.
    const std::vector<HWND> windows = PrepareAnnouncement();
    thread_->Resume();
    Announce(windows);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TCCApp::Finalize() noexcept {
    try {
        HideTrayIcon();
    } catch (...) {
    }
    RemoveHook();
    StopServerThread();
    ReleaseModel();
    DestroyHandlerWindow();
    if (comInitialized_) {
        comInitialized_ = false;
        CoUninitialize();
    }
}

bool TCCApp::ReadSettings() {
    trayIconEnabled_ = true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExA(key, TrayIconValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof value)
            trayIconEnabled_ = value != 0;
        RegCloseKey(key);
    }
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
    config_ = LoadConfigurationRoot();
    return static_cast<bool>(config_);
}

void TCCApp::ReleaseModel() noexcept {
    ReleaseConfigurationRoot(config_);
}

void TCCApp::ReloadModel() {
    if (thread_)
        thread_->ClearQuery();
    ReleaseModel();
    try {
        if (LoadModel() && thread_)
            thread_->SetQuery(ControlCenterOf(config_.Get()));
    } catch (...) {
        // A reload that raises counts as a failed load: no model, empty answers.
        ReleaseModel();
    }
    NotifyWindows();
}

bool TCCApp::StartServerThread() {
    try {
        thread_ = std::make_unique<TControlCenterThread>(this);
        if (thread_->Handle() == nullptr) {
            thread_.reset();
            return false;
        }
        thread_->SetQuery(ControlCenterOf(config_.Get()));
        return true;
    } catch (...) {
        return false;
    }
}

void TCCApp::StopServerThread() noexcept {
    try {
        if (!thread_)
            return;
        thread_->Terminate();
        if (!thread_->Suspended())
            thread_->WaitFor();
        thread_->ClearQuery();
        thread_.reset();
    } catch (...) {
        thread_.reset();
    }
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
    if (window_ == nullptr)
        return false;
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
        std::exit(0);
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
        FlashTrayIcon();
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

void TCCApp::Announce(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, AttachWindowMessage, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                            AnnounceTimeout, &ignored);
    }
}

void TCCApp::NotifyWindows() {
    Announce(PrepareAnnouncement());
}

bool TCCApp::WindowHasRule(HWND window) {
    const ComPtr<IControlCenter> query = ControlCenterOf(config_.Get());
    return query && !FindRuleText(query.Get(), window).empty();
}

void TCCApp::Close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
}

bool TCCApp::InstallHook() {
    return hook_.Install();
}

void TCCApp::RemoveHook() noexcept {
    // Extenders go down while the library is still hooked into their hosts.
    if (hook_.Hook() != nullptr) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(HWND_BROADCAST, DetachExtenderMessage, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                            AnnounceTimeout, &ignored);
    }
    hook_.Remove();
}
