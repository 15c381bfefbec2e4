#include "AppSpecificConsts.h"
#include "ChannelServerRole.h"
#include "ChannelSquatter.h"
#include "ChildProcess.h"
#include "Declarations.h"
#include "Handles.h"
#include "ProcessesCommunication.h"
#include "SingleAppInstance.h"
#include "WinFuncs.h"

#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <tuple>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// The channel's block and events opened directly, as any other process of the user could.
struct RawChannel {
    explicit RawChannel(const std::string& prefix)
        : section(OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE,
                                   (prefix + ChannelSharedMemorySuffix).c_str())),
          view(MapView(section.Get(), FILE_MAP_READ | FILE_MAP_WRITE, ChannelBufferSize)),
          newCommand(OpenEventA(EVENT_ALL_ACCESS, FALSE, (prefix + ChannelNewCommandSuffix).c_str())),
          commandComplete(
              OpenEventA(EVENT_ALL_ACCESS, FALSE, (prefix + ChannelCommandCompleteSuffix).c_str())) {}
    TChannelBlock* Block() const { return static_cast<TChannelBlock*>(view.Get()); }
    UniqueHandle section;
    MappedView view;
    UniqueHandle newCommand;
    UniqueHandle commandComplete;
};

// A channel server in a second process, ended when the test is done.
class ServerProcess {
public:
    ServerProcess() : prefix_(UniqueName("{GlzChannelTest}")) {
        const std::string ready = prefix_ + "Ready";
        const UniqueHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
        process_ = StartSelf("--server " + prefix_ + " " + ready);
        HANDLE waits[] = {readyEvent.Get(), process_.Get()};
        started_ = process_ && WaitForMultipleObjects(2, waits, FALSE, 10000) == WAIT_OBJECT_0;
    }
    ~ServerProcess() {
        QuitChannelServer(prefix_);
        if (WaitForExit(process_.Get(), 5000) == WAIT_TIMEOUT)
            TerminateProcess(process_.Get(), 1);
    }
    bool Started() const { return started_; }
    const std::string& Prefix() const { return prefix_; }

private:
    std::string prefix_;
    UniqueHandle process_;
    bool started_ = false;
};

struct Answer {
    int result = -100;
    int code = 0;
    int size = 0;
    std::vector<char> data;
};

Answer Send(TProcessesCommunication& channel, int code, int size, const void* data) {
    Answer answer;
    answer.result = channel.SendCommand(code, size, data, answer.code, answer.size, answer.data);
    return answer;
}

Answer Query(TProcessesCommunication& channel, int window) {
    return Send(channel, cmdQueryWindowRule, 4, &window);
}

// ---- Registered messages and window helpers ----

TEST(Declarations, MessageNumbersAreEqualAcrossProcesses) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + UniqueName("glzmessages") + ".txt";
    const UniqueHandle child = StartSelf("--messages \"" + file + "\"");
    ASSERT_TRUE(child);
    ASSERT_EQ(0u, WaitForExit(child.Get()));
    std::ifstream in(file);
    UINT numbers[5] = {};
    for (UINT& number : numbers)
        in >> number;
    in.close();
    DeleteFileA(file.c_str());
    const UINT ours[5] = {TrayCallbackMessage, ExtenderAttachedMessage, AttachWindowMessage,
                          DetachExtenderMessage, WndProcChainMessage};
    for (int i = 0; i < 5; ++i) {
        EXPECT_GE(ours[i], 0xC000u) << i;
        EXPECT_EQ(ours[i], numbers[i]) << i;
    }
    EXPECT_EQ(RegisterWindowMessageA(AttachWindowMessageName), AttachWindowMessage);
}

TEST(Declarations, RefusedRegistrationTakesTheFixedNumber) {
    const std::string tooLong(300, 'x');
    EXPECT_EQ(0u, RegisterWindowMessageA(tooLong.c_str()));
    EXPECT_EQ(AttachWindowMessageDefault, RegisterMessageOr(tooLong.c_str(), AttachWindowMessageDefault));
    EXPECT_EQ(33113u, AttachWindowMessageDefault);
}

TEST(WinFuncs, ClassNameIsCutTo254AndEmptyCaptionReadsEmpty) {
    const std::string longName(255, 'C');
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = longName.c_str();
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(0, longName.c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(longName.substr(0, 254), GetWindowClassName(window));
    EXPECT_EQ("", GetWindowCaption(window));
    SetWindowTextA(window, "Untitled - Notepad");
    EXPECT_EQ("Untitled - Notepad", GetWindowCaption(window));
    DestroyWindow(window);
    EXPECT_EQ("", GetWindowClassName(window));
    UnregisterClassA(longName.c_str(), windowClass.hInstance);
}

TEST(WinFuncs, CaptionOfAWindowWhoseThreadDoesNotAnswerIsReadAtOnce) {
    // The window's thread waits without taking messages, as a hung program's does.
    const std::string caption(700, 'h');
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::promise<HWND> created;
    std::thread owner([&] {
        HWND window = CreateWindowExA(0, "STATIC", caption.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        created.set_value(window);
        WaitForSingleObject(release.Get(), INFINITE);
        DestroyWindow(window);
    });
    const HWND window = created.get_future().get();
    ASSERT_NE(nullptr, window);
    auto read = std::async(std::launch::async, [window] { return GetWindowCaption(window); });
    const bool answered = read.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    SetEvent(release.Get());
    owner.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(caption, read.get());
}

// ---- Command channel against a server in another process ----

TEST(ProcessesCommunication, FullBlockPassesAndOneByteMoreFailsAtOnce) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    TProcessesCommunication channel(server.Prefix());
    std::vector<char> request(ChannelMaxData + 1);
    for (size_t i = 0; i < request.size(); ++i)
        request[i] = static_cast<char>(i * 7);
    const Answer full = Send(channel, testCmdEcho, ChannelMaxData, request.data());
    ASSERT_EQ(channelDone, full.result);
    EXPECT_EQ(replyDone, full.code);
    ASSERT_EQ(ChannelMaxData, full.size);
    EXPECT_TRUE(std::equal(full.data.begin(), full.data.end(), request.begin()));

    const ULONGLONG start = GetTickCount64();
    const Answer over = Send(channel, testCmdEcho, ChannelMaxData + 1, request.data());
    EXPECT_EQ(channelError, over.result);
    EXPECT_LT(GetTickCount64() - start, 100u);
    EXPECT_EQ(0, over.size);
    EXPECT_TRUE(over.data.empty());
}

TEST(ProcessesCommunication, QueryOfThreeBytesIsAnsweredMinusOneAndEmptyRuleGivesNoData) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    TProcessesCommunication channel(server.Prefix());
    const Answer wrong = Send(channel, cmdQueryWindowRule, 3, "abc");
    ASSERT_EQ(channelDone, wrong.result);
    EXPECT_EQ(replyWrongSize, wrong.code);
    EXPECT_EQ(0, wrong.size);

    const Answer empty = Query(channel, 0x1234);
    ASSERT_EQ(channelDone, empty.result);
    EXPECT_EQ(replyDone, empty.code);
    EXPECT_EQ(0, empty.size);
    EXPECT_TRUE(empty.data.empty());

    const int length = 200;
    ASSERT_EQ(channelDone, Send(channel, testCmdRuleLength, 4, &length).result);
    const Answer rule = Query(channel, 0x1234);
    ASSERT_EQ(channelDone, rule.result);
    EXPECT_EQ(std::string(200, 'r'), std::string(rule.data.begin(), rule.data.end()));
}

TEST(ProcessesCommunication, UnansweredCodeTimesOutAfterTheTimeout) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    TProcessesCommunication channel(server.Prefix());
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(channelTimeout, Send(channel, 7, 0, nullptr).result);
    ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 450u);
    EXPECT_LT(elapsed, 1500u);

    channel.SetTimeout(100);
    start = GetTickCount64();
    EXPECT_EQ(channelTimeout, Send(channel, 7, 0, nullptr).result);
    elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 80u);
    EXPECT_LT(elapsed, 450u);
    // The server is still there for the next conversation.
    EXPECT_EQ(channelDone, Query(channel, 1).result);
}

TEST(ProcessesCommunication, ClientWaitingItsTurnIsServedAfterALongConversation) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    TProcessesCommunication channel(server.Prefix());
    // Another client holding the conversation until it is let go (mutexes belong to threads).
    const UniqueHandle taken(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const UniqueHandle letGo(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        const UniqueHandle lock(
            OpenMutexA(SYNCHRONIZE, FALSE, (server.Prefix() + ChannelCommandLockSuffix).c_str()));
        const MutexLock held(lock.Get());
        SetEvent(taken.Get());
        WaitForSingleObject(letGo.Get(), 10000);
    });
    WaitForSingleObject(taken.Get(), 5000);
    EXPECT_EQ(channelTimeout, Query(channel, 1).result);
    EXPECT_TRUE(channel.TimedOutWaitingForTurn());
    // The wait for the turn keeps its own time-out, shorter or longer than the reply's.
    channel.SetTimeout(3000);
    channel.SetLockTimeout(100);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(channelTimeout, Query(channel, 1).result);
    EXPECT_LT(GetTickCount64() - start, 1500u);
    EXPECT_TRUE(channel.TimedOutWaitingForTurn());
    channel.SetTimeout(300);
    channel.SetLockTimeout(5000);
    auto queued = std::async(std::launch::async, [&] { return Query(channel, 1); });
    EXPECT_EQ(std::future_status::timeout, queued.wait_for(std::chrono::milliseconds(1500)));
    SetEvent(letGo.Get());
    const Answer served = queued.get();
    EXPECT_EQ(channelDone, served.result);
    EXPECT_EQ(replyDone, served.code);
    holder.join();
    // A request that went out and got no reply is no time-out of the turn.
    EXPECT_EQ(channelTimeout, Send(channel, 7, 0, nullptr).result);
    EXPECT_FALSE(channel.TimedOutWaitingForTurn());
}

TEST(ProcessesCommunication, MutexesAbandonedByAnEndedProcessCountAsAcquired) {
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    TProcessesCommunication channel(server.Prefix());
    const UniqueHandle child = StartSelf("--abandon-locks " + server.Prefix());
    ASSERT_TRUE(child);
    ASSERT_EQ(0u, WaitForExit(child.Get()));
    ASSERT_TRUE(channel.Lock());
    channel.Unlock();
    const Answer answer = Query(channel, 1);
    EXPECT_EQ(channelDone, answer.result);
    EXPECT_EQ(replyDone, answer.code);
}

TEST(ProcessesCommunication, NewChannelObjectElsewhereKeepsTheRequestInFlight) {
    const std::string prefix = UniqueName("{GlzChannelKeep}");
    TProcessesCommunication first(prefix);
    ASSERT_TRUE(first.Usable());
    RawChannel raw(prefix);
    ASSERT_NE(nullptr, raw.Block());
    EXPECT_EQ(0, raw.Block()->code);
    raw.Block()->code = cmdQueryWindowRule;
    raw.Block()->size = 4;
    const UniqueHandle child = StartSelf("--open-channel " + prefix);
    ASSERT_TRUE(child);
    ASSERT_EQ(0u, WaitForExit(child.Get()));
    EXPECT_EQ(cmdQueryWindowRule, raw.Block()->code);
    EXPECT_EQ(4, raw.Block()->size);
}

// ---- Command channel against what any process could leave in the block ----

TEST(ProcessesCommunication, ForgedSizeInTheBlockIsAFailedWait) {
    const std::string prefix = UniqueName("{GlzChannelForged}");
    TProcessesCommunication server(prefix);
    RawChannel raw(prefix);
    ASSERT_NE(nullptr, raw.Block());
    for (const LONG forged : {-1, ChannelMaxData + 1, 0x7FFFFFFF}) {
        raw.Block()->code = cmdQueryWindowRule;
        raw.Block()->size = forged;
        SetEvent(raw.newCommand.Get());
        int code = -5, size = -5;
        std::vector<char> data(3);
        EXPECT_EQ(channelError, server.WaitForCommand(code, size, data)) << forged;
        EXPECT_EQ(0, size);
        EXPECT_TRUE(data.empty());
        // Nothing was read, so there is nothing to answer.
        server.Reply(replyDone, 2, "ok");
        EXPECT_EQ(forged, raw.Block()->size);
    }

    // A forged reply on the client's side.
    TProcessesCommunication client(prefix);
    auto answer = std::async(std::launch::async, [&] { return Query(client, 1); });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(raw.newCommand.Get(), 5000));
    raw.Block()->code = replyDone;
    raw.Block()->size = ChannelMaxData + 100;
    SetEvent(raw.commandComplete.Get());
    const Answer forgedReply = answer.get();
    EXPECT_EQ(channelError, forgedReply.result);
    EXPECT_EQ(0, forgedReply.size);
    EXPECT_TRUE(forgedReply.data.empty());
}

TEST(ProcessesCommunication, NegativeSizeIsRefused) {
    const std::string prefix = UniqueName("{GlzChannelNegative}");
    TProcessesCommunication server(prefix);
    TProcessesCommunication client(prefix);
    RawChannel raw(prefix);
    EXPECT_EQ(channelError, Send(client, cmdQueryWindowRule, -4, "abcd").result);
    // The block was not touched.
    EXPECT_EQ(0, raw.Block()->code);

    auto answer = std::async(std::launch::async, [&] { return Query(client, 1); });
    int code, size;
    std::vector<char> data;
    ASSERT_EQ(channelDone, server.WaitForCommand(code, size, data));
    EXPECT_FALSE(server.Reply(replyDone, -1, "x"));
    EXPECT_EQ(cmdQueryWindowRule, raw.Block()->code);
    EXPECT_EQ(4, raw.Block()->size);
    EXPECT_EQ(channelTimeout, answer.get().result);
}

TEST(ProcessesCommunication, ReplyLargerThanTheBlockIsRefusedAndLeavesTheRequest) {
    const std::string prefix = UniqueName("{GlzChannelOversize}");
    TProcessesCommunication server(prefix);
    TProcessesCommunication client(prefix);
    RawChannel raw(prefix);
    client.SetTimeout(300);
    auto answer = std::async(std::launch::async, [&] { return Query(client, 0x5151); });
    int code, size;
    std::vector<char> data;
    ASSERT_EQ(channelDone, server.WaitForCommand(code, size, data));
    const std::vector<char> reply(ChannelMaxData + 1, 'r');
    EXPECT_FALSE(server.Reply(replyDone, ChannelMaxData + 1, reply.data()));
    // Code, size and data are the request's, and nothing was written past the data.
    EXPECT_EQ(cmdQueryWindowRule, raw.Block()->code);
    EXPECT_EQ(4, raw.Block()->size);
    EXPECT_EQ(0x5151, *reinterpret_cast<int*>(raw.Block()->data));
    EXPECT_NE('r', raw.Block()->data[4]);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(raw.commandComplete.Get(), 0));
    EXPECT_EQ(channelTimeout, answer.get().result);
}

TEST(ProcessesCommunication, ChannelWhoseObjectsCannotBeCreatedFailsCleanly) {
    for (const char* taken : {ChannelSharedMemorySuffix, ChannelWriteLockSuffix, ChannelNewCommandSuffix}) {
        const std::string prefix = UniqueName("{GlzChannelBroken}");
        // A semaphore holds the name, so the object of the other kind cannot be made.
        const UniqueHandle squatter(CreateSemaphoreA(nullptr, 0, 1, (prefix + taken).c_str()));
        ASSERT_TRUE(squatter);
        TProcessesCommunication channel(prefix);
        EXPECT_FALSE(channel.Usable()) << taken;
        int code = 9, size = 9;
        std::vector<char> data;
        EXPECT_EQ(channelError, channel.WaitForCommand(code, size, data)) << taken;
        channel.Reply(replyDone, 4, "rule");
        EXPECT_EQ(channelError, Send(channel, cmdQueryWindowRule, 4, "abcd").result) << taken;
    }
}

TEST(ProcessesCommunication, LockKeptByAnotherProcessBoundsEveryWait) {
    const std::string prefix = UniqueName("{GlzChannelHeld}");
    TProcessesCommunication channel(prefix, 200);
    ASSERT_TRUE(channel.Usable());
    RawChannel raw(prefix);
    TChannelSquatter squatter(prefix, "hold-lock");
    ASSERT_TRUE(squatter.Holds());
    const ULONGLONG start = GetTickCount64();
    // On a thread of its own, so that a wait that never ends fails the test instead of hanging it.
    auto waits = std::async(std::launch::async, [&] {
        const int sent = Send(channel, cmdReloadConfiguration, 0, nullptr).result;
        SetEvent(raw.newCommand.Get());
        int code = 0, size = 0;
        std::vector<char> data;
        const int served = channel.WaitForCommand(code, size, data);
        const bool locked = channel.Lock();
        return std::make_tuple(sent, served, locked);
    });
    ASSERT_EQ(std::future_status::ready, waits.wait_for(std::chrono::seconds(5)));
    const auto [sent, served, locked] = waits.get();
    EXPECT_EQ(channelTimeout, sent);
    EXPECT_EQ(channelTimeout, served);
    EXPECT_FALSE(locked);
    EXPECT_LT(GetTickCount64() - start, 2000u);
}

TEST(ProcessesCommunication, NamesTakenFirstByAnotherProcessGiveAnUnusableChannelInTime) {
    for (const char* how : {"hold-lock", "small-block", "wrong-kind:CommandCompleteEvent"}) {
        const std::string prefix = UniqueName("{GlzChannelTaken}");
        TChannelSquatter squatter(prefix, how);
        ASSERT_TRUE(squatter.Holds()) << how;
        const ULONGLONG start = GetTickCount64();
        auto opened = std::async(std::launch::async, [&] {
            auto channel = std::make_unique<TProcessesCommunication>(prefix, 200);
            int code = 0, size = 0;
            std::vector<char> data;
            const auto outcome =
                std::make_tuple(channel->Usable(), Send(*channel, cmdQueryWindowRule, 4, "abcd").result,
                                channel->WaitForCommand(code, size, data));
            // Names that never got past the held lock leave nothing to close under it.
            const ULONGLONG closing = GetTickCount64();
            channel.reset();
            return std::tuple_cat(outcome, std::make_tuple(GetTickCount64() - closing));
        });
        ASSERT_EQ(std::future_status::ready, opened.wait_for(std::chrono::seconds(5))) << how;
        const auto [usable, sent, served, closed] = opened.get();
        EXPECT_FALSE(usable) << how;
        EXPECT_EQ(channelError, sent) << how;
        EXPECT_EQ(channelError, served) << how;
        EXPECT_LT(closed, 250u) << how;
        EXPECT_LT(GetTickCount64() - start, 2000u) << how;
    }
}

TEST(ProcessesCommunication, LateReplyDoesNotReachTheNextClient) {
    const std::string prefix = UniqueName("{GlzChannelLate}");
    TProcessesCommunication server(prefix);
    auto first = std::make_unique<TProcessesCommunication>(prefix);
    TProcessesCommunication second(prefix);
    RawChannel raw(prefix);
    first->SetTimeout(100);
    int code, size;
    std::vector<char> data;

    auto gaveUp = std::async(std::launch::async, [&] { return Query(*first, 0xAAAA); });
    ASSERT_EQ(channelDone, server.WaitForCommand(code, size, data));
    EXPECT_EQ(channelTimeout, gaveUp.get().result);
    // The objects of one process share its handles of the names: one that goes leaves them open.
    first.reset();

    auto next = std::async(std::launch::async, [&] { return Query(second, 0xBBBB); });
    ASSERT_TRUE(WaitUntil([&] {
        server.Lock();
        const bool written = raw.Block()->size == 4 && *reinterpret_cast<int*>(raw.Block()->data) == 0xBBBB;
        server.Unlock();
        return written;
    }));
    EXPECT_FALSE(server.Reply(replyDone, 6, "ruleAA"));
    ASSERT_EQ(channelDone, server.WaitForCommand(code, size, data));
    ASSERT_EQ(4, size);
    EXPECT_EQ(0xBBBB, *reinterpret_cast<int*>(data.data()));
    EXPECT_TRUE(server.Reply(replyDone, 6, "ruleBB"));
    const Answer answer = next.get();
    ASSERT_EQ(channelDone, answer.result);
    EXPECT_EQ("ruleBB", std::string(answer.data.begin(), answer.data.end()));
}

TEST(ProcessesCommunication, IdenticalRetryGetsTheLateAnswer) {
    const std::string prefix = UniqueName("{GlzChannelRetry}");
    TProcessesCommunication server(prefix);
    TProcessesCommunication client(prefix);
    RawChannel raw(prefix);
    client.SetTimeout(100);
    int code, size;
    std::vector<char> data;

    auto gaveUp = std::async(std::launch::async, [&] { return Query(client, 0xCCCC); });
    ASSERT_EQ(channelDone, server.WaitForCommand(code, size, data));
    EXPECT_EQ(channelTimeout, gaveUp.get().result);

    client.SetTimeout(2000);
    auto retry = std::async(std::launch::async, [&] { return Query(client, 0xCCCC); });
    // The retry's request is in the block once its wake-up is pending.
    ASSERT_TRUE(WaitUntil([&] { return WaitForSingleObject(raw.newCommand.Get(), 0) == WAIT_OBJECT_0; }));
    // Looking took the wake-up: it is pending again, as the retry left it.
    SetEvent(raw.newCommand.Get());
    EXPECT_TRUE(server.Reply(replyDone, 4, "rule"));
    const Answer answer = retry.get();
    ASSERT_EQ(channelDone, answer.result);
    EXPECT_EQ("rule", std::string(answer.data.begin(), answer.data.end()));
    // The retry's own wake-up is still pending, but its request was answered: the server finds
    // its reply in the block and no request, and answers nothing over it.
    server.SetTimeout(100);
    EXPECT_EQ(channelTimeout, server.WaitForCommand(code, size, data));
    EXPECT_EQ(replyDone, raw.Block()->code);
    EXPECT_EQ(4, raw.Block()->size);
}

// ---- Single-instance guard ----

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(SingleAppInstance, SecondInstanceIsDetectedAndRestoresTheFirstWindow) {
    const std::string name = UniqueName("{GlzInstance}");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "GlzInstanceTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "First instance", WS_OVERLAPPEDWINDOW, 50, 50,
                                  300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOWMINIMIZED);
    ASSERT_TRUE(IsIconic(window));

    TSingleAppInstance guard(name);
    EXPECT_FALSE(guard.IsOtherInstanceRunning());
    EXPECT_FALSE(guard.CheckInstance());
    const UniqueHandle second = StartSelf("--second-instance " + name);
    ASSERT_TRUE(second);
    EXPECT_EQ(1u, WaitForExitPumping(second.Get()));
    EXPECT_TRUE(WaitUntil([&] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        return !IsIconic(window) && GetForegroundWindow() == window;
    }));
    DestroyWindow(window);
}

TEST(SingleAppInstance, SecondGuardInTheSameProcessIsNoOtherInstance) {
    const std::string name = UniqueName("{GlzInstanceSame}");
    TSingleAppInstance first(name);
    TSingleAppInstance second(name);
    EXPECT_FALSE(second.IsOtherInstanceRunning());
    EXPECT_FALSE(UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str())));
    EXPECT_FALSE(first.CheckInstance());
    EXPECT_FALSE(second.CheckInstance());
    EXPECT_FALSE(second.IsOtherInstanceRunning());
    EXPECT_EQ(GetCurrentProcessId(), second.OwnerProcessId());
}

TEST(SingleAppInstance, SimultaneousStartsLetExactlyOneThrough) {
    const std::string name = UniqueName("{GlzInstanceRace}");
    const UniqueHandle goEvent(CreateEventA(nullptr, TRUE, FALSE, (name + "Go").c_str()));
    const UniqueHandle readyCount(CreateSemaphoreA(nullptr, 0, 100, (name + "Ready").c_str()));
    const UniqueHandle checkedCount(CreateSemaphoreA(nullptr, 0, 100, (name + "Checked").c_str()));
    const UniqueHandle finishEvent(CreateEventA(nullptr, TRUE, FALSE, (name + "Finish").c_str()));
    constexpr int starts = 6;
    std::vector<UniqueHandle> children;
    for (int i = 0; i < starts; ++i)
        children.push_back(StartSelf("--race " + name));
    // All start checking at one signal, each holding its guard until all have checked.
    for (int i = 0; i < starts; ++i)
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(readyCount.Get(), 20000));
    SetEvent(goEvent.Get());
    for (int i = 0; i < starts; ++i)
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(checkedCount.Get(), 20000));
    SetEvent(finishEvent.Get());
    int passed = 0;
    for (const UniqueHandle& child : children) {
        const DWORD code = WaitForExit(child.Get());
        ASSERT_TRUE(code == 0 || code == 1) << code;
        passed += code == 0 ? 1 : 0;
    }
    EXPECT_EQ(1, passed);
}

// ---- Second-process roles ----

int WriteMessageNumbers(const char* file) {
    std::ofstream out(file);
    out << TrayCallbackMessage << ' ' << ExtenderAttachedMessage << ' ' << AttachWindowMessage << ' '
        << DetachExtenderMessage << ' ' << WndProcChainMessage << '\n';
    return out ? 0 : 3;
}

int AbandonLocks(const std::string& prefix) {
    std::vector<UniqueHandle> held;
    for (const char* name : {ChannelCommandLockSuffix, ChannelWriteLockSuffix}) {
        held.emplace_back(OpenMutexA(SYNCHRONIZE, FALSE, (prefix + name).c_str()));
        if (!held.back() || WaitForSingleObject(held.back().Get(), 5000) != WAIT_OBJECT_0)
            return 3;
    }
    ExitProcess(0); // ends holding both mutexes
}

int RaceForInstance(const std::string& name) {
    const UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, (name + "Go").c_str()));
    const UniqueHandle checked(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (name + "Checked").c_str()));
    const UniqueHandle finish(OpenEventA(SYNCHRONIZE, FALSE, (name + "Finish").c_str()));
    const UniqueHandle ready(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (name + "Ready").c_str()));
    if (!go || !checked || !finish || !ready)
        return 3;
    ReleaseSemaphore(ready.Get(), 1, nullptr);
    WaitForSingleObject(go.Get(), 20000);
    TSingleAppInstance guard(name);
    const bool other = guard.CheckInstance();
    ReleaseSemaphore(checked.Get(), 1, nullptr);
    WaitForSingleObject(finish.Get(), 20000);
    return other ? 1 : 0;
}

// Answers the exit code of the role this process was started in, or -1 for the test run.
int RunRole(int argc, char** argv) {
    if (argc < 3)
        return -1;
    const std::string role = argv[1];
    if (role == "--server" && argc >= 4)
        return RunChannelServer(argv[2], argv[3]);
    if (role == "--messages")
        return WriteMessageNumbers(argv[2]);
    if (role == "--open-channel")
        return TProcessesCommunication(argv[2]).Usable() ? 0 : 3;
    if (role == "--abandon-locks")
        return AbandonLocks(argv[2]);
    if (role == "--second-instance") {
        TSingleAppInstance guard(argv[2]);
        if (!guard.CheckInstance())
            return 0;
        guard.ActivateOtherInstance();
        return 1;
    }
    if (role == "--race")
        return RaceForInstance(argv[2]);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const int role = RunRole(argc, argv);
    if (role >= 0)
        return role;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
