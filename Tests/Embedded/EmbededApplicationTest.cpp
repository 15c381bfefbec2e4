#include "Declarations.h"
#include "uEAHookProc.h"
#include "uEAStartup.h"
#include "uEAThread.h"
#include "AppSpecificConsts.h"
#include "uEmbededApplication.h"
#include "uHooks.h"

#include "Embedded/EmbTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The hook for this thread only, as the system would call it for this process.
class EmbededApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, CallProcHook, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, hook_);
        application_ = EmbededApplication();
        ASSERT_TRUE(application_);
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook_);
        for (HWND window : windows_)
            DestroyWindow(window);
        WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000);
    }
    HWND Make(DWORD style, HWND parent = nullptr, const char* className = "STATIC") {
        HWND window = CreateWindowExA(0, className, "x", style, 0, 0, 50, 50, parent, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
        return window;
    }
    HHOOK hook_ = nullptr;
    TEmbededApplicationPtr application_;
    std::vector<HWND> windows_;
};

} // namespace

TEST_F(EmbededApplicationTest, FetchWithoutRuleRemovesWindowSoALaterAttachAsksAgain) {
    HWND window = Make(WS_OVERLAPPED);
    EXPECT_TRUE(WaitUntil(
        [&] { return !application_->InWindows(window) && TEAThread::RunningWorkers() == 0; }, 8000));
    SendMessageA(window, AttachWindowMessage, 0, 0);
    EXPECT_TRUE(application_->InWindows(window) || TEAThread::RunningWorkers() > 0);
    EXPECT_TRUE(WaitUntil(
        [&] { return !application_->InWindows(window) && TEAThread::RunningWorkers() == 0; }, 8000));
}

TEST_F(EmbededApplicationTest, ChildWindowIsNotAttachedOnCreate) {
    HWND parent = Make(WS_OVERLAPPED);
    WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000);
    HWND child = Make(WS_CHILD, parent);
    EXPECT_FALSE(application_->InWindows(child));
    EXPECT_EQ(0, TEAThread::RunningWorkers());
}

TEST_F(EmbededApplicationTest, WindowOfAnotherProcessIsIgnored) {
    WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000);
    HWND desktop = GetDesktopWindow(); // owned by the desktop's own process
    CWPSTRUCT record{0, 0, AttachWindowMessage, desktop};
    CallProcHook(0, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_FALSE(application_->InWindows(desktop));
    EXPECT_EQ(0, TEAThread::RunningWorkers());
}

TEST_F(EmbededApplicationTest, RuleIsHandedToTheWindowsOwnThread) {
    HWND window = Make(WS_OVERLAPPED);
    std::atomic<int> outcome{-1};
    std::thread worker([&] { outcome = application_->HandOver(window, "\\WINDOWRULENAME=r") ? 1 : 0; });
    EXPECT_TRUE(WaitUntil([&] { return outcome >= 0; }, 8000));
    worker.join();
    EXPECT_EQ(1, outcome);
}

TEST_F(EmbededApplicationTest, HandOverNotTakenIsDroppedAndLateDeliveryFindsNothing) {
    HWND window = Make(WS_OVERLAPPED);
    UnhookWindowsHookEx(hook_); // the window's thread no longer runs the hook
    hook_ = nullptr;
    std::atomic<int> outcome{-1};
    std::thread worker([&] { outcome = application_->HandOver(window, "\\WINDOWRULENAME=r") ? 1 : 0; });
    EXPECT_TRUE(WaitUntil([&] { return outcome >= 0; }, 8000));
    worker.join();
    EXPECT_EQ(0, outcome);
    // A delivery that comes after the worker gave up applies nothing.
    application_->ApplyPending(window, 1);
    EXPECT_FALSE(application_->IsAttached(window));
}

TEST_F(EmbededApplicationTest, HostStaysResponsiveWithNoServer) {
    const DWORD start = GetTickCount();
    HWND window = Make(WS_OVERLAPPED);
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result));
    // Creation and messages do not wait for the fetch; the worker gives up within its sends.
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(application_->InWindows(window));
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000));
    EXPECT_FALSE(application_->InWindows(window));
}

TEST_F(EmbededApplicationTest, WindowDestroyedWhileRuleInFlightLeavesNothingBehind) {
    HWND window = Make(WS_OVERLAPPED);
    ASSERT_TRUE(application_->InWindows(window));
    DestroyWindow(window);
    windows_.clear();
    // The rule arrives after the window is gone.
    std::atomic<int> outcome{-1};
    std::thread worker([&] {
        outcome =
            application_->HandOver(window, "\\WINDOWRULENAME=r\\ACTION=STAYONTOPACTION{\\NAME=s\\}") ? 1 : 0;
        application_->EndFetch(window);
    });
    EXPECT_TRUE(WaitUntil([&] { return outcome >= 0; }, 8000));
    worker.join();
    application_->Apply(window, "\\WINDOWRULENAME=r\\ACTION=STAYONTOPACTION{\\NAME=s\\}");
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000));
    EXPECT_FALSE(application_->InWindows(window));
    EXPECT_EQ(0, application_->ExtenderCount());
    EXPECT_EQ(0, LiveHookEntries());
}

TEST_F(EmbededApplicationTest, RuleAppliedOnOwnThreadSubclassesAndDetachMessageRestores) {
    HWND window = Make(WS_OVERLAPPED);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    std::atomic<int> outcome{-1};
    std::thread worker([&] {
        outcome =
            application_->HandOver(window, "\\WINDOWRULENAME=r\\ACTION=STAYONTOPACTION{\\NAME=s\\}") ? 1 : 0;
    });
    EXPECT_TRUE(WaitUntil([&] { return outcome >= 0; }, 8000));
    worker.join();
    ASSERT_EQ(1, outcome);
    EXPECT_TRUE(application_->IsAttached(window));
    EXPECT_NE(original, GetWindowLongPtrA(window, GWLP_WNDPROC));
    SendMessageA(window, DetachExtenderMessage, 0, 0);
    EXPECT_FALSE(application_->IsAttached(window));
    EXPECT_FALSE(application_->InWindows(window));
    EXPECT_EQ(original, GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_EQ(0, LiveHookEntries());
}

namespace {
int chainCalls = 0;
LRESULT CALLBACK ChainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++chainCalls;
    return DefWindowProcA(window, msg, wParam, lParam);
}
} // namespace

TEST_F(EmbededApplicationTest, WndProcChainMessageIsHonouredOnlyFromTheWindowsThread) {
    HWND window = Make(WS_OVERLAPPED);
    const auto original = static_cast<WPARAM>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    std::thread worker(
        [&] { application_->HandOver(window, "\\WINDOWRULENAME=r\\ACTION=STAYONTOPACTION{\\NAME=s\\}"); });
    WaitUntil([&] { return application_->IsAttached(window); }, 8000);
    worker.join();
    ASSERT_TRUE(application_->IsAttached(window));
    // From another thread: ignored.
    std::thread other(
        [&] { SendMessageA(window, WndProcChainMessage, original, reinterpret_cast<LPARAM>(ChainProc)); });
    WaitUntil([&] { return false; }, 100);
    other.join();
    chainCalls = 0;
    SendMessageA(window, WM_USER + 1, 0, 0);
    EXPECT_EQ(0, chainCalls);
    // From the window's own thread: later messages go to the new procedure.
    SendMessageA(window, WndProcChainMessage, original, reinterpret_cast<LPARAM>(ChainProc));
    chainCalls = 0;
    SendMessageA(window, WM_USER + 1, 0, 0);
    EXPECT_EQ(1, chainCalls);
    SendMessageA(window, DetachExtenderMessage, 0, 0);
}

TEST_F(EmbededApplicationTest, FailedSubclassingIsAFailedAttach) {
    ComPtr<IWindowExtender> extender =
        TakeItem<IWindowExtender>(CreateItemByKey("\\WINDOWRULENAME=r", "WINDOWEXTENDER"));
    ASSERT_TRUE(extender);
    // Another process's window cannot be subclassed from here.
    EXPECT_FALSE(extender->Attach(GetDesktopWindow()));
    EXPECT_EQ(nullptr, extender->Handle());
    EXPECT_EQ(0, LiveHookEntries());
}
