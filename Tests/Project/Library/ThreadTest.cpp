#include "uRGLThreads.h"

#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class TCountingThread : public TThread {
public:
    explicit TCountingThread(bool createSuspended, std::atomic<int>* destroyed = nullptr)
        : TThread(createSuspended), destroyed_(destroyed) {}
    ~TCountingThread() override {
        if (destroyed_ != nullptr)
            ++*destroyed_;
    }
    std::atomic<int> runs{0};
    std::atomic<bool> release{false};

protected:
    void Execute() override {
        ++runs;
        while (!release && !Terminated())
            Sleep(1);
        SetReturnValue(42);
    }

private:
    std::atomic<int>* destroyed_;
};

TEST(TThread, SuspendedThreadRunsOnlyAfterResumeAndAnswersItsReturnValue) {
    TCountingThread thread(true);
    ASSERT_NE(nullptr, thread.Handle());
    EXPECT_NE(0u, thread.ThreadID());
    EXPECT_TRUE(thread.Suspended());
    Sleep(20);
    EXPECT_EQ(0, thread.runs);
    thread.Resume();
    EXPECT_FALSE(thread.Suspended());
    ASSERT_TRUE(WaitUntil([&] { return thread.runs == 1; }));
    thread.release = true;
    EXPECT_EQ(42u, thread.WaitFor());
    EXPECT_TRUE(thread.Finished());
}

TEST(TThread, DestroyOfANeverResumedThreadReturnsAtOnce) {
    std::atomic<int> destroyed{0};
    const ULONGLONG start = GetTickCount64();
    { TCountingThread thread(true, &destroyed); }
    EXPECT_EQ(1, destroyed);
    EXPECT_LT(GetTickCount64() - start, 200u);
}

TEST(TThread, ResumeAfterTwoSuspendsLeavesItSuspended) {
    TCountingThread thread(true);
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return thread.runs == 1; }));
    thread.Suspend();
    thread.Suspend();
    thread.Resume();
    EXPECT_TRUE(thread.Suspended());
    thread.Resume();
    EXPECT_FALSE(thread.Suspended());
    // Destruction terminates the running body and waits for it.
}

TEST(TThread, FreeOnTerminateFreesTheObjectWhenTheBodyReturns) {
    std::atomic<int> destroyed{0};
    auto* thread = new TCountingThread(true, &destroyed);
    thread->SetFreeOnTerminate(true);
    thread->release = true;
    thread->Resume();
    EXPECT_TRUE(WaitUntil([&] { return destroyed == 1; }));
}

// Blocks in a SendMessage to a window of the main thread.
class TSendingThread : public TThread {
public:
    explicit TSendingThread(HWND window) : TThread(true), window_(window) {}
    LRESULT answer = 0;

protected:
    void Execute() override { answer = SendMessageA(window_, WM_USER + 7, 3, 4); }

private:
    HWND window_;
};

LRESULT CALLBACK AnsweringWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_USER + 7)
        return static_cast<LRESULT>(wParam + lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(TThread, WaitForOnTheMainThreadDeliversMessagesTheWorkerSends) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = AnsweringWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "GlzThreadTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    TSendingThread thread(window);
    thread.Resume();
    EXPECT_EQ(0u, thread.WaitFor());
    EXPECT_EQ(7, thread.answer);
    DestroyWindow(window);
}

} // namespace
