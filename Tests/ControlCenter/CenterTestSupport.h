#pragma once

#include "ChildProcess.h"
#include "Embedded/EmbTestSupport.h"
#include "Handles.h"
#include "ProcessesCommunication.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

// One rule of a test configuration: windows of the class get the transparency level on creation.
// A caption, when given, must match as well: exactly, or as a part of the window's caption.
struct TestRule {
    TestRule(std::string name, std::string windowClass, int level = 60, std::string caption = "",
             bool exactCaption = true)
        : Name(std::move(name)), WindowClass(std::move(windowClass)), Level(level),
          Caption(std::move(caption)), ExactCaption(exactCaption) {}
    std::string Name;
    std::string WindowClass;
    int Level;
    std::string Caption;
    bool ExactCaption;
};

std::string ConfigurationText(const std::vector<TestRule>& rules);

// GlazloCenter.exe and glzemb.dll from the build folder, laid out with a Glazlo.ini of the
// test's own in a temporary folder, and a channel client to talk to the running program.
class CenterSandbox {
public:
    CenterSandbox();
    ~CenterSandbox();

    void WriteConfiguration(const std::vector<TestRule>& rules) const;
    void WriteConfigurationText(const std::string& text) const;
    void RemoveConfiguration() const;
    void RemoveFile(const char* name) const;
    // Copies a program of the build folder into the sandbox under another name.
    void InstallProgram(const char* program, const char* asName) const;
    // Starts GlazloCenter; with expectRunning, true once its main thread waits for input (it then
    // runs its message loop), else at once. It ends with this object or this test program.
    // With expectRunning it first waits, up to 10 s, for an earlier GlazloCenter to end.
    bool Start(bool expectRunning = true);
    // Why the last Start answered false.
    const std::string& StartFailure() const { return startFailure_; }
    HANDLE Process() const { return process_.Get(); }
    DWORD ProcessId() const { return GetProcessId(process_.Get()); }
    // Ends a running GlazloCenter with command 3 and waits; its exit code or WAIT_TIMEOUT.
    DWORD Stop(DWORD timeout = 2000);

    // Sends a command; the channel result (0 done, 1 time-out, 2 error).
    int Send(int code, const std::vector<char>& payload, int& replyCode, std::string& reply);
    // Command 1 for the window: the reply text; replyCode receives the code.
    std::string QueryWindow(HWND window, int& replyCode);

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    // Kills GlazloCenter when the last handle goes, also when this program dies.
    UniqueHandle job_;
    UniqueHandle process_;
    TProcessesCommunication channel_;
    std::string startFailure_;
};

// A program that ships with Wine, by its file name ("notepad.exe", "winemine.exe").
struct WineProgram {
    const char* FileName;
};

// GlzTargetWindows from the build folder with the given arguments, or a program of Wine's;
// ended with the object.
class HostProcess {
public:
    explicit HostProcess(const std::string& arguments);
    explicit HostProcess(WineProgram program);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    bool Started() const { return static_cast<bool>(process_); }
    DWORD ProcessId() const { return GetProcessId(process_.Get()); }
    // Its top-level windows of the class.
    std::vector<HWND> Windows(const char* className) const;

private:
    UniqueHandle process_;
};

// How many of the windows are layered at the alpha (-1: how many are not layered at all).
int CountAtAlpha(const std::vector<HWND>& windows, int alpha);

// A visible top-level window of this thread with its own class.
class TestWindow {
public:
    explicit TestWindow(const std::string& className);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    std::string className_;
    HWND window_ = nullptr;
};

// A visible top-level window of this thread whose class name and caption are wide text.
class WideTextWindow {
public:
    WideTextWindow(std::wstring className, const std::wstring& caption);
    ~WideTextWindow();
    WideTextWindow(const WideTextWindow&) = delete;
    WideTextWindow& operator=(const WideTextWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    std::wstring className_;
    HWND window_ = nullptr;
};

// The window's layered alpha; -1 when it is not layered.
int LayeredAlpha(HWND window);

// The 4-byte payload of a window query.
std::vector<char> HandlePayload(HWND window);
// GlazloCenter's hidden handler window in the process; null when it has none.
HWND HandlerWindowOf(DWORD processId);
// Whether the shell holds the tray icon of the handler window.
bool TrayIconExists(HWND owner);

// The tray setting for one test; absent again afterwards.
class TraySetting {
public:
    TraySetting() = default;
    TraySetting(const TraySetting&) = delete;
    TraySetting& operator=(const TraySetting&) = delete;
    ~TraySetting();
    void Set(bool shown) const;
};
