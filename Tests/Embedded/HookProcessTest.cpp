#include "uEAHookProc.h"

#include "Embedded/EmbTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr UINT QueryMessage = WM_APP + 100;
constexpr LRESULT ProbeReply = 0x600D;

std::string BinFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string HelperCommand(const char* program, const char* arguments) {
    std::string line = "\"";
    line += BinFolder();
    line += program;
    line += "\" ";
    line += arguments;
    return line;
}

struct TChild {
    PROCESS_INFORMATION info{};
    explicit TChild(const std::string& commandLine) {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        std::string line = commandLine;
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, BinFolder().c_str(),
                       &startup, &info);
    }
    ~TChild() {
        if (info.hProcess != nullptr) {
            if (WaitForSingleObject(info.hProcess, 5000) != WAIT_OBJECT_0)
                TerminateProcess(info.hProcess, 1); // a test helper that hangs is the failure
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    bool Started() const { return info.hProcess != nullptr; }
};

struct TEvent {
    HANDLE handle;
    explicit TEvent(const char* name) : handle(CreateEventA(nullptr, TRUE, FALSE, name)) {}
    ~TEvent() { CloseHandle(handle); }
};

LRESULT Query(HWND window, WPARAM what, UINT timeout = 2000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, QueryMessage, what, 0, SMTO_NORMAL, timeout, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

} // namespace

TEST(ExclusionListTest, HoldsThirtyFourNamesBetweenSemicolons) {
    const std::string list = ExclusionList;
    EXPECT_EQ(591u, list.size());
    size_t names = 0;
    for (size_t at = 0; at < list.size(); at = list.find(';', at + 1) + 1)
        ++names;
    EXPECT_EQ(34u, names);
    EXPECT_TRUE(IsExcludedClass("tooltips_class32"));
    EXPECT_TRUE(IsExcludedClass("OleMainThreadWndClass 0x######## "));
    EXPECT_TRUE(IsExcludedClass("#43"));
}

TEST(ExclusionListTest, ComparesWholeNamesWithCase) {
    EXPECT_TRUE(IsExcludedClass("IME"));
    EXPECT_FALSE(IsExcludedClass("IMEX"));
    EXPECT_FALSE(IsExcludedClass("Tooltips_class32"));
    EXPECT_FALSE(IsExcludedClass("Notepad"));
}

TEST(CallProcHookTest, NegativeCodeOnlyPassesOn) {
    CWPSTRUCT record{0, 0, WM_CREATE, nullptr};
    EXPECT_EQ(0, CallProcHook(-1, 0, reinterpret_cast<LPARAM>(&record)));
}

TEST(HookProcessTest, HostWindowsKeepWorkingWhileHookedAndAfterUnhook) {
    TEvent ready("GlzTestHookReady");
    TEvent stop("GlzTestHookStop");
    TChild host(HelperCommand("GlzTargetWindows.exe", "A:GlzHostAnsi W:GlzHostWide"));
    ASSERT_TRUE(host.Started());
    HWND ansi = nullptr;
    HWND wide = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            ansi = FindWindowA("GlzHostAnsi", nullptr);
            wide = FindWindowA("GlzHostWide", nullptr);
            return ansi != nullptr && wide != nullptr;
        },
        10000));
    {
        TChild installer(HelperCommand("GlzHookInstaller.exe", "GlzTestHookReady GlzTestHookStop"));
        ASSERT_TRUE(installer.Started());
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready.handle, 10000));
        // The system loads the library into the host with the first message sent there.
        EXPECT_TRUE(WaitUntil([&] { return Query(ansi, 0) == 1; }, 5000));
        EXPECT_EQ(ProbeReply, Query(wide, 1));
        // A new window goes through the hook's attach path and the host stays responsive.
        const auto created = reinterpret_cast<HWND>(Query(ansi, 2, 5000));
        EXPECT_NE(nullptr, created);
        EXPECT_EQ(ProbeReply, Query(created, 1));
        EXPECT_TRUE(IsWindowUnicode(wide));
        SetEvent(stop.handle);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(installer.info.hProcess, 10000));
    }
    EXPECT_EQ(ProbeReply, Query(ansi, 1));
    EXPECT_EQ(ProbeReply, Query(wide, 1));
    EXPECT_NE(nullptr, reinterpret_cast<HWND>(Query(wide, 2)));
    PostMessageA(ansi, WM_QUIT, 0, 0);
    PostThreadMessageA(host.info.dwThreadId, WM_QUIT, 0, 0);
}
