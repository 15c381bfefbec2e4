#include "CenterTestSupport.h"

#include "ModuleFiles.h"
#include "SingleAppInstance.h"
#include "uCCApp.h"

#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder() {
    return fs::path(ModuleFileName()).parent_path();
}

std::string Param(const std::string& name, const std::string& value) {
    return "<param name=\"" + name + "\">" + value + "</param>";
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

std::string CaptionCriterion(const std::string& caption, bool exact) {
    if (caption.empty())
        return "";
    return "<criterion name=\"WINDOWCaptionCriterion\" type=\"WINDOWCaptionCriterion\"><params "
           "name=\"params\">" +
           Param("enabled", "yes") + Param("window_caption", caption) +
           Param("exact_search", exact ? "yes" : "no") + "</params></criterion>";
}

std::string ConfigurationText(const std::vector<TestRule>& rules) {
    // Each rule is the default template with its condition and transparency level set.
    std::string text = "<?xml version=\"1.0\"?>\r\n<quenda_windows name=\"Glazlo\">"
                       "<window_rules name=\"window_rules\"><content>";
    for (const TestRule& rule : rules)
        text +=
            "<window_rule name=\"" + rule.Name + "\" type=\"WINDOWRULE\"><params name=\"params\">" +
            Param("name", rule.Name) +
            "</params><conditions name=\"conditions\"><content>"
            "<condition name=\"DefaultCondition\" type=\"CONDITION\"><criterions "
            "name=\"criterions\"><content>"
            "<criterion name=\"WINDOWCLASSNAMECRITERION\" type=\"WINDOWCLASSNAMECRITERION\">"
            "<params name=\"params\">" +
            Param("window_class_name", rule.WindowClass) + "</params></criterion>" +
            CaptionCriterion(rule.Caption, rule.ExactCaption) +
            "</content></criterions></condition></content></conditions>"
            "<actions name=\"actions\"><content>"
            "<action name=\"TransparentWindow\" type=\"TRANSPARENTWINDOWACTION\"><params name=\"params\">" +
            Param("transparency_level", std::to_string(rule.Level)) +
            "</params></action></content></actions></window_rule>";
    return text + "</content></window_rules></quenda_windows>\r\n";
}

CenterSandbox::CenterSandbox() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = fs::path(temp) /
              ("glzcenter" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount()));
    fs::create_directories(folder_);
    for (const char* file : {"GlazloCenter.exe", "glzemb.dll"})
        fs::copy_file(ProgramFolder() / file, folder_ / file, fs::copy_options::overwrite_existing);
    channel_.SetTimeout(3000);
    job_.Reset(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

CenterSandbox::~CenterSandbox() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        Stop(5000);
        if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.Get(), 1);
            WaitForSingleObject(process_.Get(), 5000);
        }
    }
    process_.Reset();
    job_.Reset();
    // The library stays mapped in hooked processes (this one too) until they let it go; what is
    // left then stays in the prefix's temporary folder.
    std::error_code ignored;
    WaitUntil(
        [&] {
            fs::remove_all(folder_, ignored);
            return !fs::exists(folder_);
        },
        200);
}

void CenterSandbox::WriteConfiguration(const std::vector<TestRule>& rules) const {
    std::ofstream(folder_ / "Glazlo.ini", std::ios::binary | std::ios::trunc) << ConfigurationText(rules);
}

void CenterSandbox::WriteConfigurationText(const std::string& text) const {
    std::ofstream(folder_ / "Glazlo.ini", std::ios::binary | std::ios::trunc) << text;
}

void CenterSandbox::RemoveConfiguration() const {
    fs::remove(folder_ / "Glazlo.ini");
}

void CenterSandbox::RemoveFile(const char* name) const {
    fs::remove(folder_ / name);
}

void CenterSandbox::InstallProgram(const char* program, const char* asName) const {
    fs::copy_file(ProgramFolder() / program, folder_ / asName, fs::copy_options::overwrite_existing);
}

bool CenterSandbox::Start(bool expectRunning) {
    startFailure_.clear();
    // Wine's desktop is brought up by this process before any child needs it: started by two
    // processes at once, it can leave a window that is gone as every window's parent, and the
    // next window made ends its process with an X error.
    GetDesktopWindow();
    // One that an earlier test had killed may still be ending: this one would end at once with 2.
    if (expectRunning &&
        !WaitUntil([] { return !TSingleAppInstance(ControlCenterInstanceName).IsOtherInstanceRunning(); },
                   10000)) {
        startFailure_ = "another GlazloCenter still runs";
        return false;
    }
    const std::string program = (folder_ / "GlazloCenter.exe").string();
    TStartedProcess started =
        StartProcess(program, "\"" + program + "\"", folder_.string(), CREATE_SUSPENDED);
    if (!started) {
        startFailure_ = "GlazloCenter.exe could not be started, error " + std::to_string(started.Error);
        return false;
    }
    // In the job before it runs a single instruction.
    AssignProcessToJobObject(job_.Get(), started.Process.Get());
    ResumeThread(started.Thread.Get());
    process_ = std::move(started.Process);
    if (!expectRunning)
        return true;
    // Its main thread waits for input only in the message loop, after the whole start-up.
    const DWORD idle = WaitForInputIdle(process_.Get(), 15000);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process_.Get(), 0) != WAIT_TIMEOUT) {
        GetExitCodeProcess(process_.Get(), &exitCode);
        startFailure_ = "GlazloCenter ended with exit code " + std::to_string(exitCode);
        return false;
    }
    if (idle != 0) {
        startFailure_ = "GlazloCenter had not started after 15 s (" + std::to_string(idle) + ")";
        return false;
    }
    return true;
}

DWORD CenterSandbox::Stop(DWORD timeout) {
    int code = 0;
    std::string reply;
    Send(cmdCloseCenter, {}, code, reply);
    return WaitForExitPumping(process_.Get(), timeout);
}

int CenterSandbox::Send(int code, const std::vector<char>& payload, int& replyCode, std::string& reply) {
    int replySize = 0;
    std::vector<char> data;
    const int result = channel_.SendCommand(code, static_cast<int>(payload.size()), payload.data(), replyCode,
                                            replySize, data);
    reply.assign(data.data(), data.data() + (replySize > 0 ? replySize : 0));
    return result;
}

std::string CenterSandbox::QueryWindow(HWND window, int& replyCode) {
    const std::vector<char> payload = HandlePayload(window);
    std::string reply;
    replyCode = 0;
    if (Send(cmdQueryWindowRule, payload, replyCode, reply) != channelDone)
        replyCode = 0;
    return reply;
}

TestWindow::TestWindow(const std::string& className) : className_(className) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = TestWindowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = className_.c_str();
    RegisterClassA(&cls);
    window_ = CreateWindowExA(0, className_.c_str(), className_.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                              10, 200, 100, nullptr, nullptr, cls.hInstance, nullptr);
}

TestWindow::~TestWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}

WideTextWindow::WideTextWindow(std::wstring className, const std::wstring& caption)
    : className_(std::move(className)) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className_.c_str();
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, className_.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
}

WideTextWindow::~WideTextWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
}

int LayeredAlpha(HWND window) {
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0)
        return -1;
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags) || (flags & LWA_ALPHA) == 0)
        return -1;
    return alpha;
}

namespace {

UniqueHandle StartProgram(const std::string& program, const std::string& commandLine) {
    UniqueHandle process = StartProcess(program, commandLine).Process;
    WaitForInputIdle(process.Get(), 10000);
    return process;
}

} // namespace

HostProcess::HostProcess(const std::string& arguments) {
    const std::string program = (ProgramFolder() / "GlzTargetWindows.exe").string();
    process_ = StartProgram(program, "\"" + program + "\" " + arguments);
}

HostProcess::HostProcess(WineProgram program) : process_(StartProgram("", program.FileName)) {}

HostProcess::~HostProcess() {
    if (process_) {
        TerminateProcess(process_.Get(), 0);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

std::vector<HWND> HostProcess::Windows(const char* className) const {
    std::vector<HWND> found;
    const DWORD id = GetProcessId(process_.Get());
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == id)
            found.push_back(window);
    }
    return found;
}

int CountAtAlpha(const std::vector<HWND>& windows, int alpha) {
    int count = 0;
    for (HWND window : windows)
        count += LayeredAlpha(window) == alpha ? 1 : 0;
    return count;
}

std::vector<char> HandlePayload(HWND window) {
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
    std::vector<char> payload(4);
    std::memcpy(payload.data(), &value, 4);
    return payload;
}

HWND HandlerWindowOf(DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, HandlerWindowClass, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, HandlerWindowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

bool TrayIconExists(HWND owner) {
    // The shell answers a change of an icon it does not hold with failure.
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TraySetting::~TraySetting() {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, SettingsKey, TrayIconValue);
}

void TraySetting::Set(bool shown) const {
    const DWORD value = shown ? 1 : 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, TrayIconValue, REG_DWORD, &value, sizeof value);
}
