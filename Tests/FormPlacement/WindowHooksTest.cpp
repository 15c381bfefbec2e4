#include "Application.h"
#include "Forms.h"
#include "WindowHooks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT TestMessage = WM_APP + 1;
std::vector<std::string> Log;

LRESULT CALLBACK ControlProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TestMessage) {
        Log.push_back("control");
        return 7;
    }
    if (msg == WM_DESTROY)
        Log.push_back("control destroy");
    return DefWindowProcA(window, msg, wp, lp);
}

WNDPROC ForeignNext = nullptr;
LRESULT CALLBACK ForeignProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TestMessage)
        Log.push_back("foreign");
    return CallWindowProcA(ForeignNext, window, msg, wp, lp);
}

HWND MakeControl() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ControlProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GLZ_HookTestControl";
    RegisterClassExA(&wc);
    return CreateWindowExA(0, "GLZ_HookTestControl", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PumpPosted() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// Logs name and the phase of each test message; Handles makes its before-handler claim it.
void Listen(TRxWindowHook& hook, const std::string& name, bool handles = false) {
    hook.BeforeMessage = [name, handles](TRxWindowHook*, TWindowMessage& m, bool& handled) {
        if (m.Msg == TestMessage) {
            Log.push_back(name + " before");
            handled = handles;
            m.Result = 99;
        }
        if (m.Msg == WM_DESTROY) {
            Log.push_back(name + " before destroy");
            handled = handles;
        }
    };
    hook.AfterMessage = [name](TRxWindowHook*, TWindowMessage& m, bool&) {
        if (m.Msg == TestMessage)
            Log.push_back(name + " after " + std::to_string(m.Result));
        if (m.Msg == WM_DESTROY)
            Log.push_back(name + " after destroy");
    };
}

class WindowHooks : public ::testing::Test {
protected:
    void SetUp() override {
        Log.clear();
        PumpPosted();
        FreeGlobalHookList();
    }
    void TearDown() override {
        PumpPosted();
        FreeGlobalHookList();
    }
};

TEST_F(WindowHooks, TwoHooksShareOneProcedureAndRunLastAttachedFirst) {
    const HWND window = MakeControl();
    const WNDPROC own = ProcOf(window);
    TWindowTarget target(window);
    TRxWindowHook first;
    TRxWindowHook second;
    Listen(first, "first");
    Listen(second, "second");
    first.SetWinControl(&target);
    const WNDPROC hooked = ProcOf(window);
    second.SetWinControl(&target);
    EXPECT_NE(own, hooked);
    EXPECT_EQ(hooked, ProcOf(window));
    EXPECT_EQ(1, GlobalHookList()->Count());

    EXPECT_EQ(7, SendMessageA(window, TestMessage, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"second before", "first before", "control", "second after 7",
                                        "first after 7"}),
              Log);

    // A before-handler that claims the message stops the others and the control's own procedure.
    Log.clear();
    Listen(second, "second", true);
    EXPECT_EQ(99, SendMessageA(window, TestMessage, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"second before"}), Log);

    // WM_DESTROY is always passed on and followed by the after-handlers, which still stop at
    // the claim.
    Log.clear();
    DestroyWindow(window);
    EXPECT_EQ((std::vector<std::string>{"second before destroy", "control destroy", "second after destroy"}),
              Log);
}

TEST_F(WindowHooks, TheLastDetachRestoresTheControlsProcedure) {
    const HWND window = MakeControl();
    const WNDPROC own = ProcOf(window);
    TWindowTarget target(window);
    {
        TRxWindowHook hook;
        Listen(hook, "hook");
        hook.SetWinControl(&target);
        hook.SetWinControl(&target);
        EXPECT_EQ(&target, hook.GetWinControl());
        hook.SetActive(false);
        EXPECT_EQ(own, ProcOf(window));
        EXPECT_EQ(&target, hook.GetWinControl());
        SendMessageA(window, TestMessage, 0, 0);
        EXPECT_EQ((std::vector<std::string>{"control"}), Log);
        hook.SetActive(true);
        EXPECT_NE(own, ProcOf(window));

        // A before-handler that lets go of the control still passes the message on.
        hook.BeforeMessage = [](TRxWindowHook* self, TWindowMessage& m, bool&) {
            if (m.Msg == TestMessage)
                self->SetWinControl(nullptr);
        };
        Log.clear();
        EXPECT_EQ(7, SendMessageA(window, TestMessage, 0, 0));
        EXPECT_EQ((std::vector<std::string>{"control"}), Log);
        EXPECT_EQ(own, ProcOf(window));
    }
    EXPECT_EQ(own, ProcOf(window));
    PumpPosted();
    EXPECT_EQ(0, GlobalHookList()->Count());
    DestroyWindow(window);
}

TEST_F(WindowHooks, AForeignSubclasserAboveUsSurvivesOurDetach) {
    const HWND window = MakeControl();
    TWindowTarget target(window);
    auto hook = std::make_unique<TRxWindowHook>();
    Listen(*hook, "hook");
    hook->SetWinControl(&target);
    ForeignNext = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc)));

    // Our hook and its control hook go entirely; the foreign procedure stays on top and the
    // chain below it still reaches the control's own procedure.
    hook.reset();
    PumpPosted();
    EXPECT_EQ(0, GlobalHookList()->Count());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(ForeignProc), ProcOf(window));
    EXPECT_EQ(7, SendMessageA(window, TestMessage, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"foreign", "control"}), Log);

    // A new hook on the same window takes our old place in the chain again.
    Log.clear();
    TRxWindowHook again;
    Listen(again, "again");
    again.SetWinControl(&target);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(ForeignProc), ProcOf(window));
    SendMessageA(window, TestMessage, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"foreign", "again before", "control", "again after 7"}), Log);
    DestroyWindow(window);
}

TEST_F(WindowHooks, RemovingTheWatchedControlUnbindsTheHook) {
    const HWND window = MakeControl();
    const WNDPROC own = ProcOf(window);
    TRxWindowHook hook;
    {
        TWindowTarget target(window);
        hook.SetWinControl(&target);
        EXPECT_NE(own, ProcOf(window));
    }
    EXPECT_EQ(nullptr, hook.GetWinControl());
    EXPECT_EQ(own, ProcOf(window));
    EXPECT_TRUE(hook.Active());
    DestroyWindow(window);
}

// A control that makes its window again whenever it is asked for one and has none.
class TRecreatingTarget : public THookTarget {
public:
    HWND HookWindow() override {
        if (!IsWindow(window_))
            window_ = MakeControl();
        return window_;
    }
    HWND Window() const { return window_; }
    ~TRecreatingTarget() override { DestroyWindow(window_); }

private:
    HWND window_ = nullptr;
};

TEST_F(WindowHooks, AControlWhoseWindowIsMadeAgainStaysHooked) {
    TRecreatingTarget target;
    TRxWindowHook hook;
    Listen(hook, "hook");
    hook.SetWinControl(&target);
    const HWND first = target.Window();
    DestroyWindow(first);
    Log.clear();
    PumpPosted();
    ASSERT_TRUE(IsWindow(target.Window()));
    EXPECT_NE(first, target.Window());
    SendMessageA(target.Window(), TestMessage, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"hook before", "control", "hook after 7"}), Log);
}

TEST_F(WindowHooks, AUnicodeWindowStaysUnicodeThroughTheHook) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GLZ_HookTestWide";
    RegisterClassExW(&wc);
    const HWND window = CreateWindowExW(0, L"GLZ_HookTestWide", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(IsWindowUnicode(window));
    const auto own = GetWindowLongPtrW(window, GWLP_WNDPROC);
    TWindowTarget target(window);
    TRxWindowHook hook;
    std::wstring seen;
    hook.BeforeMessage = [&](TRxWindowHook*, TWindowMessage& m, bool&) {
        if (m.Msg == WM_SETTEXT)
            seen = reinterpret_cast<const wchar_t*>(m.LParam);
    };
    hook.SetWinControl(&target);
    EXPECT_TRUE(IsWindowUnicode(window));
    const std::wstring text = L"\u0416\u043b\u0430\u0437";
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    EXPECT_EQ(text, seen);
    wchar_t back[16] = {};
    GetWindowTextW(window, back, 16);
    EXPECT_EQ(text, back);
    hook.SetActive(false);
    EXPECT_EQ(own, GetWindowLongPtrW(window, GWLP_WNDPROC));
    DestroyWindow(window);
}

TEST_F(WindowHooks, AFailingHandlerIsShownAndTheNextHookStillRuns) {
    std::vector<std::string> shown;
    Application().OnException = [&](const std::string& m) { shown.push_back(m); };
    const HWND window = MakeControl();
    TWindowTarget target(window);
    TRxWindowHook first;
    TRxWindowHook second;
    Listen(first, "first");
    first.SetWinControl(&target);
    second.SetWinControl(&target);
    second.BeforeMessage = [](TRxWindowHook*, TWindowMessage& m, bool&) {
        if (m.Msg == TestMessage)
            throw std::runtime_error("handler failed");
    };
    EXPECT_EQ(7, SendMessageA(window, TestMessage, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"handler failed"}), shown);
    EXPECT_EQ((std::vector<std::string>{"first before", "control", "first after 7"}), Log);
    Application().OnException = nullptr;
    DestroyWindow(window);
}

} // namespace
