#include "Declarations.h"
#include "uEAHookProc.h"
#include "uEAStartup.h"
#include "uEAThread.h"
#include "uEmbededApplication.h"

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
