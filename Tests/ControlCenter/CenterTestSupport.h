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
struct TestRule {
    std::string Name;
    std::string WindowClass;
    int Level = 60;
};

std::string ConfigurationText(const std::vector<TestRule>& rules);

// GlazloCenter.exe and glzemb.dll from the build folder, laid out with a Glazlo.ini of the
// test's own in a temporary folder, and a channel client to talk to the running program.
class CenterSandbox {
public:
    CenterSandbox();
    ~CenterSandbox();

    void WriteConfiguration(const std::vector<TestRule>& rules) const;
    void RemoveConfiguration() const;
    // Starts GlazloCenter; true once its channel answers (or, with expectRunning false, at once).
    bool Start(bool expectRunning = true);
    HANDLE Process() const { return process_.Get(); }
    // Ends a running GlazloCenter with command 3 and waits; its exit code or WAIT_TIMEOUT.
    DWORD Stop(DWORD timeout = 2000);

    // Sends a command; the channel result (0 done, 1 time-out, 2 error).
    int Send(int code, const std::vector<char>& payload, int& replyCode, std::string& reply);
    // Command 1 for the window: the reply text; replyCode receives the code.
    std::string QueryWindow(HWND window, int& replyCode);

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    UniqueHandle process_;
    TProcessesCommunication channel_;
};

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

// The window's layered alpha; -1 when it is not layered.
int LayeredAlpha(HWND window);
