#include "AppSpecificConsts.h"
#include "CenterTestSupport.h"
#include "Declarations.h"
#include "HookInstallation.h"
#include "SingleAppInstance.h"
#include "uCCModel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char* MatchingClass = "GlzCenterMatching";

class RunningCenter : public ::testing::Test {
protected:
    void SetUp() override {
        center_.WriteConfiguration({{"FirstRule", MatchingClass, 60}});
        ASSERT_TRUE(center_.Start());
    }
    CenterSandbox center_;
};

bool MappingExists(const char* name) {
    UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name));
    return static_cast<bool>(mapping);
}

HWND HandlerWindow() {
    return FindWindowA("GLZ_CommandCenterHandlerWindow", nullptr);
}

TEST_F(RunningCenter, SecondInstanceEndsAtOnceAndTheFirstGoesOn) {
    CenterSandbox second;
    second.WriteConfiguration({});
    ASSERT_TRUE(second.Start(false));
    EXPECT_EQ(WaitForExitPumping(second.Process(), 5000), 0u);
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

TEST_F(RunningCenter, ReloadOfABrokenFileAnswersEmptyAndKeepsServing) {
    TestWindow window(MatchingClass);
    int code = 0;
    std::string reply;
    center_.RemoveConfiguration();
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
    MappedView view = MappedView::Map(mapping.Get(), FILE_MAP_READ, 4);
    ASSERT_TRUE(view);
    std::uint32_t value = 0;
    std::memcpy(&value, view.Get(), 4);
    EXPECT_NE(value, 0u);
}

TEST_F(RunningCenter, RightButtonOnTheTrayIconOpensTheMenu) {
    HWND handler = HandlerWindow();
    ASSERT_NE(handler, nullptr);
    EXPECT_FALSE(IsWindowVisible(handler));
    PostMessageA(handler, TrayCallbackMessage, 0, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            menu = FindWindowA("#32768", nullptr);
            return menu != nullptr && IsWindowVisible(menu);
        },
        5000));
    PostMessageA(handler, WM_CANCELMODE, 0, 0);
}

TEST_F(RunningCenter, CloseCommandEndsWithZeroAndRemovesBothMappings) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(center_.Stop(2000), 0u);
    EXPECT_LT(GetTickCount64() - start, 2500u);
    EXPECT_FALSE(MappingExists(HookMappingName));
    EXPECT_FALSE(MappingExists(ControlCenterInstanceName));
}

ULONGLONG CpuMilliseconds(HANDLE process) {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000;
}

TEST(GlazloCenter, BrokenChannelDoesNotSpinTheServer) {
    // A foreign object under the block's name makes every wait fail at once.
    UniqueHandle squatter(
        CreateEventA(nullptr, FALSE, FALSE, (std::string(ChannelPrefix) + "SharedMemory").c_str()));
    ASSERT_TRUE(squatter);
    CenterSandbox center;
    center.WriteConfiguration({});
    ASSERT_TRUE(center.Start(false));
    ASSERT_TRUE(WaitUntil([] { return HandlerWindow() != nullptr; }, 10000));
    const ULONGLONG before = CpuMilliseconds(center.Process());
    WaitUntil([] { return false; }, 2000);
    EXPECT_LT(CpuMilliseconds(center.Process()) - before, 500u);
    PostMessageA(HandlerWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExitPumping(center.Process(), 5000), 0u);
}

TEST(GlazloCenter, MissingConfigurationEndsSilently) {
    CenterSandbox center;
    ASSERT_TRUE(center.Start(false));
    EXPECT_EQ(WaitForExitPumping(center.Process(), 5000), 0u);
    EXPECT_EQ(HandlerWindow(), nullptr);
    EXPECT_FALSE(MappingExists(HookMappingName));
}

} // namespace
