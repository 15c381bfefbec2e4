#include "Declarations.h"
#include "EARoutines.h"
#include "Errors.h"
#include "uEAActions.h"
#include "uEAHookProc.h"
#include "uEAStartup.h"
#include "uEAThread.h"
#include "AppSpecificConsts.h"
#include "uEmbededApplication.h"
#include "uHooks.h"

#include "Embedded/EmbTestSupport.h"
#include "Handles.h"
#include "ProcessesCommunication.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex loggedLock;
std::vector<std::string> logged;

} // namespace

// This program's error log, in place of the library's, which records nothing.
void LogError(const std::string& text) {
    const std::lock_guard<std::mutex> lock(loggedLock);
    logged.push_back(text);
}

namespace {

constexpr DWORD HandOverBusyMs = 5500;

// Delivers what other threads sent or posted to this thread's windows.
void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// The hook for this thread only, as the system would call it for this process.
class EmbededApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        hook_.Reset(SetWindowsHookExA(WH_CALLWNDPROC, CallProcHook, nullptr, GetCurrentThreadId()));
        ASSERT_TRUE(hook_);
        application_ = EmbededApplication();
        ASSERT_TRUE(application_);
    }
    void TearDown() override {
        hook_.Reset();
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
    // Announces the window again: true once a fetch other than Earlier attached it, its rule taken
    // by this thread.
    bool AttachedWhenAnnouncedAgain(HWND window, TFetchId earlier) {
        SendMessageA(window, AttachWindowMessage, 0, 0);
        const TFetchId fetch = application_->FetchOf(window);
        return fetch != 0 && fetch != earlier &&
               WaitUntil(
                   [&] {
                       PumpMessages();
                       return application_->IsAttached(window);
                   },
                   5000);
    }
    UniqueHook hook_;
    TEmbededApplicationPtr application_;
    std::vector<HWND> windows_;
};

constexpr const char* OnTopRule = "\\WINDOWRULENAME=r\\ACTION=STAYONTOPACTION{\\NAME=s\\}";

std::string TransparentRule(int level) {
    return "\\WINDOWRULENAME=t\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=T\\SAVECURRENTOPERATION=no\\"
           "\\TRANSPARENTLEVEL=" +
           std::to_string(level) + "}\\TRIGGER=WMCREATEMESSAGETRIGGER{\\AGENT={\\NAME=A\\ACTIONNAME=T}}";
}

int Alpha(HWND window) {
    BYTE alpha = 0;
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0 ||
        !GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr))
        return -1;
    return alpha;
}

// Answers window queries on the real channel from a thread of this process: Answer gets the
// number of the query (1, 2, ...) and gives the rule text, or nothing for no reply at all.
class TScriptedServer {
public:
    using Answer = std::function<std::optional<std::string>(int query)>;
    explicit TScriptedServer(Answer answer) : answer_(std::move(answer)), thread_([this] { Serve(); }) {}
    ~TScriptedServer() {
        stop_ = true;
        thread_.join();
    }
    int Queries() const { return queries_; }

private:
    void Serve() {
        TProcessesCommunication channel(ChannelPrefix);
        channel.SetTimeout(50);
        while (!stop_) {
            int code = 0;
            int size = 0;
            std::vector<char> data;
            if (channel.WaitForCommand(code, size, data) != channelDone || code != cmdQueryWindowRule)
                continue;
            if (const std::optional<std::string> text = answer_(++queries_))
                channel.Reply(replyDone, static_cast<int>(text->size()), text->data());
        }
    }
    Answer answer_;
    std::atomic<bool> stop_{false};
    std::atomic<int> queries_{0};
    std::thread thread_;
};

// The hook-handle mapping that the resident program holds while it runs.
UniqueHandle PublishHookMapping() {
    return UniqueHandle(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, HookMappingName));
}

// Hands a rule over as a worker does, from another thread, while this thread takes messages.
bool HandOverFromWorker(TEmbededApplication& application, HWND window, const std::string& text) {
    // The hand-over waits for the window's thread only while the resident program runs.
    const UniqueHandle mapping = PublishHookMapping();
    const TFetchId fetch = application.FetchOf(window);
    std::atomic<int> outcome{-1};
    std::thread worker([&] { outcome = application.HandOver(window, fetch, text) ? 1 : 0; });
    // The worker leaves at once; this thread takes the rule with its next messages.
    WaitUntil([&] { return outcome == 0 || (outcome == 1 && application.IsAttached(window)); }, 3000);
    worker.join();
    return outcome == 1;
}

// A manual-reset event for the steps of one test.
struct TSignal {
    UniqueHandle Event{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    void Set() const { SetEvent(Event.Get()); }
    bool Wait(DWORD ms) const { return WaitForSingleObject(Event.Get(), ms) == WAIT_OBJECT_0; }
    bool IsSet() const { return Wait(0); }
};

} // namespace

TEST_F(EmbededApplicationTest, RuleThatArrivesAfterTheDetachWasAskedForNeverAttaches) {
    const UniqueHandle mapping = PublishHookMapping();
    TSignal queried, detached;
    TScriptedServer server([&](int) -> std::optional<std::string> {
        queried.Set();
        detached.Wait(2000);
        return std::string(OnTopRule);
    });
    HWND window = Make(WS_OVERLAPPED);
    ASSERT_TRUE(WaitUntil([&] { return queried.IsSet(); }, 3000));
    SendMessageA(window, DetachExtenderMessage, 0, 0);
    detached.Set();
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 5000));
    WaitUntil([] { return false; }, 100);
    EXPECT_FALSE(application_->IsAttached(window));
    EXPECT_FALSE(application_->InWindows(window));
}

TEST_F(EmbededApplicationTest, FetchOfAnEarlierAnnouncementNeverDisplacesTheLatest) {
    const UniqueHandle mapping = PublishHookMapping();
    // The earlier fetch ends with a rule of its own, or with none.
    for (const std::string& earlier : {TransparentRule(80), std::string()}) {
        TSignal first, announced;
        TScriptedServer server([&](int query) -> std::optional<std::string> {
            if (query > 1)
                return TransparentRule(40);
            first.Set();
            announced.Wait(2000);
            return earlier;
        });
        HWND window = Make(WS_OVERLAPPED);
        ASSERT_TRUE(WaitUntil([&] { return first.IsSet(); }, 3000));
        // Announced again while its fetch runs, and not detached: that fetch goes on alone.
        const TFetchId running = application_->FetchOf(window);
        SendMessageA(window, AttachWindowMessage, 0, 0);
        EXPECT_EQ(running, application_->FetchOf(window));
        EXPECT_EQ(1, TEAThread::RunningWorkers());
        SendMessageA(window, DetachExtenderMessage, 0, 0);
        SendMessageA(window, AttachWindowMessage, 0, 0);
        EXPECT_NE(running, application_->FetchOf(window));
        announced.Set();
        EXPECT_TRUE(WaitUntil([&] { return TEAThread::RunningWorkers() == 0; }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return Alpha(window) == 102; }, 1000)) << Alpha(window);
        EXPECT_TRUE(application_->IsAttached(window));
        EXPECT_EQ(2, server.Queries());
    }
}

TEST_F(EmbededApplicationTest, RuleWaitsForAWindowWhoseThreadIsBusyForSeconds) {
    const UniqueHandle mapping = PublishHookMapping();
    TScriptedServer server([](int) { return std::optional<std::string>(TransparentRule(40)); });
    std::atomic<HWND> window{nullptr};
    TSignal done;
    std::thread host([&] {
        UniqueHook hook(SetWindowsHookExA(WH_CALLWNDPROC, CallProcHook, nullptr, GetCurrentThreadId()));
        window = CreateWindowExA(0, "STATIC", "busy", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        Sleep(HandOverBusyMs); // busy: no message is taken meanwhile
        const HANDLE event = done.Event.Get();
        while (MsgWaitForMultipleObjects(1, &event, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        DestroyWindow(window);
        hook.Reset();
    });
    EXPECT_TRUE(WaitUntil([&] { return window != nullptr && Alpha(window) == 102; }, HandOverBusyMs + 3000));
    done.Set();
    host.join();
}

TEST_F(EmbededApplicationTest, WorkerGetsItsRuleWhenTheServerTimesOutOnceAndAnswersTheSecondSend) {
    const UniqueHandle mapping = PublishHookMapping();
    TScriptedServer server([](int query) {
        return query == 1 ? std::nullopt : std::optional<std::string>(TransparentRule(40));
    });
    HWND window = Make(WS_OVERLAPPED);
    EXPECT_TRUE(WaitUntil([&] { return Alpha(window) == 102; }, 5000));
    EXPECT_EQ(2, server.Queries());
}

TEST_F(EmbededApplicationTest, WorkerKeepsAskingPastFiveTimeOutsWhileTheResidentProgramRuns) {
    const UniqueHandle mapping = PublishHookMapping();
    std::mutex arrivalsLock;
    std::vector<DWORD> arrivals;
    TScriptedServer server([&](int query) {
        const std::lock_guard<std::mutex> guard(arrivalsLock);
        arrivals.push_back(GetTickCount());
        return query <= 6 ? std::nullopt : std::optional<std::string>(TransparentRule(40));
    });
    HWND window = Make(WS_OVERLAPPED);
    EXPECT_TRUE(WaitUntil([&] { return Alpha(window) == 102; }, 12000));
    // Each send waits its reply time-out; the pause after it starts short and grows step by step
    // (25, 50, 100, 200 ms and so on), so that a busy server is neither hurried nor left idle.
    const std::lock_guard<std::mutex> guard(arrivalsLock);
    ASSERT_EQ(arrivals.size(), 7u);
    std::vector<DWORD> gaps;
    for (size_t i = 1; i < arrivals.size(); ++i)
        gaps.push_back(arrivals[i] - arrivals[i - 1]);
    EXPECT_LT(gaps[0], 800u) << gaps[0];
    EXPECT_LT(gaps[1], gaps[4]) << gaps[1] << " " << gaps[4];
    const long growth = static_cast<long>(gaps[4]) - static_cast<long>(gaps[0]);
    EXPECT_GE(growth, 200) << gaps[0] << " " << gaps[4];
    EXPECT_LT(growth, 700) << gaps[0] << " " << gaps[4];
}

TEST_F(EmbededApplicationTest, FetchWhoseTurnTimedOutQueuesAgainAtOnce) {
    // Five unanswered sends grow the pause to 800 ms; then another conversation holds the channel
    // past the worker's wait for its turn. The worker queues again at once, keeping its place: the
    // conversation's end lets its request through without a pause.
    std::atomic<DWORD> arrived{0};
    TScriptedServer server([&](int query) -> std::optional<std::string> {
        if (query <= 5)
            return std::nullopt;
        arrived = GetTickCount();
        return std::string(OnTopRule);
    });
    TSignal taken, letGo;
    std::thread holder;
    int asked = 0;
    DWORD turnTimedOut = 0;
    const std::string text = FetchWindowRule(reinterpret_cast<HWND>(0x1234), [&] {
        if (++asked == 5) {
            holder = std::thread([&] {
                const UniqueHandle lock(OpenMutexA(
                    SYNCHRONIZE, FALSE, (std::string(ChannelPrefix) + ChannelCommandLockSuffix).c_str()));
                const MutexLock held(lock.Get());
                taken.Set();
                letGo.Wait(10000);
            });
            taken.Wait(5000);
        } else if (asked == 6) {
            turnTimedOut = GetTickCount();
            letGo.Set();
        }
        return asked < 8;
    });
    letGo.Set();
    if (holder.joinable())
        holder.join();
    EXPECT_EQ(OnTopRule, text);
    ASSERT_EQ(6, asked);
    EXPECT_LT(arrived - turnTimedOut, 400u) << arrived - turnTimedOut;
}

TEST_F(EmbededApplicationTest, WorkerStopsAskingWhenTheResidentProgramOrTheWindowIsGone) {
    UniqueHandle mapping = PublishHookMapping();
    HWND window = Make(WS_OVERLAPPED);
    HWND destroyed = Make(WS_OVERLAPPED);
    WaitUntil([] { return false; }, 1500);
    EXPECT_EQ(2, TEAThread::RunningWorkers());
    DestroyWindow(destroyed);
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 1; }, 3000));
    mapping.Reset();
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 3000));
    EXPECT_FALSE(application_->InWindows(window));
}

TEST_F(EmbededApplicationTest, FetchWithoutRuleRemovesWindowSoALaterAttachAsksAgain) {
    HWND window = Make(WS_OVERLAPPED);
    EXPECT_TRUE(WaitUntil(
        [&] { return !application_->InWindows(window) && TEAThread::RunningWorkers() == 0; }, 8000));
    SendMessageA(window, AttachWindowMessage, 0, 0);
    EXPECT_TRUE(application_->InWindows(window) || TEAThread::RunningWorkers() > 0);
    EXPECT_TRUE(WaitUntil(
        [&] { return !application_->InWindows(window) && TEAThread::RunningWorkers() == 0; }, 8000));
}

TEST_F(EmbededApplicationTest, RuleHandedOverButNeverTakenIsAskedForAgainAtTheNextAnnouncement) {
    const UniqueHandle mapping = PublishHookMapping();
    TSignal queried, unhooked;
    TScriptedServer server([&](int query) {
        if (query == 1) {
            queried.Set();
            unhooked.Wait(2000);
        }
        return std::optional<std::string>(TransparentRule(40));
    });
    HWND window = Make(WS_OVERLAPPED);
    ASSERT_TRUE(WaitUntil([&] { return queried.IsSet(); }, 3000));
    const TFetchId first = application_->FetchOf(window);
    // The resident program that answers ends, and its hook with it, before the window's thread
    // takes the rule: the request to take it reaches the window unseen.
    hook_.Reset();
    unhooked.Set();
    ASSERT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 3000));
    PumpMessages();
    EXPECT_FALSE(application_->IsAttached(window));
    // The next resident program's hook, and its announcement of the window.
    hook_.Reset(SetWindowsHookExA(WH_CALLWNDPROC, CallProcHook, nullptr, GetCurrentThreadId()));
    EXPECT_TRUE(AttachedWhenAnnouncedAgain(window, first));
    EXPECT_EQ(102, Alpha(window));
    EXPECT_EQ(2, server.Queries());
}

namespace {

// The extender's class key names a class that gives no extender, as a rule text whose reading
// fails would; the library's own class is back afterwards.
class TExtenderKeyTaken {
public:
    TExtenderKeyTaken() { Register(ClassOf<TStayOnTopAction>()); }
    ~TExtenderKeyTaken() { Register(ClassOf<TWindowExtender>()); }
    TExtenderKeyTaken(const TExtenderKeyTaken&) = delete;
    TExtenderKeyTaken& operator=(const TExtenderKeyTaken&) = delete;

private:
    static void Register(TAbstractObjectClass cls) {
        ItemClasses()->Delete(Variant("WINDOWEXTENDER"));
        RegisterItemClass(cls, "WINDOWEXTENDER");
    }
};

} // namespace

TEST_F(EmbededApplicationTest, RuleTextThatBuildsNoExtenderLeavesTheWindowFreeToAskAgain) {
    const UniqueHandle mapping = PublishHookMapping();
    TScriptedServer server([](int) { return std::optional<std::string>(TransparentRule(40)); });
    HWND window = nullptr;
    TFetchId first = 0;
    {
        const TExtenderKeyTaken taken;
        window = Make(WS_OVERLAPPED);
        first = application_->FetchOf(window);
        ASSERT_TRUE(
            WaitUntil([&] { return server.Queries() == 1 && TEAThread::RunningWorkers() == 0; }, 5000));
        // This thread takes the rule handed over and builds nothing from it.
        PumpMessages();
    }
    EXPECT_FALSE(application_->IsAttached(window));
    EXPECT_TRUE(AttachedWhenAnnouncedAgain(window, first));
    EXPECT_EQ(102, Alpha(window));
    EXPECT_EQ(2, server.Queries());
}

TEST_F(EmbededApplicationTest, ChildWindowIsNotAttachedOnCreate) {
    HWND parent = Make(WS_OVERLAPPED);
    WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000);
    HWND child = Make(WS_CHILD, parent);
    EXPECT_FALSE(application_->InWindows(child));
    EXPECT_EQ(0, TEAThread::RunningWorkers());
}

TEST_F(EmbededApplicationTest, HookExcludesWholeClassNamesOnly) {
    const auto make = [&](const char* name) {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = name;
        RegisterClassA(&cls);
        return Make(WS_OVERLAPPED, nullptr, name);
    };
    EXPECT_FALSE(application_->InWindows(make("IME")));
    EXPECT_FALSE(application_->InWindows(make("tooltips_class32")));
    // Window class names compare without case, so the case test stays with the list itself.
    for (const char* name : {"IMEX", "IM", "ME", "IME;;Ghost"})
        EXPECT_TRUE(application_->InWindows(make(name))) << name;
}

TEST_F(EmbededApplicationTest, WindowOfAnotherProcessIsIgnored) {
    WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 8000);
    HWND desktop = GetDesktopWindow(); // owned by the desktop's own process
    CWPSTRUCT record{0, 0, AttachWindowMessage, desktop};
    CallProcHook(0, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_FALSE(application_->InWindows(desktop));
    EXPECT_EQ(0, TEAThread::RunningWorkers());
}

namespace {
// Counts the announcements of an attachment, and those sent from a thread other than the window's
// and waiting for the answer (the request the worker leaves with the window is only a notice).
int attachments = 0;
int attachmentsFromElsewhere = 0;
LRESULT CALLBACK NotesAttachments(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == ExtenderAttachedMessage) {
        ++attachments;
        attachmentsFromElsewhere += (InSendMessageEx(nullptr) & ISMEX_SEND) != 0 ? 1 : 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}
} // namespace

TEST_F(EmbededApplicationTest, RuleIsHandedToTheWindowsOwnThreadOnlyForTheLatestFetch) {
    WNDCLASSA notes{};
    notes.lpfnWndProc = NotesAttachments;
    notes.hInstance = GetModuleHandleA(nullptr);
    notes.lpszClassName = "GlzNotesAttachments";
    RegisterClassA(&notes);
    HWND window = Make(WS_OVERLAPPED, nullptr, notes.lpszClassName);
    const TFetchId fetch = application_->FetchOf(window);
    ASSERT_NE(0u, fetch);
    EXPECT_FALSE(application_->HandOver(window, fetch + 1000, OnTopRule));
    const UniqueHandle mapping = PublishHookMapping();
    attachments = attachmentsFromElsewhere = 0;
    std::atomic<int> outcome{-1};
    std::thread worker([&] { outcome = application_->HandOver(window, fetch, OnTopRule) ? 1 : 0; });
    // A delivery of another fetch's number applies nothing; this thread's messages apply it.
    application_->ApplyPending(window, static_cast<LPARAM>(fetch + 1000));
    EXPECT_FALSE(application_->IsAttached(window));
    EXPECT_TRUE(WaitUntil(
        [&] {
            PumpMessages();
            return outcome >= 0 && application_->IsAttached(window);
        },
        3000));
    worker.join();
    EXPECT_EQ(1, outcome);
    EXPECT_TRUE(application_->IsAttached(window));
    // Subclassed and set up by the window's own thread, not by the worker.
    EXPECT_EQ(1, attachments);
    EXPECT_EQ(0, attachmentsFromElsewhere);
}

TEST_F(EmbededApplicationTest, HostStaysResponsiveWithNoServer) {
    const DWORD start = GetTickCount();
    HWND window = Make(WS_OVERLAPPED);
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result));
    // Creation and messages do not wait for the fetch; with no resident program the worker
    // gives up after its first time-out.
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(application_->InWindows(window));
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 3000));
    EXPECT_FALSE(application_->InWindows(window));
}

TEST_F(EmbededApplicationTest, WindowDestroyedWhileRuleInFlightLeavesNothingBehind) {
    HWND window = Make(WS_OVERLAPPED);
    ASSERT_TRUE(application_->InWindows(window));
    const TFetchId fetch = application_->FetchOf(window);
    DestroyWindow(window);
    windows_.clear();
    // The rule arrives after the window is gone.
    std::atomic<int> outcome{-1};
    std::thread worker([&] {
        outcome = application_->HandOver(window, fetch, OnTopRule) ? 1 : 0;
        application_->EndFetch(window, fetch);
    });
    worker.join();
    EXPECT_EQ(0, outcome);
    application_->Apply(window, OnTopRule);
    application_->ApplyPending(window, static_cast<LPARAM>(fetch));
    EXPECT_TRUE(WaitUntil([] { return TEAThread::RunningWorkers() == 0; }, 3000));
    EXPECT_FALSE(application_->InWindows(window));
    EXPECT_EQ(0, application_->ExtenderCount());
    EXPECT_EQ(0, LiveHookEntries());
}

namespace {
// A host's procedure over ours that keeps the detach message from it.
WNDPROC procBelow = nullptr;
LRESULT CALLBACK KeepsDetachFromUs(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return msg == DetachExtenderMessage ? 0 : CallWindowProcA(procBelow, window, msg, wParam, lParam);
}
} // namespace

TEST_F(EmbededApplicationTest, RuleAppliedOnOwnThreadSubclassesAndDetachMessageRestores) {
    HWND window = Make(WS_OVERLAPPED);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    ASSERT_TRUE(HandOverFromWorker(*application_.Get(), window, OnTopRule));
    ASSERT_TRUE(application_->IsAttached(window));
    EXPECT_NE(original, GetWindowLongPtrA(window, GWLP_WNDPROC));

    // The hook cancels only a fetch: a window whose extender never saw the message stays
    // attached and known, and a new announcement starts no second fetch.
    const TFetchId fetch = application_->FetchOf(window);
    procBelow = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepsDetachFromUs)));
    SendMessageA(window, DetachExtenderMessage, 0, 0);
    SendMessageA(window, AttachWindowMessage, 0, 0);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procBelow));
    EXPECT_TRUE(application_->IsAttached(window));
    EXPECT_EQ(fetch, application_->FetchOf(window));

    SendMessageA(window, DetachExtenderMessage, 0, 0);
    EXPECT_FALSE(application_->IsAttached(window));
    EXPECT_FALSE(application_->InWindows(window));
    EXPECT_EQ(original, GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_EQ(0, LiveHookEntries());
}

TEST_F(EmbededApplicationTest, UnloadingTheLibraryDetachesEveryExtender) {
    const UniqueHandle mapping = PublishHookMapping();
    const std::vector<HWND> windows{Make(WS_OVERLAPPED), Make(WS_OVERLAPPED), Make(WS_OVERLAPPED)};
    const LONG_PTR original = GetWindowLongPtrA(windows[0], GWLP_WNDPROC);
    for (HWND window : windows)
        ASSERT_TRUE(HandOverFromWorker(*application_.Get(), window, OnTopRule));
    ASSERT_EQ(3, application_->ExtenderCount());
    // What the library's unload runs.
    ReleaseApplication();
    for (HWND window : windows) {
        EXPECT_FALSE(application_->IsAttached(window));
        EXPECT_FALSE(application_->InWindows(window));
        EXPECT_EQ(original, GetWindowLongPtrA(window, GWLP_WNDPROC));
    }
    EXPECT_EQ(0, application_->ExtenderCount());
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
    ASSERT_TRUE(HandOverFromWorker(*application_.Get(), window, OnTopRule));
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

namespace {

// An action whose every operation fails, as a failure deep inside a rule's work would.
class TFailingAction : public TAction {
protected:
    void CreateOperations() override {
        AddOperation("FAILON", "Fail on", "FAILON", "FAILOFF", true);
        AddOperation("FAILOFF", "Fail off", "FAILOFF", "FAILON", false);
        SetCurrentOperation("FAILOFF");
    }
    bool DoOperation(const std::string&) override { throw Exception("the action failed"); }
};

bool LoggedWithText(const std::string& text) {
    const std::lock_guard<std::mutex> lock(loggedLock);
    for (const std::string& line : logged)
        if (line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0)
            return true;
    return false;
}

} // namespace

TEST_F(EmbededApplicationTest, FailureInsideARuleIsLoggedAndTheRestOfTheRuleStillRuns) {
    RegisterItemClass(ClassOf<TFailingAction>(), "FAILINGACTION");
    // The failing action's agent comes first; the transparency's agent must still get its turn.
    const std::string rule = "\\WINDOWRULENAME=f\\ACTION=FAILINGACTION{\\NAME=F}"
                             "\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=T\\TRANSPARENTLEVEL=50}"
                             "\\TRIGGER=WMCREATEMESSAGETRIGGER{\\AGENT={\\NAME=A1\\ACTIONNAME=F}"
                             "\\AGENT={\\NAME=A2\\ACTIONNAME=T}}";
    HWND window = Make(WS_OVERLAPPED);
    ASSERT_TRUE(HandOverFromWorker(*application_.Get(), window, rule));
    ASSERT_TRUE(application_->IsAttached(window));
    EXPECT_TRUE(LoggedWithText(": Err = the action failed"));
    EXPECT_EQ(127, Alpha(window));
    // The host's window goes on working through our procedure.
    EXPECT_TRUE(SetWindowTextA(window, "still here"));
    char caption[32] = {};
    EXPECT_EQ(10, GetWindowTextA(window, caption, sizeof caption));
    EXPECT_STREQ("still here", caption);
    SendMessageA(window, DetachExtenderMessage, 0, 0);
    EXPECT_FALSE(application_->IsAttached(window));
    EXPECT_EQ(-1, Alpha(window));
}
