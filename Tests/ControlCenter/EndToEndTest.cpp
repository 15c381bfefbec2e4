#include "CenterTestSupport.h"
#include "ChannelSquatter.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <optional>

namespace {

// Wine's Notepad: its window of class "Notepad"; null while it has none.
HWND NotepadWindow(const HostProcess& notepad) {
    const std::vector<HWND> windows = notepad.Windows("Notepad");
    return windows.empty() ? nullptr : windows.front();
}

TEST(EndToEnd, NotepadBecomesTransparentAndAnOpenWindowFollowsAReload) {
    CenterSandbox center;
    center.WriteConfiguration({{"Notepad", "Notepad", 60}});
    TestWindow early("GlzEndToEndEarly");
    ASSERT_TRUE(center.Start()) << center.StartFailure();

    const HostProcess notepad(WineProgram{"notepad.exe"});
    ASSERT_TRUE(notepad.Started());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = NotepadWindow(notepad)) != nullptr; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 153; }, 5000)) << LayeredAlpha(window);

    EXPECT_EQ(LayeredAlpha(early.Handle()), -1);
    const LONG_PTR earlyOwn = GetWindowLongPtrA(early.Handle(), GWL_EXSTYLE);
    center.WriteConfiguration({{"Notepad", "Notepad", 60}, {"Early", "GlzEndToEndEarly", 40}});
    int code = 0;
    std::string reply;
    ASSERT_EQ(center.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(early.Handle()) == 102; }, 5000))
        << LayeredAlpha(early.Handle());

    EXPECT_EQ(center.Stop(5000), 0u);
    // Restored means the window's own styles as before the rule, not merely opaque: Notepad
    // layers itself in no way, and the early window has exactly its earlier extended style.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return (GetWindowLongPtrA(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == 0 &&
                   GetWindowLongPtrA(early.Handle(), GWL_EXSTYLE) == earlyOwn;
        },
        5000));
}

TEST(EndToEnd, CaptionRuleReachesAFreshlyStartedNotepadOnceItsCaptionNamesTheRulesPart) {
    CenterSandbox center;
    center.WriteConfiguration({{"Notes", "Notepad", 60, "Glazlo notes", false}});
    ASSERT_TRUE(center.Start()) << center.StartFailure();
    const HostProcess notepad(WineProgram{"notepad.exe"});
    ASSERT_TRUE(notepad.Started());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = NotepadWindow(notepad)) != nullptr; }, 10000));
    // Its first caption names no rule; the question asked at its creation is answered before ours.
    int code = 0;
    ASSERT_EQ("", center.QueryWindow(window, code));
    EXPECT_EQ(-1, LayeredAlpha(window));
    // As when the user saves the text under that name: the program sets its caption.
    ASSERT_TRUE(SetWindowTextA(window, "Glazlo notes.txt - Notepad"));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 153; }, 5000)) << LayeredAlpha(window);
    EXPECT_EQ(center.Stop(5000), 0u);
}

// Every thread of a process held still for the object's lifetime, as a stopped program is.
class HeldProcess {
public:
    explicit HeldProcess(DWORD processId) {
        const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
             more = Thread32Next(snapshot.Get(), &entry)) {
            if (entry.th32OwnerProcessID != processId)
                continue;
            UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
            if (thread && SuspendThread(thread.Get()) != static_cast<DWORD>(-1))
                threads_.push_back(std::move(thread));
        }
    }
    ~HeldProcess() {
        for (const UniqueHandle& thread : threads_)
            ResumeThread(thread.Get());
    }
    HeldProcess(const HeldProcess&) = delete;
    HeldProcess& operator=(const HeldProcess&) = delete;
    size_t Threads() const { return threads_.size(); }

private:
    std::vector<UniqueHandle> threads_;
};

class CenterWithRule : public ::testing::Test {
protected:
    void Start(const char* windowClass) {
        center_.WriteConfiguration({{"Rule", windowClass, 60}});
        ASSERT_TRUE(center_.Start()) << center_.StartFailure();
    }
    CenterSandbox center_;
};

TEST_F(CenterWithRule, StopDuringABurstOfWindowsLeavesNoWindowChanged) {
    Start("GlzBurst");
    HostProcess host("B:GlzBurst:150:20");
    ASSERT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzBurst"), 153) >= 10; }, 10000));
    EXPECT_EQ(center_.Stop(10000), 0u);
    ASSERT_TRUE(WaitUntil([&] { return host.Windows("GlzBurst").size() == 150; }, 15000));
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzBurst"), -1) == 150; }, 5000))
        << 150 - CountAtAlpha(host.Windows("GlzBurst"), -1) << " windows still layered";
}

TEST_F(CenterWithRule, ReloadWhileSlowWindowsAreAnnouncedKeepsAnsweringAndEveryWindowGetsItsRule) {
    Start("GlzSlowAttach");
    // Each window's thread takes 1.5 s over every attach message.
    HostProcess host("S:GlzSlowAttach:1500 S:GlzSlowAttach:1500 S:GlzSlowAttach:1500");
    ASSERT_TRUE(WaitUntil(
        [&] {
            return host.Windows("GlzSlowAttach").size() == 3 &&
                   CountAtAlpha(host.Windows("GlzSlowAttach"), 153) == 3;
        },
        10000));
    center_.WriteConfiguration({{"Rule", "GlzSlowAttach", 40}});
    int code = 0;
    std::string reply;
    ASSERT_EQ(center_.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    // The announcement takes seconds; queries are answered meanwhile.
    for (int i = 0; i < 3; ++i) {
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(center_.Send(cmdQueryWindowRule, std::vector<char>(8), code, reply), channelDone);
        EXPECT_EQ(code, -1);
        EXPECT_LT(GetTickCount64() - start, 1000u);
    }
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzSlowAttach"), 102) == 3; }, 15000))
        << CountAtAlpha(host.Windows("GlzSlowAttach"), 102) << " of 3 at the new level";
}

TEST_F(CenterWithRule, WindowsCreatedWhileAClientHoldsTheCommandLockGetTheirRuleAfterwards) {
    Start("GlzLockHeld");
    const UniqueHandle lock(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE,
                                       (std::string(ChannelPrefix) + ChannelCommandLockSuffix).c_str()));
    ASSERT_TRUE(lock);
    ASSERT_EQ(WaitForSingleObject(lock.Get(), 5000), WAIT_OBJECT_0);
    HostProcess host("T:GlzLockHeld:2:5");
    // Far longer than a worker waits for the lock, several times over.
    WaitUntil([] { return false; }, 4000);
    EXPECT_EQ(host.Windows("GlzLockHeld").size(), 10u);
    EXPECT_EQ(CountAtAlpha(host.Windows("GlzLockHeld"), 153), 0);
    ReleaseMutex(lock.Get());
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzLockHeld"), 153) == 10; }, 15000))
        << CountAtAlpha(host.Windows("GlzLockHeld"), 153) << " of 10 got their rule";
}

// Another process holds the lock of the channel's shared block for seconds: the windows made
// meanwhile, and those whose rule a save made them drop meanwhile, all get their rule after it.
TEST_F(CenterWithRule, WindowsMadeOrReannouncedWhileAnotherProcessHoldsTheBlocksLockGetTheirRuleAfterwards) {
    Start("GlzBlockHeld");
    HostProcess before("A:GlzBlockHeld A:GlzBlockHeld");
    ASSERT_TRUE(WaitUntil([&] { return CountAtAlpha(before.Windows("GlzBlockHeld"), 153) == 2; }, 10000));
    std::optional<TChannelSquatter> squatter(std::in_place, ChannelPrefix, "hold-lock");
    ASSERT_TRUE(squatter->Holds());
    // A save during the hold: the editor's reload goes on its own channel, and every window
    // drops its rule to ask for the new one.
    center_.WriteConfiguration({{"Rule", "GlzBlockHeld", 40}});
    TProcessesCommunication editor(ControlChannelPrefix);
    int code = 0;
    int size = 0;
    std::vector<char> reply;
    ASSERT_EQ(editor.SendCommand(cmdReloadConfiguration, 0, nullptr, code, size, reply), channelDone);
    ASSERT_TRUE(WaitUntil([&] { return CountAtAlpha(before.Windows("GlzBlockHeld"), -1) == 2; }, 5000));
    HostProcess during("A:GlzBlockHeld");
    ASSERT_TRUE(WaitUntil([&] { return during.Windows("GlzBlockHeld").size() == 1; }, 10000));
    // Far longer than any one wait of a rule fetch.
    WaitUntil([] { return false; }, 3000);
    EXPECT_EQ(CountAtAlpha(before.Windows("GlzBlockHeld"), -1), 2);
    EXPECT_EQ(CountAtAlpha(during.Windows("GlzBlockHeld"), -1), 1);
    squatter.reset();
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(before.Windows("GlzBlockHeld"), 102) == 2; }, 15000))
        << CountAtAlpha(before.Windows("GlzBlockHeld"), 102) << " of 2 got their rule back";
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(during.Windows("GlzBlockHeld"), 102) == 1; }, 15000))
        << "the window made during the hold got no rule";
    EXPECT_EQ(center_.Stop(5000), 0u);
}

TEST_F(CenterWithRule, WindowsCreatedWhileGlazloCenterIsHeldUpGetTheirRuleAfterwards) {
    Start("GlzCenterHeld");
    std::optional<HostProcess> host;
    {
        const HeldProcess held(center_.ProcessId());
        ASSERT_GT(held.Threads(), 1u);
        host.emplace("T:GlzCenterHeld:2:5");
        WaitUntil([] { return false; }, 4000);
        EXPECT_EQ(host->Windows("GlzCenterHeld").size(), 10u);
        EXPECT_EQ(CountAtAlpha(host->Windows("GlzCenterHeld"), 153), 0);
    }
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host->Windows("GlzCenterHeld"), 153) == 10; }, 15000))
        << CountAtAlpha(host->Windows("GlzCenterHeld"), 153) << " of 10 got their rule";
}

// The configuration program's saves are answered at once while every client of the command
// channel queues behind one that holds it, and the file saved last is the one in force.
TEST_F(CenterWithRule, SavesAreAnsweredAtOnceWhileTheCommandChannelIsHeldAndTheLastFileWins) {
    Start("GlzSaveLane");
    HostProcess host("A:GlzSaveLane");
    ASSERT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzSaveLane"), 153) == 1; }, 10000));
    const UniqueHandle lock(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE,
                                       (std::string(ChannelPrefix) + ChannelCommandLockSuffix).c_str()));
    ASSERT_TRUE(lock);
    ASSERT_EQ(WaitForSingleObject(lock.Get(), 5000), WAIT_OBJECT_0);
    TProcessesCommunication editor(ControlChannelPrefix);
    for (const int level : {40, 20}) {
        center_.WriteConfiguration({{"Rule", "GlzSaveLane", level}});
        int code = 0;
        int size = 0;
        std::vector<char> reply;
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(editor.SendCommand(cmdReloadConfiguration, 0, nullptr, code, size, reply), channelDone)
            << level;
        EXPECT_EQ(code, replyDone);
        EXPECT_LT(GetTickCount64() - start, 400u) << level;
    }
    ReleaseMutex(lock.Get());
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzSaveLane"), 51) == 1; }, 10000))
        << LayeredAlpha(host.Windows("GlzSaveLane").front());
}

// A hung host holds no thread per window while its windows' rules wait for it.
TEST_F(CenterWithRule, HungHostHoldsNoThreadPerWindowAndGetsEveryRuleAfterwards) {
    Start("GlzHungHost");
    constexpr int Windows = 100;
    // One thread creates the windows, then takes no message for 12 s.
    HostProcess host("H:GlzHungHost:" + std::to_string(Windows) + ":12000");
    ASSERT_TRUE(WaitUntil([&] { return host.Windows("GlzHungHost").size() == Windows; }, 20000));
    const ULONGLONG hungUntil = GetTickCount64() + 12000;
    const auto threads = [&] {
        const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        size_t count = 0;
        for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
             more = Thread32Next(snapshot.Get(), &entry))
            count += entry.th32OwnerProcessID == host.ProcessId() ? 1 : 0;
        return count;
    };
    // The rules are fetched while the host hangs; then nothing of the library waits in it.
    EXPECT_TRUE(WaitUntil([&] { return threads() < 10; }, 8000)) << threads() << " threads";
    EXPECT_LT(GetTickCount64(), hungUntil);
    EXPECT_EQ(CountAtAlpha(host.Windows("GlzHungHost"), 153), 0);
    EXPECT_TRUE(WaitUntil([&] { return CountAtAlpha(host.Windows("GlzHungHost"), 153) == Windows; }, 20000))
        << CountAtAlpha(host.Windows("GlzHungHost"), 153) << " of " << Windows << " got their rule";
}

} // namespace
