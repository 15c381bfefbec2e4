#include "uHooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<UINT> seenByOriginal;
std::vector<bool> originalSawUnicode;

LRESULT CALLBACK OriginalProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    seenByOriginal.push_back(msg);
    return DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT CALLBACK OriginalProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    seenByOriginal.push_back(msg);
    if (msg == WM_SETTEXT)
        originalSawUnicode.push_back(reinterpret_cast<const wchar_t*>(lParam)[0] == L'W' &&
                                     reinterpret_cast<const wchar_t*>(lParam)[1] == L'x');
    return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC hostOld = nullptr;
int hostCalls = 0;
LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++hostCalls;
    return CallWindowProcA(hostOld, window, msg, wParam, lParam);
}

class WindowHookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA a{};
        a.lpfnWndProc = OriginalProcA;
        a.hInstance = GetModuleHandleA(nullptr);
        a.lpszClassName = "GlzHookTestA";
        RegisterClassA(&a);
        WNDCLASSW w{};
        w.lpfnWndProc = OriginalProcW;
        w.hInstance = GetModuleHandleA(nullptr);
        w.lpszClassName = L"GlzHookTestW";
        RegisterClassW(&w);
    }
    void SetUp() override {
        seenByOriginal.clear();
        originalSawUnicode.clear();
        hostCalls = 0;
    }
    void TearDown() override {
        if (window_ != nullptr)
            DestroyWindow(window_);
    }
    HWND MakeA() {
        window_ = CreateWindowExA(0, "GlzHookTestA", "a", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        return window_;
    }
    HWND MakeW() {
        window_ = CreateWindowExW(0, L"GlzHookTestW", L"w", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        return window_;
    }
    HWND window_ = nullptr;
};

} // namespace

TEST_F(WindowHookTest, HookSeesMessagesFirstAndPassesThemOn) {
    HWND window = MakeA();
    std::vector<UINT> seenByHook;
    TWHook* self = nullptr;
    TWHook hook(window, [&](TMessage& m) {
        seenByHook.push_back(m.Msg);
        self->CallOld(m);
    });
    self = &hook;
    EXPECT_TRUE(hook.Hooked());
    EXPECT_FALSE(hook.Unicode());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(OriginalProcA), reinterpret_cast<LONG_PTR>(hook.OldProc()));
    SendMessageA(window, WM_USER + 5, 0, 0);
    ASSERT_FALSE(seenByHook.empty());
    EXPECT_EQ(WM_USER + 5, seenByHook.back());
    EXPECT_EQ(WM_USER + 5, seenByOriginal.back());
}

TEST_F(WindowHookTest, ProcedureInPlaceIsCodeOfTheImageAndNoWritableCode) {
    HWND window = MakeW();
    TWHook hook(window, [](TMessage&) {});
    const auto proc = reinterpret_cast<const void*>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(0u, VirtualQuery(proc, &info, sizeof(info)));
    EXPECT_EQ(static_cast<DWORD>(MEM_IMAGE), info.Type);
    EXPECT_EQ(0u, info.Protect & (PAGE_EXECUTE_READWRITE | PAGE_READWRITE | PAGE_WRITECOPY));
}

TEST_F(WindowHookTest, UnicodeWindowIsCalledThroughWideVariant) {
    HWND window = MakeW();
    ASSERT_NE(nullptr, window);
    TWHook* self = nullptr;
    TWHook hook(window, [&](TMessage& m) { self->CallOld(m); });
    self = &hook;
    EXPECT_TRUE(hook.Unicode());
    SetWindowTextW(window, L"Wx");
    ASSERT_EQ(1u, originalSawUnicode.size());
    EXPECT_TRUE(originalSawUnicode[0]);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(OriginalProcW), reinterpret_cast<LONG_PTR>(hook.OldProc()));
}

TEST_F(WindowHookTest, UnhookRestoresProcedureWhenOursIsInPlace) {
    HWND window = MakeW();
    {
        TWHook hook(window, [](TMessage&) {});
        EXPECT_NE(reinterpret_cast<LONG_PTR>(OriginalProcW), GetWindowLongPtrW(window, GWLP_WNDPROC));
    }
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(OriginalProcW), GetWindowLongPtrW(window, GWLP_WNDPROC));
    EXPECT_EQ(0, LiveHookEntries());
}

TEST_F(WindowHookTest, HostSubclassAfterUsKeepsWorkingAfterUnhook) {
    HWND window = MakeA();
    int ours = 0;
    auto hook = std::make_unique<TWHook>(window, [&](TMessage& m) { ++ours, (void)m; });
    hostOld = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostProc)));
    hook.reset();
    // The host's procedure stays in place and its chain reaches the window's own one.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(HostProc), GetWindowLongPtrA(window, GWLP_WNDPROC));
    SendMessageA(window, WM_USER + 7, 0, 0);
    EXPECT_EQ(1, hostCalls);
    EXPECT_EQ(WM_USER + 7, seenByOriginal.back());
    EXPECT_EQ(0, ours);
    EXPECT_EQ(1, LiveHookEntries());
    DestroyWindow(window);
    window_ = nullptr;
    EXPECT_EQ(0, LiveHookEntries()); // the pass-through went with the window
}

TEST_F(WindowHookTest, FailedSetWindowLongPtrRaises) {
    HWND window = MakeA();
    DestroyWindow(window);
    window_ = nullptr;
    EXPECT_THROW(TWHook(window, [](TMessage&) {}), EWindowHook);
    EXPECT_EQ(0, LiveHookEntries());
}

TEST_F(WindowHookTest, OldProcChangedLaterIsCalled) {
    HWND window = MakeA();
    TWHook* self = nullptr;
    TWHook hook(window, [&](TMessage& m) { self->CallOld(m); });
    self = &hook;
    hostOld = OriginalProcA;
    hook.SetOldProc(HostProc);
    SendMessageA(window, WM_USER + 9, 0, 0);
    EXPECT_EQ(1, hostCalls);
    EXPECT_EQ(WM_USER + 9, seenByOriginal.back());
}

TEST_F(WindowHookTest, HookFreedInsideItsOwnCallStaysValidUntilReturn) {
    HWND window = MakeA();
    std::unique_ptr<TWHook> hook;
    hook = std::make_unique<TWHook>(window, [&](TMessage& m) {
        if (m.Msg == WM_USER + 3) {
            hook->CallOld(m);
            hook.reset();
            m.Result = 42;
            return;
        }
        hook->CallOld(m);
    });
    EXPECT_EQ(42, SendMessageA(window, WM_USER + 3, 0, 0));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(OriginalProcA), GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_EQ(0, LiveHookEntries());
}
