#include "CenterTestSupport.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

std::string Param(const std::string& name, const std::string& value) {
    return "<param name=\"" + name + "\">" + value + "</param>";
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

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
            Param("window_class_name", rule.WindowClass) +
            "</params></criterion></content></criterions></condition></content></conditions>"
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
}

CenterSandbox::~CenterSandbox() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        Stop(5000);
        if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.Get(), 1);
    }
    process_.Reset();
    // The library stays mapped in hooked processes (this one too) until they let it go.
    std::error_code ignored;
    WaitUntil(
        [&] {
            fs::remove_all(folder_, ignored);
            return !fs::exists(folder_);
        },
        1000);
}

void CenterSandbox::WriteConfiguration(const std::vector<TestRule>& rules) const {
    std::ofstream(folder_ / "Glazlo.ini", std::ios::binary | std::ios::trunc) << ConfigurationText(rules);
}

void CenterSandbox::RemoveConfiguration() const {
    fs::remove(folder_ / "Glazlo.ini");
}

bool CenterSandbox::Start(bool expectRunning) {
    const std::string program = (folder_ / "GlazloCenter.exe").string();
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.string().c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    if (!expectRunning)
        return true;
    // Ready when a query with a wrong size is answered.
    return WaitUntil(
        [&] {
            int code = 0;
            std::string reply;
            return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT &&
                   Send(cmdQueryWindowRule, std::vector<char>(8), code, reply) == channelDone && code == -1;
        },
        15000);
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
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
    std::vector<char> payload(4);
    std::memcpy(payload.data(), &value, 4);
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
