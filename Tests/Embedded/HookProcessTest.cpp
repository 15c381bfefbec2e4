#include "ChildProcess.h"
#include "ModuleFiles.h"
#include "ProcessesCommunication.h"
#include "uEAHookProc.h"

#include "Embedded/EmbTestSupport.h"

#include "WinFuncs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT QueryMessage = WM_APP + 100;
constexpr LRESULT ProbeReply = 0x600D;

std::string BinFolder() {
    return ModuleFolder();
}

std::string HelperCommand(const char* program, const char* arguments) {
    std::string line = "\"";
    line += BinFolder();
    line += program;
    line += "\" ";
    line += arguments;
    return line;
}

struct TChild {
    TStartedProcess started;
    explicit TChild(const std::string& commandLine) : started(StartProcess("", commandLine, BinFolder())) {}
    ~TChild() {
        if (started && WaitForSingleObject(Process(), 5000) != WAIT_OBJECT_0)
            TerminateProcess(Process(), 1); // a test helper that hangs is the failure
    }
    bool Started() const { return static_cast<bool>(started); }
    HANDLE Process() const { return started.Process.Get(); }
    DWORD ProcessId() const { return GetProcessId(Process()); }
    DWORD ThreadId() const { return GetThreadId(started.Thread.Get()); }
};

// A manual-reset event of the given name, not set.
UniqueHandle NamedEvent(const char* name) {
    return UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, name));
}

LRESULT Query(HWND window, WPARAM what, UINT timeout = 2000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, QueryMessage, what, 0, SMTO_NORMAL, timeout, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

} // namespace

TEST(ExclusionListTest, HoldsThirtyFourNamesBetweenSemicolons) {
    const std::string list = ExclusionList;
    EXPECT_EQ(591u, list.size());
    size_t names = 0;
    for (size_t at = 0; at < list.size(); at = list.find(';', at + 1) + 1)
        ++names;
    EXPECT_EQ(34u, names);
    EXPECT_TRUE(IsExcludedClass("tooltips_class32"));
    EXPECT_TRUE(IsExcludedClass("OleMainThreadWndClass 0x######## "));
    EXPECT_TRUE(IsExcludedClass("#43"));
}

TEST(ExclusionListTest, AClassNameOutsideTheCodePageIsNotTakenForAListedOne) {
    // In a host whose code page lacks the fullwidth W, a best fit would read it as a plain one.
    const wchar_t* const name = L"\xFF37orkerW";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    ASSERT_NE(0, RegisterClassW(&windowClass));
    HWND window = CreateWindowExW(0, name, L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsExcludedClass(GetWindowClassName(window))) << GetWindowClassName(window);
    DestroyWindow(window);
    UnregisterClassW(name, windowClass.hInstance);
}

TEST(ExclusionListTest, ComparesWholeNamesWithCase) {
    EXPECT_TRUE(IsExcludedClass("IME"));
    EXPECT_FALSE(IsExcludedClass("IMEX"));
    EXPECT_FALSE(IsExcludedClass("Tooltips_class32"));
    EXPECT_FALSE(IsExcludedClass("Notepad"));
    for (const char* part : {"IM", "ME", "", "OleDdeWndClass 0x########", "DDEMLMom;"})
        EXPECT_FALSE(IsExcludedClass(part)) << part;
    // A name with semicolons never matches across two names of the list.
    EXPECT_FALSE(IsExcludedClass("IME;;Internet Explorer_Hidden"));
    EXPECT_FALSE(IsExcludedClass("SysShadow;;SysDragImage"));
}

TEST(CallProcHookTest, NegativeCodeOnlyPassesOn) {
    CWPSTRUCT record{0, 0, WM_CREATE, nullptr};
    EXPECT_EQ(0, CallProcHook(-1, 0, reinterpret_cast<LPARAM>(&record)));
}

TEST(HookProcessTest, HostWindowsKeepWorkingWhileHookedAndAfterUnhook) {
    const UniqueHandle ready = NamedEvent("GlzTestHookReady");
    const UniqueHandle stop = NamedEvent("GlzTestHookStop");
    TChild host(HelperCommand("GlzTargetWindows.exe", "A:GlzHostAnsi W:GlzHostWide"));
    ASSERT_TRUE(host.Started());
    HWND ansi = nullptr;
    HWND wide = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            ansi = FindWindowA("GlzHostAnsi", nullptr);
            wide = FindWindowA("GlzHostWide", nullptr);
            return ansi != nullptr && wide != nullptr;
        },
        10000));
    {
        TChild installer(HelperCommand("GlzHookInstaller.exe", "GlzTestHookReady GlzTestHookStop"));
        ASSERT_TRUE(installer.Started());
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready.Get(), 10000));
        // The system loads the library into the host with the first message sent there.
        EXPECT_TRUE(WaitUntil([&] { return Query(ansi, 0) == 1; }, 5000));
        EXPECT_EQ(ProbeReply, Query(wide, 1));
        // A new window goes through the hook's attach path and the host stays responsive.
        const auto created = reinterpret_cast<HWND>(Query(ansi, 2, 5000));
        EXPECT_NE(nullptr, created);
        EXPECT_EQ(ProbeReply, Query(created, 1));
        EXPECT_TRUE(IsWindowUnicode(wide));
        SetEvent(stop.Get());
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(installer.Process(), 10000));
    }
    EXPECT_EQ(ProbeReply, Query(ansi, 1));
    EXPECT_EQ(ProbeReply, Query(wide, 1));
    EXPECT_NE(nullptr, reinterpret_cast<HWND>(Query(wide, 2)));
    PostMessageA(ansi, WM_QUIT, 0, 0);
    PostThreadMessageA(host.ThreadId(), WM_QUIT, 0, 0);
}

namespace {

constexpr const char* TransparentRule =
    "\\WINDOWRULENAME=Half\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow\\SAVECURRENTOPERATION=no"
    "\\\\TRANSPARENTLEVEL=50}\\TRIGGER=WMCREATEMESSAGETRIGGER{\\LAG_ENABLED=no\\LAG_INTERVAL=0\\AGENT={"
    "\\NAME="
    "WMCreateEvent\\ACTIONNAME=TransparentWindow\\ACTIONKIND=next\\OPERATIONNAME=}}";
constexpr BYTE RuleAlpha = 127; // 50 % of 255, truncated
constexpr int testCmdQuit = 100;
constexpr int testCmdSetRule = 103;

bool LayeredAtRuleAlpha(HWND window) {
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0)
        return false;
    BYTE alpha = 0;
    DWORD flags = 0;
    return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && alpha == RuleAlpha;
}

bool Layered(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

std::vector<HWND> WindowsOf(DWORD process, const char* className) {
    struct TFind {
        DWORD process;
        const char* className;
        std::vector<HWND> found;
    } find{process, className, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<TFind*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[256];
            if (owner == f->process && GetClassNameA(window, name, sizeof(name)) > 0 &&
                std::strcmp(name, f->className) == 0)
                f->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// A rule server, a hook installer and a host with windows of five classes, in that order.
class RuleProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string rule = "\"GlzRuleAnsi=";
        rule.append(TransparentRule).append("\" \"GlzRuleWide=").append(TransparentRule);
        rule.append("\" \"tooltips_class32=")
            .append(TransparentRule)
            .append("\" \"IME=")
            .append(TransparentRule)
            .append("\" \"GlzRuleCaption|titled=")
            .append(TransparentRule);
        rule.append("\"");
        std::string serverArguments = "GlzTestServerReady ";
        serverArguments += rule;
        server_ = std::make_unique<TChild>(HelperCommand("GlzRuleServer.exe", serverArguments.c_str()));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(serverReady_.Get(), 10000));
        installer_ = std::make_unique<TChild>(
            HelperCommand("GlzHookInstaller.exe", "GlzTestHookReady GlzTestHookStop"));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hookReady_.Get(), 10000));
        host_ = std::make_unique<TChild>(HelperCommand(
            "GlzTargetWindows.exe",
            "A:GlzRuleAnsi W:GlzRuleWide A:tooltips_class32 A:IME A:GlzRuleLater A:GlzRuleCaption"));
        ASSERT_TRUE(WaitUntil(
            [&] {
                ansi_ = FindWindowA("GlzRuleAnsi", nullptr);
                wide_ = FindWindowA("GlzRuleWide", nullptr);
                later_ = FindWindowA("GlzRuleLater", nullptr);
                caption_ = FindWindowA("GlzRuleCaption", nullptr);
                return ansi_ && wide_ && later_ && caption_;
            },
            10000));
        tooltip_ = WindowsOf(host_->ProcessId(), "tooltips_class32").at(0);
        ime_ = WindowsOf(host_->ProcessId(), "IME").at(0);
    }
    void TearDown() override {
        Unhook();
        if (host_)
            PostThreadMessageA(host_->ThreadId(), WM_QUIT, 0, 0);
        TProcessesCommunication channel(ChannelPrefix);
        int code = 0, size = 0;
        std::vector<char> reply;
        channel.SendCommand(testCmdQuit, 0, nullptr, code, size, reply);
    }
    void Unhook() {
        if (installer_) {
            SetEvent(hookStop_.Get());
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(installer_->Process(), 10000));
            installer_.reset();
        }
    }
    void SetRule(const std::string& pair) {
        TProcessesCommunication channel(ChannelPrefix);
        int code = 0, size = 0;
        std::vector<char> reply;
        ASSERT_EQ(channelDone, channel.SendCommand(testCmdSetRule, static_cast<int>(pair.size()), pair.data(),
                                                   code, size, reply));
    }
    void SendToAll(UINT msg) {
        for (HWND window : {ansi_, wide_, later_, tooltip_, ime_}) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, msg, 0, 0, SMTO_NORMAL, 2000, &result);
        }
    }

    UniqueHandle serverReady_ = NamedEvent("GlzTestServerReady");
    UniqueHandle hookReady_ = NamedEvent("GlzTestHookReady");
    UniqueHandle hookStop_ = NamedEvent("GlzTestHookStop");
    std::unique_ptr<TChild> server_;
    std::unique_ptr<TChild> installer_;
    std::unique_ptr<TChild> host_;
    HWND ansi_ = nullptr, wide_ = nullptr, later_ = nullptr, tooltip_ = nullptr, ime_ = nullptr;
    HWND caption_ = nullptr;
};

} // namespace

TEST_F(RuleProcessTest, MatchingWindowsBecomeLayeredAtRuleAlphaAndOthersAreLeftAlone) {
    EXPECT_TRUE(WaitUntil([&] { return LayeredAtRuleAlpha(ansi_) && LayeredAtRuleAlpha(wide_); }, 8000));
    EXPECT_EQ(0, Query(ansi_, 3)); // subclassed
    EXPECT_EQ(0, Query(wide_, 3));
    EXPECT_EQ(ProbeReply, Query(wide_, 1));
    EXPECT_FALSE(Layered(tooltip_));
    EXPECT_FALSE(Layered(ime_));
    EXPECT_FALSE(Layered(later_));
    EXPECT_FALSE(Layered(FindWindowExA(ansi_, nullptr, "STATIC", nullptr)));
    EXPECT_EQ(1, Query(tooltip_, 3));
}

TEST_F(RuleProcessTest, DetachRestoresProceduresAndStylesAndAttachComesBack) {
    ASSERT_TRUE(WaitUntil([&] { return LayeredAtRuleAlpha(ansi_) && LayeredAtRuleAlpha(wide_); }, 8000));
    SendToAll(RegisterWindowMessageA("{70BB0785-11B8-4B5F-9AAE-8BCC84B07147}"));
    for (HWND window : {ansi_, wide_, later_}) {
        EXPECT_EQ(1, Query(window, 3));
        EXPECT_FALSE(Layered(window));
    }
    // A rule saved for the window that had none is found by the next attach.
    SetRule(std::string("GlzRuleLater=") + TransparentRule);
    SendToAll(RegisterWindowMessageA("{B075E8B9-DE6D-4997-8678-A1342ADA33E0}"));
    EXPECT_TRUE(WaitUntil(
        [&] { return LayeredAtRuleAlpha(ansi_) && LayeredAtRuleAlpha(wide_) && LayeredAtRuleAlpha(later_); },
        8000));
    EXPECT_FALSE(Layered(tooltip_));
}

TEST_F(RuleProcessTest, HostSubclassAfterUsKeepsWorkingAfterDetachAndUnhook) {
    ASSERT_TRUE(WaitUntil([&] { return LayeredAtRuleAlpha(ansi_); }, 8000));
    EXPECT_EQ(1, Query(ansi_, 4));
    SendToAll(RegisterWindowMessageA("{70BB0785-11B8-4B5F-9AAE-8BCC84B07147}"));
    const LRESULT before = Query(ansi_, 5);
    EXPECT_EQ(ProbeReply, Query(ansi_, 1));
    EXPECT_GT(Query(ansi_, 5), before);
    Unhook();
    EXPECT_EQ(ProbeReply, Query(ansi_, 1));
    EXPECT_EQ(ProbeReply, Query(wide_, 1));
    EXPECT_NE(nullptr, reinterpret_cast<HWND>(Query(wide_, 2)));
}

TEST_F(RuleProcessTest, HostsOwnExceptionFromAnAttachedWindowReachesItsOwnLoop) {
    constexpr UINT ThrowMessage = WM_APP + 101;
    ASSERT_TRUE(WaitUntil([&] { return LayeredAtRuleAlpha(ansi_) && LayeredAtRuleAlpha(wide_); }, 8000));
    PostMessageA(ansi_, ThrowMessage, 0, 0);
    PostMessageA(wide_, ThrowMessage, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Query(ansi_, 9) == 2; }, 5000));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(host_->Process(), 0));
    EXPECT_EQ(ProbeReply, Query(wide_, 1));
    EXPECT_TRUE(LayeredAtRuleAlpha(ansi_));
}

TEST_F(RuleProcessTest, WindowWhoseCaptionIsSetAfterCreationGetsItsCaptionRule) {
    // Created with a caption that the rule does not name: asked for at creation, no rule.
    ASSERT_TRUE(WaitUntil([&] { return LayeredAtRuleAlpha(ansi_); }, 8000));
    EXPECT_FALSE(Layered(caption_));
    ASSERT_EQ(1, Query(caption_, 10));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAtRuleAlpha(caption_); }, 5000));
}

TEST_F(RuleProcessTest, HundredWindowsCreatedAtOnceAllGetTheirRule) {
    ASSERT_EQ(100, Query(ansi_, 6, 30000));
    std::vector<HWND> windows = WindowsOf(host_->ProcessId(), "GlzRuleAnsi");
    ASSERT_EQ(101u, windows.size());
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (HWND window : windows)
                if (!LayeredAtRuleAlpha(window))
                    return false;
            return true;
        },
        20000));
}
