// The effects of window rules on real windows, through the real GlazloCenter.exe and glzemb.dll:
// triggers with a lag, stay on top, ghost mode, and what the window is left with afterwards.
#include "CenterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

struct Agent {
    std::string Action;    // empty: the slot's agent is disabled
    std::string Operation; // empty: the action's next operation
};

struct Trigger {
    std::string Type;
    int Lag = 0; // milliseconds; 0 for none
    std::vector<Agent> Agents;
};

// One rule for the windows of one class: the actions it names are enabled, the others not.
struct Rule {
    std::string Name;
    std::string WindowClass;
    std::optional<int> Level; // transparency level, when the transparency action is on
    bool OnTop = false;
    bool Ghost = false;
    std::vector<Trigger> Triggers;
};

std::string Param(const std::string& name, const std::string& value) {
    return "<param name=\"" + name + "\">" + value + "</param>";
}

std::string Params(const std::string& name, bool enabled, const std::string& more = {}) {
    return "<params name=\"params\">" + Param("name", name) + Param("enabled", enabled ? "yes" : "no") +
           more + "</params>";
}

std::string Action(const std::string& name, const std::string& type, bool enabled,
                   const std::string& more = {}) {
    return "<action name=\"" + name + "\" type=\"" + type + "\">" +
           Params(name, enabled, Param("save_current_operation", "no") + more) + "</action>";
}

constexpr const char* OnCreate = "WMCREATEMESSAGETRIGGER";
constexpr const char* OnActivate = "WMACTIVATEWINDOWMESSAGETRIGGER";
constexpr const char* OnInactivate = "WMINACTIVATEWINDOWMESSAGETRIGGER";

// Every rule starts from the default template and loading keeps what the file does not name, so
// the file names the template's triggers and agents and sets each one: the agents a trigger
// lists take its agent slots in order, the other slots and unlisted triggers are disabled.
struct TemplateTrigger {
    const char* Type;
    const char* Name;
    std::vector<const char*> Slots;
};

const std::vector<TemplateTrigger>& TemplateTriggers() {
    static const std::vector<TemplateTrigger> triggers = {
        {OnCreate,
         "CreateMessageTrigger",
         {"WMCreateEvent", "StayOnTopWMCreateEventAgent", "GhostWindowWMCreateEventAgent"}},
        {OnActivate,
         "ActivateWindowMessageTrigger",
         {"WMActivateWindowEvent", "GhostWindowWMActivateWindowEvent"}},
        {OnInactivate,
         "InActivateWindowMessageTrigger",
         {"WMInActivateWindowEvent", "GhostWindowWMInActivateWindowEvent"}},
    };
    return triggers;
}

std::string TriggerXml(const TemplateTrigger& slots, const Trigger* trigger) {
    const int lag = trigger != nullptr ? trigger->Lag : 0;
    std::string xml =
        "<trigger name=\"" + std::string(slots.Name) + "\" type=\"" + slots.Type + "\">" +
        Params(slots.Name, trigger != nullptr,
               Param("lag_enabled", lag > 0 ? "yes" : "no") + Param("lag_interval", std::to_string(lag))) +
        "<agents name=\"agents\"><content>";
    for (size_t i = 0; i < slots.Slots.size(); ++i) {
        const Agent* agent =
            trigger != nullptr && i < trigger->Agents.size() && !trigger->Agents[i].Action.empty()
                ? &trigger->Agents[i]
                : nullptr;
        const std::string operation = agent != nullptr ? agent->Operation : std::string();
        xml += "<agent name=\"" + std::string(slots.Slots[i]) + "\" type=\"MESSAGEAGENT\">" +
               Params(slots.Slots[i], agent != nullptr,
                      Param("action_name", agent != nullptr ? agent->Action : "TransparentWindow") +
                          Param("action_kind", operation.empty() ? "next" : "concrete") +
                          Param("operation_name", operation)) +
               "</agent>";
    }
    return xml + "</content></agents></trigger>";
}

std::string RuleXml(const Rule& rule) {
    std::string xml = "<window_rule name=\"" + rule.Name + "\" type=\"WINDOWRULE\">" +
                      Params(rule.Name, true) +
                      "<conditions name=\"conditions\"><content><condition name=\"DefaultCondition\" "
                      "type=\"CONDITION\">" +
                      Params("DefaultCondition", true) +
                      "<criterions name=\"criterions\"><content><criterion name=\"WINDOWCLASSNAMECRITERION\" "
                      "type=\"WINDOWCLASSNAMECRITERION\">" +
                      Params("WINDOWCLASSNAMECRITERION", true, Param("window_class_name", rule.WindowClass)) +
                      "</criterion></content></criterions></condition></content></conditions>"
                      "<actions name=\"actions\"><content>" +
                      Action("TransparentWindow", "TRANSPARENTWINDOWACTION", rule.Level.has_value(),
                             Param("transparency_level", std::to_string(rule.Level.value_or(100)))) +
                      Action("StayOnTop", "STAYONTOPACTION", rule.OnTop) +
                      Action("GhostWindow", "GHOSTWINDOWACTION", rule.Ghost) +
                      "</content></actions><triggers name=\"triggers\"><content>";
    for (const TemplateTrigger& slots : TemplateTriggers()) {
        const Trigger* listed = nullptr;
        for (const Trigger& trigger : rule.Triggers)
            if (trigger.Type == slots.Type)
                listed = &trigger;
        xml += TriggerXml(slots, listed);
    }
    return xml + "</content></triggers></window_rule>";
}

void WriteRules(const CenterSandbox& center, const std::vector<Rule>& rules) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<quenda_windows name=\"Glazlo\">"
                      "<window_rules name=\"window_rules\"><content>";
    for (const Rule& rule : rules)
        xml += RuleXml(rule);
    center.WriteConfigurationText(xml + "</content></window_rules></quenda_windows>\r\n");
}

LONG_PTR ExStyle(HWND window) {
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}

// The windows live in a host program of their own, started after GlazloCenter so that the hook
// sees them created (this program may hold a library copy of an earlier sandbox).
// The host's window of the class, shown without activation at the position; null when none came.
HWND ShownWindow(const HostProcess& host, const char* className, int x, int y) {
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = host.Windows(className)).empty(); }, 10000);
    if (found.empty())
        return nullptr;
    SetWindowPos(found[0], HWND_TOP, x, y, 200, 150, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return found[0];
}

// The library has subclassed the window: the host finds its procedure is no longer its class's.
bool Subclassed(HWND window) {
    constexpr UINT QueryMessage = WM_APP + 100;
    DWORD_PTR own = 1;
    return SendMessageTimeoutA(window, QueryMessage, 3, 0, SMTO_NORMAL, 2000, &own) != 0 && own == 0;
}

bool Opaque(HWND window) {
    const int alpha = LayeredAlpha(window);
    return alpha == -1 || alpha == 255;
}

HWND ActiveOfThread(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndActive : nullptr;
}

// The window is in front once its own thread has taken the activation, and the thread of the
// window that was in front its deactivation, not only once the system names the new one: under
// Wine those threads get their WM_ACTIVATE later, and a state read or a rule that arrives
// meanwhile would see the windows as they were.
bool Foreground(HWND window) {
    const HWND previous = GetForegroundWindow();
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const DWORD previousThread = previous != nullptr ? GetWindowThreadProcessId(previous, nullptr) : 0;
    // Only a thread other than the window's own has a deactivation of its own to take.
    const bool otherThread = previousThread != 0 && previousThread != thread;
    SetForegroundWindow(window);
    if (!WaitUntil(
            [&] {
                return GetForegroundWindow() == window && ActiveOfThread(thread) == window &&
                       (!otherThread || ActiveOfThread(previousThread) != previous);
            },
            2000))
        return false;
    // A sent message is taken only after the activation those threads are handling.
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer) != 0 &&
           (!otherThread || SendMessageTimeoutA(previous, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer) != 0);
}

void Pause(DWORD milliseconds) {
    WaitUntil([] { return false; }, milliseconds);
}

// Counts the left-button presses that reach a window of this thread.
int pressesBeneath = 0;
WNDPROC procBeneath = nullptr;
LRESULT CALLBACK CountsPresses(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN)
        ++pressesBeneath;
    return CallWindowProcA(procBeneath, window, msg, wParam, lParam);
}

// A real click at the window's centre reaches Beneath, a window of this thread that lies under it.
bool ClickReaches(HWND window, HWND beneath) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG x = (rect.left + rect.right) / 2;
    const LONG y = (rect.top + rect.bottom) / 2;
    pressesBeneath = 0;
    procBeneath = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(beneath, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountsPresses)));
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof inputs[0]);
    const bool reached = WaitUntil(
        [] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            return pressesBeneath > 0;
        },
        2000);
    SetWindowLongPtrA(beneath, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procBeneath));
    return reached;
}

class EffectsEndToEnd : public ::testing::Test {
protected:
    void Start(const std::vector<Rule>& rules) {
        WriteRules(center_, rules);
        ASSERT_TRUE(center_.Start()) << center_.StartFailure();
    }
    CenterSandbox center_;
};

TEST_F(EffectsEndToEnd, TransparentWhileInactiveOpaqueWhileActiveOncePerBurst) {
    constexpr int Lag = 800; // far longer than a switch of the foreground takes under load
    Start({{"Focus",
            "GlzFxFocus",
            40,
            false,
            false,
            {{OnActivate, Lag, {{"TransparentWindow", "TRANSPARENTOFF"}}},
             {OnInactivate, Lag, {{"TransparentWindow", "TRANSPARENTON"}}}}}});
    TestWindow other("GlzFxOther");
    SetWindowPos(other.Handle(), HWND_TOP, 300, 10, 200, 150, SWP_NOACTIVATE);
    HostProcess host("A:GlzFxFocus");
    HWND window = ShownWindow(host, "GlzFxFocus", 10, 10);
    ASSERT_NE(nullptr, window);
    const LONG_PTR own = ExStyle(window);
    ASSERT_TRUE(WaitUntil([&] { return Subclassed(window); }, 5000));
    ASSERT_TRUE(Foreground(window));
    Pause(Lag + 200);
    ASSERT_TRUE(Opaque(window));

    // A burst of switches shorter than the lag: nothing fires within it, and the last one
    // decides. Ending in the background: transparent, the lag after the last switch.
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Foreground(other.Handle()));
        Pause(80);
        ASSERT_TRUE(Foreground(window));
        Pause(80);
        EXPECT_TRUE(Opaque(window)) << round;
    }
    ASSERT_TRUE(Foreground(other.Handle()));
    const ULONGLONG last = GetTickCount64();
    ASSERT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 102; }, Lag + 3000)) << LayeredAlpha(window);
    EXPECT_GE(GetTickCount64() - last, static_cast<ULONGLONG>(Lag - 100));

    // Ending in front: opaque again, with the window's own styles.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Foreground(window));
        Pause(80);
        ASSERT_TRUE(Foreground(other.Handle()));
        Pause(80);
        EXPECT_EQ(102, LayeredAlpha(window)) << round;
    }
    ASSERT_TRUE(Foreground(window));
    EXPECT_TRUE(WaitUntil([&] { return ExStyle(window) == own; }, Lag + 3000));
    EXPECT_EQ(center_.Stop(5000), 0u);
}

TEST_F(EffectsEndToEnd, StayOnTopComesOnAndGoesOff) {
    Start({{"OnTop",
            "GlzFxOnTop",
            std::nullopt,
            true,
            false,
            {{OnCreate, 0, {{"StayOnTop", "STAYONTOPON"}}},
             {OnActivate, 0, {{"StayOnTop", "STAYONTOPON"}}},
             {OnInactivate, 0, {{"StayOnTop", "STAYONTOPOFF"}}}}}});
    TestWindow other("GlzFxOther");
    SetWindowPos(other.Handle(), HWND_TOP, 300, 10, 200, 150, SWP_NOACTIVATE);
    HostProcess host("A:GlzFxOnTop");
    HWND window = ShownWindow(host, "GlzFxOnTop", 10, 10);
    ASSERT_NE(nullptr, window);
    const auto topmost = [&] { return (ExStyle(window) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(WaitUntil([&] { return Subclassed(window); }, 5000));
    EXPECT_TRUE(WaitUntil(topmost, 2000)); // on creation
    ASSERT_TRUE(Foreground(window));
    ASSERT_TRUE(Foreground(other.Handle()));
    EXPECT_TRUE(WaitUntil([&] { return !topmost(); }, 2000));
    ASSERT_TRUE(Foreground(window));
    EXPECT_TRUE(WaitUntil(topmost, 2000));
    EXPECT_EQ(center_.Stop(5000), 0u);
}

TEST_F(EffectsEndToEnd, WineMineLeavesTheTopmostBandWhenStayOnTopIsTurnedOffAndWhenTheProgramStops) {
    const auto rule = [](bool onTop) {
        return std::vector<Rule>{{"Mines",
                                  "WineMine",
                                  std::nullopt,
                                  onTop,
                                  false,
                                  {{OnCreate, 0, {{"StayOnTop", "STAYONTOPON"}}}}}};
    };
    Start(rule(true));
    const HostProcess mines(WineProgram{"winemine.exe"});
    ASSERT_TRUE(mines.Started());
    std::vector<HWND> windows;
    ASSERT_TRUE(WaitUntil([&] { return !(windows = mines.Windows("WineMine")).empty(); }, 10000));
    const HWND window = windows.front();
    const auto topmost = [&] { return (ExStyle(window) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(WaitUntil(topmost, 5000));

    // Unticked and saved: the window leaves the band.
    int code = 0;
    std::string reply;
    WriteRules(center_, rule(false));
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    EXPECT_TRUE(WaitUntil([&] { return !topmost(); }, 5000));

    // Ticked again, then the resident program stops: out of the band once more.
    WriteRules(center_, rule(true));
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    ASSERT_TRUE(WaitUntil(topmost, 5000));
    EXPECT_EQ(center_.Stop(5000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !topmost(); }, 5000));
}

TEST_F(EffectsEndToEnd, GhostLetsTheMouseThroughWithAndWithoutTransparencyAndStopRestoresAll) {
    Start({{"Ghost", "GlzFxGhost", std::nullopt, false, true, {{OnCreate, 0, {{"GhostWindow", ""}}}}},
           {"GhostHalf",
            "GlzFxGhostHalf",
            50,
            false,
            true,
            {{OnCreate, 0, {{"GhostWindow", ""}, {"TransparentWindow", ""}}}}}});
    HostProcess host("A:GlzFxGhost A:GlzFxGhostHalf");
    HWND ghost = ShownWindow(host, "GlzFxGhost", 10, 10);
    HWND half = ShownWindow(host, "GlzFxGhostHalf", 300, 10);
    ASSERT_TRUE(ghost != nullptr && half != nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Subclassed(ghost) && Subclassed(half); }, 5000));
    EXPECT_FALSE(MouseReaches(ghost));
    EXPECT_FALSE(MouseReaches(half));
    EXPECT_EQ(255, LayeredAlpha(ghost)); // layered, yet drawn as before
    EXPECT_EQ(127, LayeredAlpha(half));

    EXPECT_EQ(center_.Stop(5000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !Subclassed(ghost) && !Subclassed(half); }, 3000));
    // Restored means the window's own styles as before the rule: neither layered nor transparent.
    for (HWND window : {ghost, half}) {
        EXPECT_EQ(0, ExStyle(window) & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
        EXPECT_TRUE(MouseReaches(window));
    }
}

TEST_F(EffectsEndToEnd, GhostWhileInactiveLetsTheMouseThroughABackgroundWindowAtOnceAndNeverTheOneInFront) {
    // As the editor saves "transparent only when inactive": the creation trigger keeps only the
    // ghost's agent (and stay-on-top's when ticked), the activation triggers switch both actions.
    const auto rule = [](bool ghost, bool onTop = false) {
        return std::vector<Rule>{
            {"InactiveGhost",
             "GlzFxInactiveGhost",
             40,
             onTop,
             ghost,
             {{OnCreate, 0, {{}, onTop ? Agent{"StayOnTop", "STAYONTOPON"} : Agent{}, {"GhostWindow", ""}}},
              {OnActivate, 0, {{"TransparentWindow", "TRANSPARENTOFF"}, {"GhostWindow", "GHOSTOFF"}}},
              {OnInactivate, 0, {{"TransparentWindow", "TRANSPARENTON"}, {"GhostWindow", "GHOSTON"}}}}}};
    };
    Start(rule(false));
    TestWindow other("GlzFxOther");
    SetWindowPos(other.Handle(), HWND_TOP, 10, 10, 200, 150, SWP_NOACTIVATE);
    ASSERT_TRUE(Foreground(other.Handle()));
    HostProcess host("A:GlzFxInactiveGhost");
    HWND window = ShownWindow(host, "GlzFxInactiveGhost", 10, 10);
    ASSERT_NE(nullptr, window);
    // The window lies over the one in front, which stays in front.
    SetWindowPos(other.Handle(), window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const auto ghost = [&] { return (ExStyle(window) & WS_EX_TRANSPARENT) != 0; };
    ASSERT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 102; }, 5000)) << LayeredAlpha(window);
    EXPECT_FALSE(ghost());
    ASSERT_TRUE(WaitUntil([&] { return MouseReaches(window); }, 2000));

    // Ghost ticked and saved while the window stays in the background: the mouse passes through
    // it from the new attachment on, with no activation in between.
    WriteRules(center_, rule(true));
    int code = 0;
    std::string reply;
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    EXPECT_TRUE(WaitUntil([&] { return ghost() && LayeredAlpha(window) == 102; }, 5000));
    Pause(300);
    ASSERT_NE(window, GetForegroundWindow());
    EXPECT_TRUE(ghost());
    EXPECT_EQ(102, LayeredAlpha(window));
    EXPECT_FALSE(MouseReaches(window));
    EXPECT_TRUE(ClickReaches(window, other.Handle()));

    // A window made behind another one while the rule is in force: the same from its creation.
    HostProcess later("A:GlzFxInactiveGhost");
    HWND fresh = ShownWindow(later, "GlzFxInactiveGhost", 300, 10);
    ASSERT_NE(nullptr, fresh);
    EXPECT_TRUE(WaitUntil([&] { return Subclassed(fresh) && LayeredAlpha(fresh) == 102; }, 5000));
    EXPECT_NE(0, ExStyle(fresh) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(MouseReaches(fresh));

    // Saved again (now also kept on top) while the first window is in front: at its new
    // attachment it is opaque and takes the mouse. Stay-on-top coming on tells that the creation
    // triggers have run; the active state follows them on the same message.
    ASSERT_TRUE(Foreground(window));
    ASSERT_TRUE(WaitUntil([&] { return !ghost() && Opaque(window); }, 2000));
    WriteRules(center_, rule(true, true));
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    ASSERT_TRUE(WaitUntil([&] { return (ExStyle(window) & WS_EX_TOPMOST) != 0; }, 5000));
    Pause(300);
    ASSERT_EQ(window, GetForegroundWindow());
    EXPECT_FALSE(ghost());
    EXPECT_TRUE(Opaque(window)) << LayeredAlpha(window);
    EXPECT_TRUE(MouseReaches(window));
    EXPECT_EQ(center_.Stop(5000), 0u);
}

// A ring of "next" steps on activation and on deactivation: transparent exactly while another
// window is in front, whether the window was in front or behind when its rule arrived, and whether
// or not a creation step moved the ring first.
TEST_F(EffectsEndToEnd, NextStepsOnActivationAndDeactivationMakeTransparentOnlyWhileAnotherWindowIsInFront) {
    // Marked: stay-on-top coming on on creation tells that the creation triggers have run; the
    // active and inactive states follow them on the same message.
    const auto rules = [](bool marked) {
        std::vector<Rule> ring;
        for (const bool born : {false, true}) {
            std::vector<Agent> onCreate;
            onCreate.push_back(born ? Agent{"TransparentWindow", ""} : Agent{});
            if (marked)
                onCreate.push_back({"StayOnTop", "STAYONTOPON"});
            std::vector<Trigger> triggers{{OnActivate, 0, {{"TransparentWindow", ""}}},
                                          {OnInactivate, 0, {{"TransparentWindow", ""}}}};
            if (born || marked)
                triggers.push_back({OnCreate, 0, onCreate});
            ring.push_back({born ? "RingBorn" : "Ring", born ? "GlzFxRingBorn" : "GlzFxRing", 60, marked,
                            false, triggers});
        }
        return ring;
    };
    Start({});
    TestWindow other("GlzFxOther");
    SetWindowPos(other.Handle(), HWND_TOP, 600, 10, 200, 150, SWP_NOACTIVATE);
    HostProcess host("A:GlzFxRing A:GlzFxRingBorn");
    HWND ring = ShownWindow(host, "GlzFxRing", 10, 10);
    HWND born = ShownWindow(host, "GlzFxRingBorn", 300, 10);
    ASSERT_TRUE(ring != nullptr && born != nullptr);
    const auto inFront = [&](HWND front) {
        return WaitUntil(
            [&] {
                return GetForegroundWindow() == front &&
                       (ring == front ? Opaque(ring) : LayeredAlpha(ring) == 153) &&
                       (born == front ? Opaque(born) : LayeredAlpha(born) == 153);
            },
            3000);
    };
    const auto switches = [&](const char* when) {
        for (HWND front : {other.Handle(), ring, born, other.Handle(), born, ring, other.Handle(), ring}) {
            ASSERT_TRUE(Foreground(front)) << when;
            EXPECT_TRUE(inFront(front))
                << when << ": "
                << (front == ring   ? "ring"
                    : front == born ? "born"
                                    : "other")
                << " in front, alpha " << LayeredAlpha(ring) << " and " << LayeredAlpha(born);
        }
    };
    int code = 0;
    std::string reply;

    // The rule arrives while the window without a creation step is in front.
    ASSERT_TRUE(Foreground(ring));
    WriteRules(center_, rules(false));
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    ASSERT_TRUE(WaitUntil([&] { return Subclassed(ring) && Subclassed(born); }, 5000));
    EXPECT_TRUE(inFront(ring)) << LayeredAlpha(ring) << " " << LayeredAlpha(born);
    switches("first rule");

    // Again, with the window whose creation step moved the ring in front.
    ASSERT_TRUE(Foreground(born));
    WriteRules(center_, rules(true));
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    ASSERT_TRUE(WaitUntil([&] { return (ExStyle(ring) & ExStyle(born) & WS_EX_TOPMOST) != 0; }, 5000));
    EXPECT_TRUE(inFront(born)) << LayeredAlpha(ring) << " " << LayeredAlpha(born);
    switches("second rule");
    EXPECT_EQ(center_.Stop(5000), 0u);
}

TEST_F(EffectsEndToEnd, HostOwnLayeringIsWhatItWasAfterTheResidentProgramEnds) {
    Start({{"HostLayered",
            "GlzFxHostLayered",
            60,
            false,
            false,
            {{OnCreate, 0, {{"TransparentWindow", ""}}}}}});
    HostProcess host("L:GlzFxHostLayered");
    HWND window = ShownWindow(host, "GlzFxHostLayered", 10, 10);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 153; }, 5000));
    EXPECT_EQ(center_.Stop(5000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !Subclassed(window); }, 3000));
    EXPECT_TRUE(LayeredByColourKey(window, RGB(1, 2, 3)));
}

TEST_F(EffectsEndToEnd, RuleComesBackWhenTheResidentProgramStartsAgain) {
    Start({{"Again", "GlzFxAgain", 40, false, false, {{OnCreate, 0, {{"TransparentWindow", ""}}}}}});
    HostProcess host("A:GlzFxAgain");
    HWND window = ShownWindow(host, "GlzFxAgain", 10, 10);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 102; }, 5000));
    ASSERT_EQ(center_.Stop(5000), 0u);
    ASSERT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == -1; }, 3000));
    // The library stays loaded in the host; the next run announces the open window to it.
    ASSERT_TRUE(center_.Start()) << center_.StartFailure();
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 102; }, 5000)) << LayeredAlpha(window);
    EXPECT_EQ(center_.Stop(5000), 0u);
}

TEST_F(EffectsEndToEnd, NegativeLevelLeavesTheWindowOpaque) {
    Start({{"Negative", "GlzFxNegative", -5, false, false, {{OnCreate, 0, {{"TransparentWindow", ""}}}}},
           {"Forty", "GlzFxForty", 40, false, false, {{OnCreate, 0, {{"TransparentWindow", ""}}}}}});
    HostProcess host("A:GlzFxNegative A:GlzFxForty");
    HWND negative = ShownWindow(host, "GlzFxNegative", 10, 10);
    HWND forty = ShownWindow(host, "GlzFxForty", 300, 10);
    ASSERT_TRUE(negative != nullptr && forty != nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Subclassed(negative) && LayeredAlpha(forty) == 102; }, 5000));
    EXPECT_TRUE(Opaque(negative)) << LayeredAlpha(negative);
    EXPECT_EQ(center_.Stop(5000), 0u);
}

// The host's windows of one class, once Count of them are there.
std::vector<HWND> HostWindows(const HostProcess& host, const char* className, size_t count) {
    std::vector<HWND> found;
    WaitUntil([&] { return (found = host.Windows(className)).size() == count; }, 10000);
    return found;
}

// The window's thread takes no message for Ms milliseconds once it comes to the request.
void HoldThreadBusy(HWND window, DWORD ms) {
    constexpr UINT QueryMessage = WM_APP + 100;
    PostMessageA(window, QueryMessage, 7, static_cast<LPARAM>(ms));
}

bool Responds(HWND window, UINT timeout) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout, &result) != 0;
}

size_t CountWith(const std::vector<HWND>& windows, const std::function<bool(HWND)>& test) {
    return static_cast<size_t>(std::count_if(windows.begin(), windows.end(), test));
}

constexpr const char* BusyHost = "A:GlzFxBusy A:GlzFxBusy A:GlzFxBusy A:GlzFxBusy A:GlzFxBusy";
constexpr DWORD BusyMs = 5000;

TEST_F(EffectsEndToEnd, CloseWhileTheWindowsThreadIsBusyEndsAtOnceAndLeavesEveryWindowAsBefore) {
    Start(
        {{"Busy",
          "GlzFxBusy",
          50,
          true,
          true,
          {{OnCreate, 0, {{"TransparentWindow", ""}, {"StayOnTop", "STAYONTOPON"}, {"GhostWindow", ""}}}}}});
    HostProcess host(BusyHost);
    const std::vector<HWND> windows = HostWindows(host, "GlzFxBusy", 5);
    ASSERT_EQ(windows.size(), 5u);
    const auto ruled = [](HWND window) {
        return LayeredAlpha(window) == 127 && (ExStyle(window) & WS_EX_TRANSPARENT) != 0;
    };
    ASSERT_TRUE(WaitUntil([&] { return CountWith(windows, ruled) == 5; }, 10000));
    HoldThreadBusy(windows[0], BusyMs);
    ASSERT_TRUE(WaitUntil([&] { return !Responds(windows[0], 300); }, 2000));

    const ULONGLONG closing = GetTickCount64();
    EXPECT_EQ(center_.Stop(BusyMs + 5000), 0u);
    EXPECT_LT(GetTickCount64() - closing, 2000u) << "the close waited for the busy thread";
    ASSERT_TRUE(WaitUntil([&] { return Responds(windows[0], 500); }, BusyMs + 5000));
    const auto changed = [](HWND window) {
        return (ExStyle(window) & (WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST)) != 0;
    };
    EXPECT_TRUE(WaitUntil([&] { return CountWith(windows, changed) == 0; }, 3000))
        << CountWith(windows, changed) << " of 5 windows still changed";
}

TEST_F(EffectsEndToEnd, ReloadWhileTheWindowsThreadIsBusyGivesEveryWindowItsRuleAfterwards) {
    const auto rule = [](int level) {
        return Rule{"Busy", "GlzFxBusy", level,
                    false,  true,        {{OnCreate, 0, {{"TransparentWindow", ""}, {"GhostWindow", ""}}}}};
    };
    Start({rule(50)});
    HostProcess host(BusyHost);
    const std::vector<HWND> windows = HostWindows(host, "GlzFxBusy", 5);
    ASSERT_EQ(windows.size(), 5u);
    ASSERT_TRUE(WaitUntil([&] { return CountAtAlpha(windows, 127) == 5; }, 10000));
    HoldThreadBusy(windows[0], BusyMs);
    ASSERT_TRUE(WaitUntil([&] { return !Responds(windows[0], 300); }, 2000));

    WriteRules(center_, {rule(30)});
    int code = 0;
    std::string reply;
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    ASSERT_TRUE(WaitUntil([&] { return Responds(windows[0], 500); }, BusyMs + 5000));
    const auto ruled = [](HWND window) {
        return LayeredAlpha(window) == 76 && (ExStyle(window) & WS_EX_TRANSPARENT) != 0;
    };
    EXPECT_TRUE(WaitUntil([&] { return CountWith(windows, ruled) == 5; }, 5000))
        << CountWith(windows, ruled) << " of 5 windows have the new rule";
    EXPECT_EQ(center_.Stop(5000), 0u);
}

} // namespace
