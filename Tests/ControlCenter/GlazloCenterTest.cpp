#include "AppSpecificConsts.h"
#include "CenterTestSupport.h"
#include "ChannelSquatter.h"
#include "Declarations.h"
#include "HookInstallation.h"
#include "SingleAppInstance.h"
#include "uCCApp.h"
#include "uCCModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <mutex>
#include <utility>

namespace {

constexpr const char* MatchingClass = "GlzCenterMatching";

class RunningCenter : public ::testing::Test {
protected:
    void SetUp() override {
        center_.WriteConfiguration({{"FirstRule", MatchingClass, 60}});
        ASSERT_TRUE(center_.Start()) << center_.StartFailure();
    }
    CenterSandbox center_;
};

// The debug output (OutputDebugString) of the programs on this desktop, read as a debug monitor
// reads it: through the shared buffer and the two events that every writer looks for.
class DebugMonitor {
public:
    DebugMonitor()
        : bufferReady_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY")),
          dataReady_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY")),
          stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, BufferSize,
                                      "DBWIN_BUFFER")) {
        view_ = MapView(mapping_.Get(), FILE_MAP_READ, BufferSize);
        if (view_ && bufferReady_ && dataReady_ && stop_)
            thread_.Reset(CreateThread(nullptr, 0, &DebugMonitor::Body, this, 0, nullptr));
    }
    ~DebugMonitor() {
        SetEvent(stop_.Get());
        if (thread_)
            WaitForSingleObject(thread_.Get(), 5000);
    }
    DebugMonitor(const DebugMonitor&) = delete;
    DebugMonitor& operator=(const DebugMonitor&) = delete;
    bool Reading() const { return static_cast<bool>(thread_); }
    // The lines the process wrote so far, in order.
    std::vector<std::string> Lines(DWORD processId) const {
        const std::lock_guard<std::mutex> lock(lock_);
        std::vector<std::string> lines;
        for (const auto& [writer, line] : lines_)
            if (writer == processId)
                lines.push_back(line);
        return lines;
    }
    // Waits for a line of the process that holds Part, among those after its first Told lines
    // (what it had written before); the lines then.
    std::vector<std::string> WaitForLine(DWORD processId, const std::string& part, size_t told = 0,
                                         DWORD timeout = 5000) const {
        const auto holdsPart = [&](const std::string& line) { return line.find(part) != std::string::npos; };
        std::vector<std::string> lines;
        WaitUntil(
            [&] {
                lines = Lines(processId);
                return lines.size() > told &&
                       std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(told), lines.end(), holdsPart);
            },
            timeout);
        return lines;
    }

private:
    static constexpr DWORD BufferSize = 4096;
    static DWORD WINAPI Body(void* self) noexcept {
        auto* me = static_cast<DebugMonitor*>(self);
        const HANDLE events[] = {me->dataReady_.Get(), me->stop_.Get()};
        SetEvent(me->bufferReady_.Get());
        while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
            const auto* buffer = static_cast<const char*>(me->view_.Get());
            DWORD writer = 0;
            std::memcpy(&writer, buffer, sizeof writer);
            const char* text = buffer + sizeof writer;
            {
                const std::lock_guard<std::mutex> lock(me->lock_);
                me->lines_.emplace_back(writer, std::string(text, strnlen(text, BufferSize - sizeof writer)));
            }
            SetEvent(me->bufferReady_.Get());
        }
        return 0;
    }
    UniqueHandle bufferReady_;
    UniqueHandle dataReady_;
    UniqueHandle stop_;
    UniqueHandle mapping_;
    MappedView view_;
    UniqueHandle thread_;
    mutable std::mutex lock_;
    std::vector<std::pair<DWORD, std::string>> lines_;
};

bool MappingExists(const char* name) {
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name));
    return static_cast<bool>(mapping);
}

TEST_F(RunningCenter, SecondInstanceEndsAtOnceAndTheFirstGoesOn) {
    CenterSandbox second;
    second.WriteConfiguration({});
    ASSERT_TRUE(second.Start(false));
    EXPECT_EQ(WaitForExitPumping(second.Process(), 5000), static_cast<DWORD>(TCenterExit::AlreadyRunning));
    int code = 0;
    std::string reply;
    EXPECT_EQ(center_.Send(cmdQueryWindowRule, std::vector<char>(8), code, reply), channelDone);
    EXPECT_EQ(code, -1);
}

TEST_F(RunningCenter, QueryForAMatchingWindowAnswersItsRuleText) {
    TestWindow window(MatchingClass);
    int code = 0;
    const std::string text = center_.QueryWindow(window.Handle(), code);
    EXPECT_EQ(code, 1);
    // The same model loaded here writes the text the program must answer.
    ApplicationFolder = center_.Folder().string() + "\\";
    ConfigFileName = DefaultConfigFileName;
    ComPtr<IBOMObjectSlave> root = LoadConfigurationRoot();
    ASSERT_TRUE(root);
    const std::string expected = FindRuleText(ControlCenterOf(root.Get()).Get(), window.Handle());
    ReleaseConfigurationRoot(root);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(text, expected);
}

TEST_F(RunningCenter, QueryForAWindowWithoutRuleAnswersEmpty) {
    TestWindow window("GlzCenterOther");
    int code = 0;
    EXPECT_EQ(center_.QueryWindow(window.Handle(), code), "");
    EXPECT_EQ(code, 1);
}

TEST_F(RunningCenter, QueryWithEightBytesAnswersMinusOne) {
    int code = 0;
    std::string reply;
    ASSERT_EQ(center_.Send(cmdQueryWindowRule, std::vector<char>(8), code, reply), channelDone);
    EXPECT_EQ(code, -1);
    EXPECT_EQ(reply, "");
}

TEST_F(RunningCenter, UnknownCodeGetsNoReplyAndTheNextCommandIsServed) {
    int code = 0;
    std::string reply;
    EXPECT_EQ(center_.Send(5, {}, code, reply), channelTimeout);
    EXPECT_EQ(center_.Send(cmdQueryWindowRule, std::vector<char>(8), code, reply), channelDone);
    EXPECT_EQ(code, -1);
}

// The configuration program's channel has no rules: a window query there is an unknown code,
// never a "no rule" for a window that has one.
TEST_F(RunningCenter, ConfigurationChannelLeavesWindowQueriesUnanswered) {
    TestWindow window(MatchingClass);
    TProcessesCommunication control(ControlChannelPrefix);
    const std::vector<char> payload = HandlePayload(window.Handle());
    int code = 0;
    int size = 0;
    std::vector<char> reply;
    EXPECT_EQ(control.SendCommand(cmdQueryWindowRule, 4, payload.data(), code, size, reply), channelTimeout);
    EXPECT_EQ(control.SendCommand(cmdReloadSettings, 0, nullptr, code, size, reply), channelDone);
    EXPECT_EQ(code, replyDone);
    EXPECT_NE(center_.QueryWindow(window.Handle(), code).find("WINDOWRULENAME=FirstRule"), std::string::npos);
}

TEST_F(RunningCenter, ReloadAfterTheFileChangedChangesTheAnswers) {
    TestWindow window("GlzCenterLater");
    int code = 0;
    EXPECT_EQ(center_.QueryWindow(window.Handle(), code), "");
    center_.WriteConfiguration({{"LaterRule", "GlzCenterLater", 40}});
    std::string reply;
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(WaitUntil([&] { return !center_.QueryWindow(window.Handle(), code).empty(); }, 5000));
    TestWindow first(MatchingClass);
    EXPECT_EQ(center_.QueryWindow(first.Handle(), code), "");
}

// Each is also told in the debug output, with its cause.
TEST_F(RunningCenter, ReloadOfAFileThatDoesNotLoadKeepsTheRulesInForce) {
    const DebugMonitor monitor;
    ASSERT_TRUE(monitor.Reading());
    TestWindow window(MatchingClass);
    int code = 0;
    const std::string before = center_.QueryWindow(window.Handle(), code);
    ASSERT_FALSE(before.empty());
    std::string reply;
    const std::filesystem::path file = center_.Folder() / "Glazlo.ini";
    const std::pair<std::function<void()>, const char*> broken[] = {
        {[&] { center_.WriteConfigurationText("<quenda_windows><window_rules>"); }, "is not well-formed XML"},
        {[&] { center_.WriteConfigurationText(""); }, "is not well-formed XML"},
        {[&] { center_.RemoveConfiguration(); }, "is missing"},
        {[&] { std::filesystem::create_directory(file); }, "is not a regular file"},
        {[&] {
             std::filesystem::remove(file);
             center_.WriteConfiguration({{"Huge", "GlzCenterHuge"}});
             std::filesystem::resize_file(file, MaxConfigurationFileSize + 1);
         },
         "is larger than 64 MiB"},
    };
    // The server takes one command at a time: the query after each reload sees its outcome.
    for (const auto& [breakFile, cause] : broken) {
        const size_t told = monitor.Lines(center_.ProcessId()).size();
        breakFile();
        ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
        std::string after;
        EXPECT_TRUE(
            WaitUntil([&] { return after = center_.QueryWindow(window.Handle(), code), code == 1; }, 5000));
        EXPECT_EQ(after, before) << cause;
        const std::vector<std::string> lines = monitor.WaitForLine(center_.ProcessId(), cause, told);
        ASSERT_EQ(lines.size(), told + 1) << cause;
        EXPECT_EQ(lines.back().rfind("Glazlo: ", 0), 0u) << lines.back();
        EXPECT_NE(lines.back().find(cause), std::string::npos) << lines.back();
    }
    std::filesystem::remove(file);
    // A file that loads again replaces them.
    center_.WriteConfiguration({{"LaterRule", "GlzCenterLater", 40}});
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    EXPECT_TRUE(
        WaitUntil([&] { return center_.QueryWindow(window.Handle(), code).empty() && code == 1; }, 5000));
}

// A thread whose matching window stops taking messages.
class HungWindowThread {
public:
    HungWindowThread() : release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_.Reset(CreateThread(nullptr, 0, &HungWindowThread::Body, this, 0, nullptr));
        WaitUntil([&] { return window_.load() != nullptr; }, 5000);
    }
    ~HungWindowThread() {
        SetEvent(release_.Get());
        WaitForSingleObject(thread_.Get(), 5000);
    }

private:
    static DWORD WINAPI Body(void* self) noexcept {
        auto* me = static_cast<HungWindowThread*>(self);
        TestWindow window(MatchingClass);
        me->window_ = window.Handle();
        WaitForSingleObject(me->release_.Get(), 30000);
        return 0;
    }
    UniqueHandle release_;
    UniqueHandle thread_;
    std::atomic<HWND> window_{nullptr};
};

TEST_F(RunningCenter, HungWindowDoesNotStopTheServer) {
    HungWindowThread hung;
    int code = 0;
    std::string reply;
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    // The announcement gives up on the hung window after its bound; then queries are served again.
    TestWindow other("GlzCenterOther");
    EXPECT_TRUE(WaitUntil([&] { return center_.QueryWindow(other.Handle(), code), code == 1; }, 8000));
}

TEST_F(RunningCenter, HookMappingHoldsTheHookHandleWhileRunning) {
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, HookMappingName));
    ASSERT_TRUE(mapping);
    MappedView view = MapView(mapping.Get(), FILE_MAP_READ, 4);
    ASSERT_TRUE(view);
    std::uint32_t value = 0;
    std::memcpy(&value, view.Get(), 4);
    EXPECT_NE(value, 0u);
}

// A visible popup menu shown by a thread of the process.
HWND PopupMenuOf(DWORD processId) {
    for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu != nullptr;
         menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == processId && IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

// Opens the tray menu by the icon's callback and picks an item by the keyboard, as a user would.
bool ChooseTrayMenuItem(HWND handler, DWORD processId, UINT key) {
    PostMessageA(handler, TrayCallbackMessage, 0, WM_RBUTTONDOWN);
    if (!WaitUntil([&] { return PopupMenuOf(processId) != nullptr; }, 5000))
        return false;
    PostMessageA(handler, WM_KEYDOWN, key, 0);
    PostMessageA(handler, WM_KEYDOWN, VK_RETURN, 0);
    return WaitUntil([&] { return PopupMenuOf(processId) == nullptr; }, 5000);
}

TEST_F(RunningCenter, RightButtonOnTheTrayIconOpensItsOwnMenu) {
    HWND handler = HandlerWindowOf(center_.ProcessId());
    ASSERT_NE(handler, nullptr);
    EXPECT_FALSE(IsWindowVisible(handler));
    ASSERT_EQ(PopupMenuOf(center_.ProcessId()), nullptr);
    PostMessageA(handler, TrayCallbackMessage, 0, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return PopupMenuOf(center_.ProcessId()) != nullptr; }, 5000));
    PostMessageA(handler, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return PopupMenuOf(center_.ProcessId()) == nullptr; }, 5000));
    EXPECT_EQ(WaitForSingleObject(center_.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(RunningCenter, TrayMenuCloseItemEndsTheProgram) {
    HWND handler = HandlerWindowOf(center_.ProcessId());
    ASSERT_NE(handler, nullptr);
    // The first item from the top.
    ASSERT_TRUE(ChooseTrayMenuItem(handler, center_.ProcessId(), VK_DOWN));
    EXPECT_EQ(WaitForExitPumping(center_.Process(), 5000), 0u);
    EXPECT_FALSE(MappingExists(HookMappingName));
}

TEST_F(RunningCenter, TrayMenuConfigureItemStartsTheConfigurationProgram) {
    const DebugMonitor monitor;
    ASSERT_TRUE(monitor.Reading());
    HWND handler = HandlerWindowOf(center_.ProcessId());
    ASSERT_NE(handler, nullptr);
    // Without the program beside GlazloCenter nothing starts, and the debug output tells why.
    // The last item, counted from the bottom.
    ASSERT_TRUE(ChooseTrayMenuItem(handler, center_.ProcessId(), VK_UP));
    const std::vector<std::string> lines = monitor.WaitForLine(center_.ProcessId(), "GlazloConfig.exe");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.back().rfind("Glazlo: ", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find("could not be opened"), std::string::npos) << lines.back();

    center_.InstallProgram("GlzStandIn.exe", "GlazloConfig.exe");
    ASSERT_TRUE(ChooseTrayMenuItem(handler, center_.ProcessId(), VK_UP));
    const auto started = center_.Folder() / "GlazloConfig.exe.started";
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(started); }, 10000));
    EXPECT_EQ(WaitForSingleObject(center_.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(RunningCenter, SettingsCommandRereadsTheTraySetting) {
    TraySetting setting;
    HWND handler = HandlerWindowOf(center_.ProcessId());
    ASSERT_NE(handler, nullptr);
    ASSERT_TRUE(TrayIconExists(handler));
    int code = 0;
    std::string reply;
    setting.Set(false);
    ASSERT_EQ(center_.Send(cmdReloadSettings, {}, code, reply), channelDone);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconExists(handler); }, 5000));
    setting.Set(true);
    ASSERT_EQ(center_.Send(cmdReloadSettings, {}, code, reply), channelDone);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(handler); }, 5000));
}

TEST_F(RunningCenter, CloseAfterThousandsOfAnsweredQueriesIsNotHeldUpByTheFlash) {
    HostProcess host("A:" + std::string(MatchingClass));
    ASSERT_TRUE(host.Started());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return !host.Windows(MatchingClass).empty(); }, 5000));
    window = host.Windows(MatchingClass).front();
    const std::vector<char> payload = HandlePayload(window);
    int answered = 0;
    for (int i = 0; i < 3000; ++i) {
        int code = 0;
        std::string reply;
        if (center_.Send(cmdQueryWindowRule, payload, code, reply) == channelDone && code == 1 &&
            !reply.empty())
            ++answered;
    }
    EXPECT_EQ(answered, 3000);
    // The close is taken as soon as it arrives: the handler window goes at once. The shutdown
    // after it (unhooking, telling every window) is not what a backlog would hold up, and under
    // load the end of the process alone can take longer than the close itself.
    HWND handler = HandlerWindowOf(center_.ProcessId());
    ASSERT_NE(handler, nullptr);
    int code = 0;
    std::string reply;
    ASSERT_EQ(center_.Send(cmdCloseCenter, {}, code, reply), channelDone);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(handler); }, 2000));
    EXPECT_EQ(WaitForExitPumping(center_.Process(), 5000), 0u);
}

TEST_F(RunningCenter, SessionEndWithoutItsQueryRunsTheWholeShutdown) {
    HostProcess host("A:" + std::string(MatchingClass));
    ASSERT_TRUE(host.Started());
    ASSERT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows(MatchingClass), 153) == 1; }, 10000));
    HWND handler = HandlerWindowOf(center_.ProcessId());
    ASSERT_NE(handler, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(handler, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &ignored);
    EXPECT_EQ(WaitForExitPumping(center_.Process(), 5000), 0u);
    EXPECT_FALSE(MappingExists(HookMappingName));
    // The extenders went down with the program: the window is as it was before the rule.
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows(MatchingClass), -1) == 1; }, 5000));
}

TEST_F(RunningCenter, CloseCommandEndsWithZeroAndRemovesBothMappings) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(center_.Stop(2000), 0u);
    EXPECT_LT(GetTickCount64() - start, 2500u);
    EXPECT_FALSE(MappingExists(HookMappingName));
    EXPECT_FALSE(MappingExists(ControlCenterInstanceName));
}

TEST(CenterText, RulesOfAnyScriptMatchOnlyTheirOwnWindows) {
    // A hand-written file in UTF-8 with names, classes and a caption outside the ANSI code page.
    // Units that neither UTF-8 nor XML carry are written as U+FDD0 and their four hex digits.
    CenterSandbox center;
    center.WriteConfigurationText(ConfigurationText({{"\u6F22\u5B57", "\u6F22\u5B57Class", 40},
                                                     {"\u4E2D\u6587", "\u4E2D\u6587Class", 60},
                                                     {"\u0393\u03B5\u03B9\u03AC", "GlzCenterGreek", 80,
                                                      "\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1"},
                                                     {"Replacement", "G\uFFFDClass"},
                                                     {"High", "G\uFDD0D800Class"},
                                                     {"Noncharacter", "G\uFDD0FFFFClass"},
                                                     {"Marked", "G\uFDD0FDD0FFFFClass"}}));
    ASSERT_TRUE(center.Start()) << center.StartFailure();
    WideTextWindow kanji(L"\u6F22\u5B57Class", L"");
    WideTextWindow chinese(L"\u4E2D\u6587Class", L"");
    WideTextWindow greek(L"GlzCenterGreek", L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1");
    WideTextWindow otherGreek(L"GlzCenterGreek", L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B9");
    // Classes that differ only in an unpaired surrogate or U+FFFD are different classes.
    WideTextWindow replacement(L"G\uFFFDClass", L"");
    const std::wstring highClass = L"G" + std::wstring(1, wchar_t(0xD800)) + L"Class";
    const std::wstring lowClass = L"G" + std::wstring(1, wchar_t(0xDFFF)) + L"Class";
    WideTextWindow high(highClass, L"");
    WideTextWindow low(lowClass, L"");
    WideTextWindow noncharacter(L"G\uFFFFClass", L"");
    WideTextWindow marked(L"G\uFDD0FFFFClass", L"");
    int code = 0;
    EXPECT_EQ(center.QueryWindow(kanji.Handle(), code).rfind("\\WINDOWRULENAME=\u6F22\u5B57\\", 0), 0u);
    EXPECT_EQ(center.QueryWindow(chinese.Handle(), code).rfind("\\WINDOWRULENAME=\u4E2D\u6587\\", 0), 0u);
    EXPECT_EQ(
        center.QueryWindow(greek.Handle(), code).rfind("\\WINDOWRULENAME=\u0393\u03B5\u03B9\u03AC\\", 0), 0u);
    EXPECT_EQ(center.QueryWindow(otherGreek.Handle(), code), "");
    EXPECT_EQ(center.QueryWindow(replacement.Handle(), code).rfind("\\WINDOWRULENAME=Replacement\\", 0), 0u);
    EXPECT_EQ(center.QueryWindow(high.Handle(), code).rfind("\\WINDOWRULENAME=High\\", 0), 0u);
    EXPECT_EQ(center.QueryWindow(low.Handle(), code), "");
    EXPECT_EQ(center.QueryWindow(noncharacter.Handle(), code).rfind("\\WINDOWRULENAME=Noncharacter\\", 0),
              0u);
    EXPECT_EQ(center.QueryWindow(marked.Handle(), code).rfind("\\WINDOWRULENAME=Marked\\", 0), 0u);
    EXPECT_EQ(code, 1);
}

// Start-up failures end silently, each with its own exit code.
class FailedStart : public ::testing::Test {
protected:
    DWORD ExitOfStart() {
        if (!center_.Start(false))
            return WAIT_FAILED;
        const DWORD code = WaitForExitPumping(center_.Process(), 10000);
        EXPECT_EQ(HandlerWindowOf(center_.ProcessId()), nullptr);
        EXPECT_FALSE(MappingExists(HookMappingName));
        return code;
    }
    CenterSandbox center_;
};

TEST_F(FailedStart, MissingConfiguration) {
    EXPECT_EQ(ExitOfStart(), static_cast<DWORD>(TCenterExit::ConfigMissing));
}

TEST_F(FailedStart, ConfigurationThatDoesNotParse) {
    center_.WriteConfigurationText("<quenda_windows name=\"Glazlo\"><window_rules");
    EXPECT_EQ(ExitOfStart(), static_cast<DWORD>(TCenterExit::ConfigUnreadable));
}

TEST_F(FailedStart, ConfigurationThatIsAFolder) {
    std::filesystem::create_directory(center_.Folder() / "Glazlo.ini");
    EXPECT_EQ(ExitOfStart(), static_cast<DWORD>(TCenterExit::ConfigNotAFile));
}

TEST_F(FailedStart, ConfigurationFarLargerThanAnyRuleSet) {
    {
        std::ofstream file(center_.Folder() / "Glazlo.ini", std::ios::binary);
        file << ConfigurationText({{"Rule", "GlzCenterHuge"}});
    }
    std::filesystem::resize_file(center_.Folder() / "Glazlo.ini", MaxConfigurationFileSize + 1);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(ExitOfStart(), static_cast<DWORD>(TCenterExit::ConfigNotAFile));
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

TEST_F(FailedStart, MissingHookLibrary) {
    center_.WriteConfiguration({{"Rule", MatchingClass}});
    center_.RemoveFile("glzemb.dll");
    EXPECT_EQ(ExitOfStart(), static_cast<DWORD>(TCenterExit::HookLibraryMissing));
}

// Another process of the user that took the channel's names first, or keeps its lock, leaves
// GlazloCenter no channel that anybody could reach.
TEST(FailedStartOnTheChannel, NamesTakenOrHeldByAnotherProcess) {
    const std::pair<const char*, const char*> cases[] = {
        {ChannelPrefix, "small-block"},
        {ChannelPrefix, "wrong-kind:NewCommandEvent"},
        {ChannelPrefix, "hold-lock"},
        {ControlChannelPrefix, "hold-lock"},
        {ChannelPrefix, "manual-event:NewCommandEvent"},
        {ControlChannelPrefix, "manual-event:NewCommandEvent"},
        {ChannelPrefix, "manual-event:CommandCompleteEvent"}};
    for (const auto& [prefix, how] : cases) {
        const TChannelSquatter squatter(prefix, how);
        ASSERT_TRUE(squatter.Holds()) << prefix << " " << how;
        CenterSandbox center;
        center.WriteConfiguration({{"Rule", MatchingClass}});
        ASSERT_TRUE(center.Start(false)) << prefix << " " << how;
        EXPECT_EQ(WaitForExitPumping(center.Process(), 10000),
                  static_cast<DWORD>(TCenterExit::ChannelUnusable))
            << prefix << " " << how;
        EXPECT_FALSE(MappingExists(HookMappingName)) << prefix << " " << how;
    }
}

} // namespace
