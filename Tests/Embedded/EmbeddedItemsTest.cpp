#include "TestExtender.h"

#include "Embedded/EmbTestSupport.h"

#include "Declarations.h"
#include "EARoutines.h"
#include "EAWinFuncs.h"
#include "RuleTextNumbers.h"
#include "uRGLTimers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const std::string WorkedExample =
    "\\WINDOWRULENAME=Window Rule "
    "1\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow\\SAVECURRENTOPERATION="
    "no\\\\TRANSPARENTLEVEL=100}\\TRIGGER=WMCREATEMESSAGETRIGGER{\\LAG_ENABLED=no\\LAG_INTERVAL=0\\AGENT={"
    "\\NAME="
    "WMCreateEvent\\ACTIONNAME=TransparentWindow\\ACTIONKIND=next\\OPERATIONNAME=}\\AGENT={\\NAME="
    "GhostWindowWMCreateEventAgent\\ACTIONNAME=GhostWindow\\ACTIONKIND=next\\OPERATIONNAME=}}";

// The text the rule writer gives for one action and one create trigger driving it.
std::string RuleText(const std::string& rule, const std::string& action, const std::string& trigger = {}) {
    return "\\WINDOWRULENAME=" + rule + "\\ACTION=" + action +
           (trigger.empty() ? "" : "\\TRIGGER=" + trigger);
}
std::string Transparent(const std::string& name, const std::string& level, const std::string& save = "no") {
    return "TRANSPARENTWINDOWACTION{\\NAME=" + name + "\\SAVECURRENTOPERATION=" + save +
           "\\\\TRANSPARENTLEVEL=" + level + "}";
}
std::string Plain(const std::string& key, const std::string& name, const std::string& save = "no") {
    return key + "{\\NAME=" + name + "\\SAVECURRENTOPERATION=" + save + "\\}";
}
std::string Trigger(const std::string& key, const std::string& actionName, const std::string& lag = "no",
                    const std::string& interval = "0") {
    return key + "{\\LAG_ENABLED=" + lag + "\\LAG_INTERVAL=" + interval +
           "\\AGENT={\\NAME=Agent\\ACTIONNAME=" + actionName + "\\ACTIONKIND=next\\OPERATIONNAME=}}";
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& condition, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        Pump();
        if (condition())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return condition();
}

LONG_PTR ExStyle(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

BYTE Alpha(HWND window) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(window, &key, &alpha, &flags);
    return alpha;
}

// Layered with no attributes: Windows does not draw such a window at all.
bool BareLayered(HWND window) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    return (ExStyle(window) & WS_EX_LAYERED) != 0 &&
           !GetLayeredWindowAttributes(window, &key, &alpha, &flags);
}

bool Opaque(HWND window) {
    return (ExStyle(window) & WS_EX_LAYERED) == 0 || Alpha(window) == 255;
}

// Counts the changes an action tells its observers.
class TCountingObserver : public TDebugInterfacedObject, public IObserver {
    GLZ_INTERFACES(TDebugInterfacedObject, IObserver)
    void Update(IPublisher*) override {
        ++Updates;
        Times.push_back(Clock::now());
    }
    bool PublisherDetached(IPublisher*) override { return false; }

public:
    int Updates = 0;
    std::vector<Clock::time_point> Times;
};

// One rule attached to one fresh window for the length of a test.
struct TAttached {
    explicit TAttached(const std::string& text, HWND target = nullptr)
        : Window(target ? target : TTestExtender::CreateTargetWindow()), Extender(BuildExtender(text)) {
        Extender->SetOwner(nullptr);
        Extender->Link();
        Extender->Attach(Window);
    }
    ~TAttached() {
        Release();
        DestroyWindow(Window);
    }
    void Release() {
        if (Extender) {
            Extender->Unlink();
            Extender->ReleaseOwner();
            Extender.Reset();
        }
    }
    ComPtr<IWindowAction> Action(const std::string& name) { return Extender->ActionList->Get(name); }

    HWND Window;
    ComPtr<TTestExtender> Extender;
};

class EmbeddedItems : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TTestExtender::Register(); }
    void SetUp() override { live_ = TDebugInterfacedObject::LiveObjects(); }
    void TearDown() override { EXPECT_EQ(live_, TDebugInterfacedObject::LiveObjects()); }
    long live_ = 0;
};

TEST_F(EmbeddedItems, WorkedExampleBuildsItsActionTriggerAndAgents) {
    const ComPtr<TTestExtender> extender = BuildExtender(WorkedExample);
    ASSERT_TRUE(extender);
    EXPECT_EQ("Window Rule 1", extender->Rule);
    ASSERT_EQ(1, extender->ActionList->Count());
    const ComPtr<IWindowAction> action = extender->ActionList->Get("transparentwindow");
    ASSERT_TRUE(action);
    EXPECT_EQ("TRANSPARENTON", action->GetNextOperation()->GetName());
    EXPECT_EQ("TRANSPARENTOFF", action->GetCurrentOperation()->GetName());
    ASSERT_EQ(1, extender->TriggerList->Count());
    const auto trigger = Supports<IWindowPart>(extender->TriggerList->Get(0));
    auto* activator = dynamic_cast<TActionsActivator*>(static_cast<IWindowPart*>(trigger.Get()));
    ASSERT_NE(nullptr, activator);
    ASSERT_EQ(2, activator->Agents->Count());
    EXPECT_EQ("WMCreateEvent", activator->Agents->Get(0)->GetName());
    EXPECT_EQ("GhostWindow", activator->Agents->Get(1)->GetActionName());
    EXPECT_EQ(TActionKind::Next, activator->Agents->Get(1)->GetActionKind());
}

TEST_F(EmbeddedItems, CreateTriggerMakesWindowLayeredAtLevelSixtyAndDetachRestoresIt) {
    HWND window = TTestExtender::CreateTargetWindow();
    const LONG_PTR own = ExStyle(window);
    TAttached rule(RuleText("Level60", Transparent("TransparentWindow", "60"),
                            Trigger("WMCREATEMESSAGETRIGGER", "TransparentWindow")),
                   window);
    EXPECT_NE(0, ExStyle(rule.Window) & WS_EX_LAYERED);
    EXPECT_EQ(153, Alpha(rule.Window));
    EXPECT_EQ("TRANSPARENTON", rule.Action("TransparentWindow")->GetCurrentOperation()->GetName());
    const ComPtr<IWindowAction> action = rule.Action("TransparentWindow");
    EXPECT_TRUE(SameObject(action->GetPublisher()->GetOwner().Get(), action.Get()));
    rule.Release();
    EXPECT_EQ(own, ExStyle(rule.Window));
}

TEST_F(EmbeddedItems, WorkedExampleAtFullLevelIsLayeredOpaque) {
    TAttached rule(WorkedExample);
    EXPECT_NE(0, ExStyle(rule.Window) & WS_EX_LAYERED);
    EXPECT_EQ(255, Alpha(rule.Window));
}

TEST_F(EmbeddedItems, LevelAboveHundredIsClampedNotWrapped) {
    TAttached rule(RuleText("Level101", Transparent("T", "101"), Trigger("WMCREATEMESSAGETRIGGER", "T")));
    EXPECT_EQ(255, Alpha(rule.Window));
    HWND window = TTestExtender::CreateTargetWindow();
    SetWindowAlphaPercent(window, 200);
    EXPECT_EQ(255, Alpha(window));
    // Below 0 is no usable level: the window stays opaque rather than vanishing.
    SetWindowAlphaPercent(window, -20);
    EXPECT_EQ(255, Alpha(window));
    DestroyWindow(window);
}

TEST_F(EmbeddedItems, NegativeLevelLeavesTheWindowOpaque) {
    for (const char* level : {"-5", "-2147483648"}) {
        TAttached rule(RuleText("Negative", Transparent("T", level), Trigger("WMCREATEMESSAGETRIGGER", "T")));
        EXPECT_TRUE(Opaque(rule.Window)) << level;
    }
}

TEST_F(EmbeddedItems, HostLayeredWindowKeepsStyleAndColourKeyAfterDetach) {
    HWND window = TTestExtender::CreateTargetWindow();
    SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, RGB(1, 2, 3), 0, LWA_COLORKEY);
    {
        TAttached rule(
            RuleText("HostLayered", Transparent("T", "60"), Trigger("WMCREATEMESSAGETRIGGER", "T")), window);
        EXPECT_EQ(153, Alpha(window));
        rule.Release();
        EXPECT_NE(0, ExStyle(window) & WS_EX_LAYERED);
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
        EXPECT_EQ(RGB(1, 2, 3), key);
        EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY), flags);
        rule.Window = TTestExtender::CreateTargetWindow(); // the fixture destroys this one
    }
    DestroyWindow(window);
}

TEST_F(EmbeddedItems, TransparentOffWithoutOnLeavesHostLayeringAlone) {
    HWND window = TTestExtender::CreateTargetWindow();
    SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, 200, LWA_ALPHA);
    TAttached rule(RuleText("OffOnly", Transparent("T", "60")), window);
    EXPECT_TRUE(rule.Action("T")->Execute("TRANSPARENTOFF"));
    EXPECT_NE(0, ExStyle(window) & WS_EX_LAYERED);
    EXPECT_EQ(200, Alpha(window));
}

TEST_F(EmbeddedItems, TransparencyOffAfterTheHostDroppedItsLayeringLeavesNoBareLayeredWindow) {
    HWND window = TTestExtender::CreateTargetWindow();
    SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, RGB(1, 2, 3), 0, LWA_COLORKEY);
    TAttached rule(RuleText("Dropped", Transparent("T", "60"), Trigger("WMCREATEMESSAGETRIGGER", "T")),
                   window);
    ASSERT_EQ(153, Alpha(window));
    SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    rule.Release();
    EXPECT_FALSE(BareLayered(window));
}

TEST_F(EmbeddedItems, TwoTransparencyActionsSwitchedOffInTurnLeaveTheWindowAsItWas) {
    HWND window = TTestExtender::CreateTargetWindow();
    const LONG_PTR own = ExStyle(window);
    TAttached rule("\\WINDOWRULENAME=Two\\ACTION=" + Transparent("T1", "60") +
                       "\\ACTION=" + Transparent("T2", "40") +
                       "\\TRIGGER=WMCREATEMESSAGETRIGGER{\\AGENT={\\NAME=A1\\ACTIONNAME=T1}"
                       "\\AGENT={\\NAME=A2\\ACTIONNAME=T2}}",
                   window);
    ASSERT_EQ(102, Alpha(window));
    rule.Release();
    EXPECT_FALSE(BareLayered(window));
    EXPECT_EQ(own, ExStyle(window));
}

TEST_F(EmbeddedItems, TransparentOnTwiceThenOffRestoresTheWindow) {
    HWND window = TTestExtender::CreateTargetWindow();
    const LONG_PTR own = ExStyle(window);
    TAttached rule(RuleText("Twice", Transparent("T", "60")), window);
    const ComPtr<IWindowAction> action = rule.Action("T");
    EXPECT_TRUE(action->Execute("TRANSPARENTON"));
    EXPECT_TRUE(action->Execute("TRANSPARENTON"));
    EXPECT_EQ(153, Alpha(window));
    EXPECT_TRUE(action->Execute("TRANSPARENTOFF"));
    EXPECT_EQ(own, ExStyle(window));
}

TEST_F(EmbeddedItems, GhostModeLetsClicksThroughAnOpaqueWindowUntilDetach) {
    HWND window = TTestExtender::CreateTargetWindow();
    const LONG_PTR own = ExStyle(window);
    ASSERT_TRUE(MouseReaches(window));
    TAttached rule(RuleText("Ghost", Plain("GHOSTWINDOWACTION", "GhostWindow"),
                            Trigger("WMCREATEMESSAGETRIGGER", "GhostWindow")),
                   window);
    EXPECT_NE(0, ExStyle(window) & WS_EX_TRANSPARENT);
    EXPECT_EQ(255, Alpha(window)); // layered, yet nothing changes on screen
    EXPECT_FALSE(MouseReaches(window));
    rule.Release();
    EXPECT_EQ(own, ExStyle(window));
    EXPECT_TRUE(MouseReaches(window));
}

TEST_F(EmbeddedItems, GhostOffOnANeverGhostedWindowKeepsItClickable) {
    HWND window = TTestExtender::CreateTargetWindow();
    const LONG_PTR own = ExStyle(window);
    TAttached rule(RuleText("NeverGhosted", Plain("GHOSTWINDOWACTION", "G")), window);
    EXPECT_TRUE(rule.Action("G")->Execute("GHOSTOFF"));
    EXPECT_EQ(own, ExStyle(window));
    EXPECT_TRUE(MouseReaches(window));
}

TEST_F(EmbeddedItems, GhostAndTransparencyTakeAwayOnlyTheirOwnPart) {
    const std::string text = "\\WINDOWRULENAME=Both\\ACTION=" + Plain("GHOSTWINDOWACTION", "G") +
                             "\\ACTION=" + Transparent("T", "60") +
                             "\\TRIGGER=WMCREATEMESSAGETRIGGER{\\AGENT={\\NAME=A1\\ACTIONNAME=G}"
                             "\\AGENT={\\NAME=A2\\ACTIONNAME=T}}";
    {
        // Ghost off first: the window stays translucent.
        HWND window = TTestExtender::CreateTargetWindow();
        const LONG_PTR own = ExStyle(window);
        TAttached rule(text, window);
        EXPECT_FALSE(MouseReaches(window));
        EXPECT_TRUE(rule.Action("G")->Execute("GHOSTOFF"));
        EXPECT_EQ(153, Alpha(window));
        EXPECT_TRUE(MouseReaches(window));
        EXPECT_TRUE(rule.Action("T")->Execute("TRANSPARENTOFF"));
        EXPECT_EQ(own, ExStyle(window));
    }
    {
        // Transparency off first: the window stays a ghost, opaque.
        HWND window = TTestExtender::CreateTargetWindow();
        const LONG_PTR own = ExStyle(window);
        TAttached rule(text, window);
        EXPECT_TRUE(rule.Action("T")->Execute("TRANSPARENTOFF"));
        EXPECT_EQ(255, Alpha(window));
        EXPECT_FALSE(MouseReaches(window));
        rule.Release();
        EXPECT_EQ(own, ExStyle(window));
    }
    {
        // The host's own layering outlives both.
        HWND window = TTestExtender::CreateTargetWindow();
        SetWindowLongPtrA(window, GWL_EXSTYLE, ExStyle(window) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, RGB(1, 2, 3), 0, LWA_COLORKEY);
        const LONG_PTR own = ExStyle(window);
        TAttached rule(text, window);
        EXPECT_EQ(153, Alpha(window));
        rule.Release();
        EXPECT_EQ(own, ExStyle(window));
        EXPECT_TRUE(LayeredByColourKey(window, RGB(1, 2, 3)));
    }
}

TEST_F(EmbeddedItems, TwoExecuteNextCallsToggleTopmostWithoutActivating) {
    TAttached rule(RuleText("OnTop", Plain("STAYONTOPACTION", "StayOnTop")));
    HWND other = TTestExtender::CreateTargetWindow();
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, 2000));
    const ComPtr<IWindowAction> action = rule.Action("StayOnTop");
    ASSERT_TRUE(action->ExecuteNext());
    EXPECT_NE(0, ExStyle(rule.Window) & WS_EX_TOPMOST);
    EXPECT_EQ("STAYONTOPON", action->GetCurrentOperation()->GetName());
    ASSERT_TRUE(action->ExecuteNext());
    EXPECT_EQ(0, ExStyle(rule.Window) & WS_EX_TOPMOST);
    EXPECT_EQ("STAYONTOPOFF", action->GetCurrentOperation()->GetName());
    EXPECT_FALSE(action->Execute("stayontopon"));
    // A switch made on deactivation must not pull the focus back.
    EXPECT_EQ(other, GetForegroundWindow());
    DestroyWindow(other);
}

TEST_F(EmbeddedItems, StayOnTopTakesAwayAtDetachTheTopmostItAdded) {
    TAttached rule(RuleText("OnTopGone", Plain("STAYONTOPACTION", "StayOnTop")));
    ASSERT_TRUE(rule.Action("StayOnTop")->ExecuteNext());
    ASSERT_NE(0, ExStyle(rule.Window) & WS_EX_TOPMOST);
    rule.Release();
    EXPECT_EQ(0, ExStyle(rule.Window) & WS_EX_TOPMOST);
}

TEST_F(EmbeddedItems, WindowTopmostByItsOwnDoingStaysTopmostAfterOffAndDetach) {
    HWND window = TTestExtender::CreateTargetWindow();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TAttached rule(RuleText("OwnTop", Plain("STAYONTOPACTION", "StayOnTop")), window);
    const ComPtr<IWindowAction> action = rule.Action("StayOnTop");
    ASSERT_TRUE(action->Execute("STAYONTOPON"));
    ASSERT_TRUE(action->Execute("STAYONTOPOFF"));
    EXPECT_EQ("STAYONTOPOFF", action->GetCurrentOperation()->GetName());
    EXPECT_NE(0, ExStyle(window) & WS_EX_TOPMOST);
    ASSERT_TRUE(action->Execute("STAYONTOPON"));
    rule.Release();
    EXPECT_NE(0, ExStyle(window) & WS_EX_TOPMOST);
}

TEST_F(EmbeddedItems, StayOnTopFollowsTopmostChangesMadeByOthers) {
    TAttached rule(RuleText("Follow", Plain("STAYONTOPACTION", "StayOnTop")));
    SetWindowPos(rule.Window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ("STAYONTOPON", rule.Action("StayOnTop")->GetCurrentOperation()->GetName());
    SetWindowPos(rule.Window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ("STAYONTOPOFF", rule.Action("StayOnTop")->GetCurrentOperation()->GetName());
}

TEST_F(EmbeddedItems, SavedOperationIsReadBackOnSecondAttachment) {
    // The rule text carries names in UTF-8; the second one is outside this program's code page.
    ASSERT_NE(static_cast<UINT>(CP_UTF8), GetACP());
    const std::pair<std::string, std::wstring> rules[] = {{"Saved Rule", L"Saved Rule"},
                                                          {"\xE6\xBC\xA2\xE5\xAD\x97", L"\x6F22\x5B57"}};
    for (const auto& [rule, wideRule] : rules) {
        const std::wstring key = L"SOFTWARE\\Quenda Tools\\Glazlo\\WindowRules\\" + wideRule;
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        const std::string text = RuleText(rule, Plain("STAYONTOPACTION", "StayOnTop", "Yes"));
        HWND window = TTestExtender::CreateTargetWindow();
        {
            TAttached first(text, window);
            first.Action("StayOnTop")->ExecuteNext();
            first.Release();
            first.Window = TTestExtender::CreateTargetWindow();
        }
        wchar_t value[64] = {};
        DWORD size = sizeof value;
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"StayOnTop_CurrentOperation",
                                              RRF_RT_REG_SZ, nullptr, value, &size));
        EXPECT_STREQ(L"STAYONTOPON", value);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ASSERT_EQ(0, ExStyle(window) & WS_EX_TOPMOST);
        {
            TAttached second(text, window);
            EXPECT_NE(0, ExStyle(window) & WS_EX_TOPMOST);
            EXPECT_EQ("STAYONTOPON", second.Action("StayOnTop")->GetCurrentOperation()->GetName());
        }
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()));
    }
}

TEST_F(EmbeddedItems, NoRegistryUseWithoutSaving) {
    const std::string key = "SOFTWARE\\Quenda Tools\\Glazlo\\WindowRules\\Unsaved Rule";
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    {
        TAttached rule(RuleText("Unsaved Rule", Plain("STAYONTOPACTION", "StayOnTop")));
        rule.Action("StayOnTop")->ExecuteNext();
    }
    HKEY opened = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened));
}

TEST_F(EmbeddedItems, LagFiresOnceAfterTheLastOfThreeMessages) {
    TAttached rule(RuleText("Lag", Transparent("T", "60"),
                            Trigger("WMACTIVATEWINDOWMESSAGETRIGGER", "T", "YES", "300")));
    const ComPtr<TCountingObserver> observer = NewObject<TCountingObserver>();
    rule.Action("T")->GetPublisher()->Subscribe(observer.Get());
    SetForegroundWindow(rule.Window);
    Clock::time_point last;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            WaitFor([] { return false; }, 100);
        SendMessageA(rule.Window, WM_ACTIVATE, WA_ACTIVE, 0);
        last = Clock::now();
    }
    ASSERT_TRUE(WaitFor([&] { return observer->Updates > 0; }, 3000));
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(1, observer->Updates);
    EXPECT_GE(observer->Times[0] - last, std::chrono::milliseconds(250));
    rule.Action("T")->GetPublisher()->Unsubscribe(observer.Get());
}

TEST_F(EmbeddedItems, ActivationTriggerWithoutLagFiresOnActivationOnly) {
    TAttached rule(RuleText("Activate", Plain("GHOSTWINDOWACTION", "G"),
                            "WMACTIVATEWINDOWMESSAGETRIGGER{\\LAG_ENABLED=no\\LAG_INTERVAL=0\\AGENT={\\NAME=A"
                            "\\ACTIONNAME=G\\ACTIONKIND=Concrete\\OPERATIONNAME=GHOSTON}}"));
    // Already active: the default handling of WM_ACTIVATE then activates nothing more.
    SetForegroundWindow(rule.Window);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == rule.Window; }, 2000));
    const ComPtr<TCountingObserver> observer = NewObject<TCountingObserver>();
    rule.Action("G")->GetPublisher()->Subscribe(observer.Get());
    SendMessageA(rule.Window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(0, observer->Updates);
    SendMessageA(rule.Window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(1, observer->Updates);
    EXPECT_NE(0, ExStyle(rule.Window) & WS_EX_TRANSPARENT);
    SendMessageA(rule.Window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
    EXPECT_EQ(1, observer->Updates);
    SendMessageA(rule.Window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(2, observer->Updates);
    rule.Action("G")->GetPublisher()->Unsubscribe(observer.Get());
}

TEST_F(EmbeddedItems, LagEnabledWithIntervalZeroOrDisabledWithAnIntervalFiresAtOnce) {
    for (const auto& [lag, interval] : {std::pair{"yes", "0"}, std::pair{"no", "300"}}) {
        TAttached rule(RuleText("AtOnce", Transparent("T", "60"),
                                Trigger("WMCREATEMESSAGETRIGGER", "T", lag, interval)));
        EXPECT_EQ(153, Alpha(rule.Window)) << lag << " " << interval; // no message was pumped
    }
}

TEST_F(EmbeddedItems, DeactivationTriggerFiresOnDeactivationOnly) {
    TAttached rule(RuleText("Deactivate", Plain("GHOSTWINDOWACTION", "G"),
                            Trigger("WMINACTIVATEWINDOWMESSAGETRIGGER", "G")));
    const ComPtr<TCountingObserver> observer = NewObject<TCountingObserver>();
    rule.Action("G")->GetPublisher()->Subscribe(observer.Get());
    SendMessageA(rule.Window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageA(rule.Window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(0, observer->Updates);
    SendMessageA(rule.Window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(1, observer->Updates);
    rule.Action("G")->GetPublisher()->Unsubscribe(observer.Get());
}

TEST_F(EmbeddedItems, DeactivationRuleAttachedToABackgroundWindowAppliesAtOnce) {
    HWND other = TTestExtender::CreateTargetWindow();
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, 2000));
    for (const char* lag : {"no", "yes"}) {
        TAttached rule(RuleText("Behind", Transparent("T", "40"),
                                Trigger("WMINACTIVATEWINDOWMESSAGETRIGGER", "T", lag, "5000")));
        EXPECT_EQ(102, Alpha(rule.Window)) << lag; // no message was pumped, no lag waited for
    }
    // In front, the rule waits for the window to go to the background.
    HWND front = TTestExtender::CreateTargetWindow();
    SetForegroundWindow(front);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == front; }, 2000));
    TAttached rule(
        RuleText("Front", Transparent("T", "40"), Trigger("WMINACTIVATEWINDOWMESSAGETRIGGER", "T")), front);
    EXPECT_TRUE(Opaque(front));
    DestroyWindow(other);
}

// A window in front when its rule arrives takes the active state the lag after the attachment:
// an agent that names its operation performs it, a "next" agent steps no ring that no creation
// step moved. That happens once: an attached message sent again by anybody fires nothing.
TEST_F(EmbeddedItems, ActiveStateTakenAtAttachmentKeepsTheLagAndStepsNoUnmovedRing) {
    HWND window = TTestExtender::CreateTargetWindow();
    SetForegroundWindow(window);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 2000));
    TAttached rule("\\WINDOWRULENAME=InFront\\ACTION=" + Plain("GHOSTWINDOWACTION", "G") +
                       "\\ACTION=" + Transparent("T", "60") +
                       "\\TRIGGER=WMACTIVATEWINDOWMESSAGETRIGGER{\\LAG_ENABLED=yes\\LAG_INTERVAL=300"
                       "\\AGENT={\\NAME=Named\\ACTIONNAME=G\\ACTIONKIND=concrete\\OPERATIONNAME=GHOSTON}"
                       "\\AGENT={\\NAME=Step\\ACTIONNAME=T\\ACTIONKIND=next\\OPERATIONNAME=}}",
                   window);
    EXPECT_EQ(0, ExStyle(window) & WS_EX_TRANSPARENT); // no message was pumped, no lag waited for
    EXPECT_TRUE(WaitFor([&] { return (ExStyle(window) & WS_EX_TRANSPARENT) != 0; }, 3000));
    WaitFor([] { return false; }, 300);
    EXPECT_TRUE(Opaque(window)) << static_cast<int>(Alpha(window));

    const ComPtr<TCountingObserver> observer = NewObject<TCountingObserver>();
    for (const char* action : {"G", "T"})
        rule.Action(action)->GetPublisher()->Subscribe(observer.Get());
    SendMessageA(window, ExtenderAttachedMessage, 0, 0);
    WaitFor([] { return false; }, 800);
    EXPECT_EQ(0, observer->Updates);
    EXPECT_TRUE(Opaque(window)) << static_cast<int>(Alpha(window));
    for (const char* action : {"G", "T"})
        rule.Action(action)->GetPublisher()->Unsubscribe(observer.Get());
}

// After its lag a trigger fires only when the window is still where the message put it.
TEST_F(EmbeddedItems, LagFiresOnlyWhileTheWindowStaysInFrontOrBehind) {
    HWND other = TTestExtender::CreateTargetWindow();
    const auto foreground = [](HWND window) {
        SetForegroundWindow(window);
        return WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
    };
    for (const char* key : {"WMACTIVATEWINDOWMESSAGETRIGGER", "WMINACTIVATEWINDOWMESSAGETRIGGER"}) {
        const bool activation = std::string(key) == "WMACTIVATEWINDOWMESSAGETRIGGER";
        HWND window = TTestExtender::CreateTargetWindow();
        ASSERT_TRUE(foreground(activation ? other : window)) << key;
        TAttached rule(RuleText("LagState", Plain("GHOSTWINDOWACTION", "G"), Trigger(key, "G", "yes", "500")),
                       window);
        const ComPtr<TCountingObserver> observer = NewObject<TCountingObserver>();
        rule.Action("G")->GetPublisher()->Subscribe(observer.Get());
        HWND first = activation ? window : other; // the switch that qualifies
        HWND back = activation ? other : window;  // and the one that undoes it within the lag
        ASSERT_TRUE(foreground(first)) << key;
        ASSERT_TRUE(foreground(back)) << key;
        WaitFor([] { return false; }, 800);
        EXPECT_EQ(0, observer->Updates) << key;
        ASSERT_TRUE(foreground(first)) << key;
        EXPECT_TRUE(WaitFor([&] { return observer->Updates == 1; }, 2000)) << key;
        rule.Action("G")->GetPublisher()->Unsubscribe(observer.Get());
    }
    DestroyWindow(other);
}

TEST_F(EmbeddedItems, IntegerFormsOfTheLevel) {
    for (const char* level : {"$32", "0x32", "x32", " 50"}) {
        TAttached rule(RuleText("Hex", Transparent("T", level), Trigger("WMCREATEMESSAGETRIGGER", "T")));
        EXPECT_EQ(127, Alpha(rule.Window)) << level;
    }
    TAttached rule(RuleText("Bad", Transparent("T", "fifty"), Trigger("WMCREATEMESSAGETRIGGER", "T")));
    EXPECT_EQ(255, Alpha(rule.Window));
    EXPECT_EQ(-300, TextToInt("-300"));
    EXPECT_EQ(-1, TextToInt("$FFFFFFFF"));
    EXPECT_FALSE(TextToInt("2147483648"));
    EXPECT_FALSE(TextToInt("12a"));
    EXPECT_FALSE(TextToInt("$"));
}

TEST_F(EmbeddedItems, MissingBraceLowerCaseAndDuplicateNames) {
    // Lower-case names and keys are read; of two actions named alike the first stays.
    ComPtr<TTestExtender> extender = BuildExtender(
        "\\windowrulename=Rule\\action=stayontopaction{\\name=OnTopX}\\ACTION=STAYONTOPACTION{\\NAME=OnTopX}"
        "\\ACTION=GHOSTWINDOWACTION{\\NAME=Ghost");
    EXPECT_EQ("Rule", extender->Rule);
    ASSERT_EQ(2, extender->ActionList->Count());
    EXPECT_EQ("OnTopX", extender->ActionList->Get(0)->GetName());
    // Unclosed at the top level: the brace protects nothing, the name pair splits off.
    EXPECT_EQ("", extender->ActionList->Get(1)->GetName());
    const auto ghost = TakeItem<IWindowAction>(CreateItemFromText("GHOSTWINDOWACTION{\\NAME=Ghost"));
    ASSERT_TRUE(ghost);
    EXPECT_EQ("Ghos", ghost->GetName());
    EXPECT_EQ("", TakeItem<IWindowAction>(CreateItemFromText("GHOSTWINDOWACTION{\\NAME=G"))->GetName());
    EXPECT_TRUE(TakeItem<IWindowAction>(CreateItemFromText("STAYONTOPACTION")));
    extender = BuildExtender(
        "\\TRIGGER=WMCREATEMESSAGETRIGGER{\\AGENT={\\NAME=A}\\agent={\\name=a}\\AGENT={\\NAME=B}}"
        "\\ACTION=OPERATION{\\NAME=Op}\\ACTION=NOSUCHACTION{\\NAME=X}");
    EXPECT_EQ(0, extender->ActionList->Count());
    auto* trigger = dynamic_cast<TActionsActivator*>(
        static_cast<IActionsActivator*>(extender->TriggerList->Get(0).Get()));
    ASSERT_NE(nullptr, trigger);
    EXPECT_EQ(2, trigger->Agents->Count());
}

TEST_F(EmbeddedItems, NestedExtendersInActionValuesAreNeverBuilt) {
    std::string nested;
    for (int i = 0; i < 5000; ++i)
        nested += (i % 2 ? "\\TRIGGER=WINDOWEXTENDER{" : "\\ACTION=windowextender{");
    nested += std::string(5000, '}');
    const ComPtr<TTestExtender> extender = BuildExtender("\\WINDOWRULENAME=Deep" + nested);
    ASSERT_TRUE(extender);
    EXPECT_EQ(0, extender->ActionList->Count());
    EXPECT_EQ(0, extender->TriggerList->Count());
}

// A class that builds a child from its own text: nesting must stop at the bound.
class TNester : public TAbstractParamsItem, public ISlave {
    EA_ITEM_INTERFACES(TAbstractParamsItem, ISlave)

public:
    void SetOwner(IOwner*) override {}
    void ReleaseOwner() override {}
    void Link() override {}
    void Unlink() override {}
    void SetName(const std::string&) override {}
    ComPtr<ISlave> Child;

protected:
    void SetParam(const std::string& name, const std::string& value) override {
        if (name == "CHILD")
            Child = TakeItem<ISlave>(CreateItemFromText(value));
    }
};

TEST_F(EmbeddedItems, ReaderBoundsTheNestingDepth) {
    RegisterItemClass(ClassOf<TNester>(), "TESTNESTER");
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "TESTNESTER{\\CHILD=";
    text += std::string(3000, '}');
    const ComPtr<ISlave> root = TakeItem<ISlave>(CreateItemFromText(text));
    ASSERT_TRUE(root);
    int depth = 1;
    for (auto* node = static_cast<TNester*>(root.Get()); node->Child;
         node = static_cast<TNester*>(node->Child.Get()))
        ++depth;
    EXPECT_EQ(MaxItemNesting, depth);
}

TEST_F(EmbeddedItems, TriggerNamesStayDistinctAcrossThreads) {
    std::vector<std::vector<std::string>> names(8);
    std::vector<std::thread> threads;
    for (auto& list : names)
        threads.emplace_back([&list] {
            for (int i = 0; i < 500; ++i)
                if (const auto trigger = TakeItem<IItem>(CreateItemByKey({}, "WMCREATEMESSAGETRIGGER")))
                    list.push_back(trigger->GetName());
        });
    for (auto& thread : threads)
        thread.join();
    std::set<std::string> distinct;
    for (const auto& list : names)
        distinct.insert(list.begin(), list.end());
    EXPECT_EQ(4000u, distinct.size());
}

TEST_F(EmbeddedItems, TimerKeepsRunningAfterAnExceptionInItsHandler) {
    TTimer timer;
    char name[64] = {};
    GetClassNameA(timer.Window(), name, sizeof name);
    EXPECT_STREQ("TPUtilWindow", name);
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TTimer&) {
        ++ticks;
        throw Exception("tick");
    });
    timer.SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }, 3000));
}

TEST_F(EmbeddedItems, TimerFreedOnAnotherThreadStopsAndGoesAway) {
    auto timer = std::make_unique<TTimer>();
    int ticks = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TTimer&) { ++ticks; });
    timer->SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return ticks > 0; }, 3000));
    const HWND window = timer->Window();
    std::thread([&] { timer.reset(); }).join();
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(window); }, 3000));
    const int seen = ticks;
    WaitFor([] { return false; }, 60);
    EXPECT_EQ(seen, ticks);
}

TEST_F(EmbeddedItems, EnabledTimerWithoutHandlerOrIntervalRunsNoSystemTimer) {
    TTimer timer;
    timer.SetEnabled(true);
    EXPECT_FALSE(KillTimer(timer.Window(), 1));
    timer.SetOnTimer([](TTimer&) {});
    timer.SetInterval(0);
    EXPECT_FALSE(KillTimer(timer.Window(), 1));
    timer.SetInterval(50);
    EXPECT_TRUE(KillTimer(timer.Window(), 1));
}

TEST_F(EmbeddedItems, FuzzedRuleTextsNeitherCrashNorLeak) {
    const std::vector<std::string> corpus = {
        WorkedExample,
        RuleText("R", Transparent("T", "60", "yes"),
                 Trigger("WMACTIVATEWINDOWMESSAGETRIGGER", "T", "yes", "300")),
        RuleText("R", Plain("STAYONTOPACTION", "S"), Trigger("WMINACTIVATEWINDOWMESSAGETRIGGER", "S")),
        RuleText("R", Plain("GHOSTWINDOWACTION", "G"), Trigger("WMCREATEMESSAGETRIGGER", "G")),
    };
    const std::string alphabet = "\\{}=ACTIONTRIGGERAGENTNAME$x0 19\t";
    const std::vector<std::string> words = {"\\ACTION=",     "\\TRIGGER=", "\\AGENT={", "WINDOWEXTENDER{",
                                            "OPERATION{",    "{",          "}",         "\\NAME=",
                                            "MESSAGEAGENT{", "\\\\",       "=",         "\\LAG_INTERVAL=$"};
    std::mt19937 random(20261208);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % (n ? n : 1)); };
    int built = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        if (i % 10 == 0) {
            text.resize(pick(200));
            for (char& c : text)
                c = static_cast<char>(random() % 256);
        } else {
            text = corpus[pick(corpus.size())];
            for (int edits = 1 + static_cast<int>(pick(6)); edits > 0; --edits) {
                const std::size_t at = pick(text.size() + 1);
                switch (random() % 4) {
                case 0:
                    text.insert(at, 1, alphabet[pick(alphabet.size())]);
                    break;
                case 1:
                    text.erase(at, pick(20));
                    break;
                case 2:
                    text.insert(at, words[pick(words.size())]);
                    break;
                default:
                    text.insert(at, text.substr(pick(text.size()), pick(60)));
                }
            }
        }
        if (const ComPtr<TTestExtender> extender = BuildExtender(text)) {
            ++built;
            if (i % 4 == 0) {
                extender->SetOwner(nullptr);
                extender->Link();
                extender->Unlink();
                extender->ReleaseOwner();
            }
        }
    }
    EXPECT_GT(built, 99000);
}

} // namespace
