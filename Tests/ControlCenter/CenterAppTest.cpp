// GlazloCenter's application object and server thread run inside this test program. It keeps
// GlazloCenter's single-instance name from here on, so no real GlazloCenter starts beside it.
#include "AppSpecificConsts.h"
#include "CenterTestSupport.h"
#include "Declarations.h"
#include "Errors.h"
#include "MultiLanguages.h"
#include "RegistryKey.h"
#include "uCCApp.h"
#include "uCCModel.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <atomic>
#include <fstream>
#include <future>
#include <thread>

namespace {

constexpr const char* MatchingClass = "GlzCenterMatching";

// GlazloCenter's application object run in this process, for what only shows inside it: the
// flash, the tray state. Nothing announces windows here, so only the test's queries flash.
class InProcessCenter : public ::testing::Test {
protected:
    void Start(const std::vector<TestRule>& rules) {
        sandbox_.WriteConfiguration(rules);
        app_ = std::make_unique<TCCApp>();
        ApplicationFolder = sandbox_.Folder().string() + "\\";
        SetCCApp(app_.get());
        ASSERT_TRUE(app_->Init());
        handler_ = app_->Window();
        app_->Announcer()->Resume();
        app_->Thread()->Resume();
        client_.SetTimeout(3000);
    }
    void TearDown() override {
        if (app_)
            app_->Finalize();
        SetCCApp(nullptr);
        app_.reset();
        if (IsWindow(handler_))
            DestroyWindow(handler_);
        ApplicationFolder.clear();
    }
    int Query(HWND window, std::string& text) {
        const std::vector<char> payload = HandlePayload(window);
        int code = 0;
        int size = 0;
        std::vector<char> reply;
        const int result = client_.SendCommand(cmdQueryWindowRule, 4, payload.data(), code, size, reply);
        text.assign(reply.begin(), reply.end());
        return result == channelDone ? code : 0;
    }
    // The flash frame stays 0 while this thread handles its messages for the time given.
    bool NoFlashFor(DWORD milliseconds) {
        return !WaitUntil([&] { return app_->FlashFrame() != 0; }, milliseconds);
    }
    CenterSandbox sandbox_;
    std::unique_ptr<TCCApp> app_;
    HWND handler_ = nullptr;
    TProcessesCommunication client_;
};

TEST_F(InProcessCenter, QueryThatFoundARuleFlashesTheTrayIcon) {
    HostProcess host("A:" + std::string(MatchingClass) + " A:GlzCenterOther");
    ASSERT_TRUE(WaitUntil([&] { return host.Windows("GlzCenterOther").size() == 1; }, 5000));
    Start({{"FirstRule", MatchingClass}});
    std::string text;
    ASSERT_EQ(Query(host.Windows("GlzCenterOther").front(), text), 1);
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(NoFlashFor(400));
    ASSERT_EQ(Query(host.Windows(MatchingClass).front(), text), 1);
    EXPECT_FALSE(text.empty());
    EXPECT_TRUE(WaitUntil([&] { return app_->FlashFrame() == 1; }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return app_->FlashFrame() == 0; }, 2000));
}

// A language file's title longer than a window can hold still gives the program its window.
TEST_F(InProcessCenter, ATitleLongerThanAWindowHoldsStillStarts) {
    MultiLanguages()->Strings.Clear();
    MultiLanguages()->Strings.Add(std::string(32767, 'T'), "AppCCTitle");
    Start({{"FirstRule", MatchingClass}});
    LoadLanguage("");
    EXPECT_TRUE(IsWindow(handler_));
    char title[512] = {};
    GetWindowTextA(handler_, title, sizeof title);
    EXPECT_EQ(std::string(255, 'T'), title);
}

TEST_F(InProcessCenter, RuleTextTooLongForTheChannelIsAnsweredAtOnceWithoutRuleOrFlash) {
    HostProcess host("A:" + std::string(MatchingClass));
    ASSERT_TRUE(WaitUntil([&] { return host.Windows(MatchingClass).size() == 1; }, 5000));
    Start({{std::string(ChannelMaxData + 1, 'n'), MatchingClass}});
    std::string text = "unset";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Query(host.Windows(MatchingClass).front(), text), 1);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(NoFlashFor(400));
}

TEST_F(InProcessCenter, SettingsCommandDuringShutdownCannotShowTheIconAgain) {
    TraySetting setting;
    setting.Set(true);
    Start({{"FirstRule", MatchingClass}});
    ASSERT_TRUE(app_->TrayIconShown());
    std::atomic<bool> done{false};
    std::atomic<int> answered{0};
    std::thread settings([&] {
        TProcessesCommunication channel;
        channel.SetTimeout(100);
        while (!done) {
            int code = 0;
            int size = 0;
            std::vector<char> reply;
            if (channel.SendCommand(cmdReloadSettings, 0, nullptr, code, size, reply) == channelDone)
                ++answered;
        }
    });
    WaitUntil([&] { return answered > 20; }, 5000);
    app_->Finalize();
    done = true;
    settings.join();
    EXPECT_FALSE(app_->TrayIconShown());
    EXPECT_FALSE(TrayIconExists(handler_));
}

// A window on a thread of this process that takes 800 ms to give its caption: matching it keeps
// a server in this process busy for that long.
class SlowCaptionWindow {
public:
    static constexpr const char* ClassName = "GlzCenterSlowCaption";
    static constexpr const char* Caption = "Slow caption";
    SlowCaptionWindow() : thread_([this] { Body(); }) {
        WaitUntil([&] { return window_.load() != nullptr; }, 5000);
    }
    ~SlowCaptionWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_GETTEXT)
            Sleep(800);
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Body() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = Proc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = ClassName;
        RegisterClassA(&cls);
        window_ = CreateWindowExA(0, ClassName, Caption, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, cls.hInstance, nullptr);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
    }
    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};

TEST(ControlCenterThread, SlowAnswersReachTheClientsThatAsked) {
    // The configuration is read through the XML document object.
    const ComScope com = InitializeCom();
    CenterSandbox sandbox;
    sandbox.WriteConfiguration({{"Slow", SlowCaptionWindow::ClassName, 60, SlowCaptionWindow::Caption}});
    ApplicationFolder = sandbox.Folder().string() + "\\";
    ConfigFileName = DefaultConfigFileName;
    ComPtr<IBOMObjectSlave> root = LoadConfigurationRoot();
    ASSERT_TRUE(root);
    const std::string prefix = UniqueName("{GlzCenterSlow}");
    SlowCaptionWindow windows[3];
    {
        TControlCenterThread server(nullptr, prefix);
        server.SetQuery(ControlCenterOf(root.Get()));
        server.Resume();
        // Three clients at once, each trying again on a time-out as glzemb's worker does.
        const auto ask = [&](HWND window) {
            TProcessesCommunication channel(prefix);
            const std::vector<char> payload = HandlePayload(window);
            const ULONGLONG end = GetTickCount64() + 15000;
            while (GetTickCount64() < end) {
                int code = 0;
                int size = 0;
                std::vector<char> reply;
                const int result =
                    channel.SendCommand(cmdQueryWindowRule, 4, payload.data(), code, size, reply);
                if (result == channelDone && code == replyDone)
                    return std::string(reply.begin(), reply.end());
                if (result != channelTimeout)
                    return "no answer: " + std::to_string(result) + " " + std::to_string(code) + " " +
                           std::string(reply.begin(), reply.end());
            }
            return std::string("no answer");
        };
        std::vector<std::future<std::string>> answers;
        for (const SlowCaptionWindow& window : windows)
            answers.push_back(std::async(std::launch::async, ask, window.Handle()));
        for (auto& answer : answers) {
            const std::string text = answer.get();
            EXPECT_EQ(text.find("no answer"), std::string::npos) << text;
            EXPECT_NE(text.find("WINDOWRULENAME=Slow"), std::string::npos) << text;
        }
        server.Terminate();
        server.WaitFor();
        server.ClearQuery();
    }
    ReleaseConfigurationRoot(root);
    ApplicationFolder.clear();
}

// A failure that leaves the run after a good start is no normal end: like an unforeseen failure
// at start-up it ends with 11, never with the 0 of a program that was closed.
TEST(CenterProgram, FailureAfterAGoodStartEndsWithElevenNotZero) {
    CenterSandbox sandbox;
    sandbox.WriteConfiguration({{"Rule", MatchingClass}});
    TCCApp app;
    ApplicationFolder = sandbox.Folder().string() + "\\";
    SetCCApp(&app);
    HWND handler = nullptr;
    const int code = RunCenterProgram(app, [&](TCCApp& started) {
        handler = started.Window();
        throw Exception("the run failed");
    });
    SetCCApp(nullptr);
    ApplicationFolder.clear();
    EXPECT_NE(handler, nullptr);
    EXPECT_EQ(code, static_cast<int>(TCenterExit::UnforeseenFailure));
    if (IsWindow(handler))
        DestroyWindow(handler);
}

// COM refuses an apartment to a thread that is in the multithreaded one already. The refusal is
// the one start-up failure told in a message box, and nothing is read through COM before it is
// found: not even the language file the settings name, so the box shows the built-in text.
TEST(CenterProgram, RefusedComIsToldInAMessageBoxBeforeAnythingIsReadThroughIt) {
    CenterSandbox sandbox;
    std::filesystem::create_directory(sandbox.Folder() / "Languages");
    std::ofstream(sandbox.Folder() / "Languages" / "xx.lng", std::ios::binary)
        << "<?xml version=\"1.0\"?><language id=\"xx\" name=\"Xx\"><strings>"
           "<string name=\"Error_COMInitialization\">Translated refusal</string></strings></language>";
    const char* const productKey = "SOFTWARE\\Quenda Tools\\Glazlo";
    ASSERT_TRUE(TRegistryKey::Create(HKEY_CURRENT_USER, productKey).WriteString("Language", "xx"));
    std::atomic<DWORD> threadId{0};
    std::future<int> exitCode = std::async(std::launch::async, [&] {
        const HRESULT multithreaded = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        threadId = GetCurrentThreadId();
        TCCApp app;
        ApplicationFolder = sandbox.Folder().string() + "\\";
        const int code = app.ComInitialized() ? -1 : RunCenterProgram(app, &TCCApp::Run);
        ApplicationFolder.clear();
        if (SUCCEEDED(multithreaded))
            CoUninitialize();
        return code;
    });
    // The box is found once its text is in place.
    HWND box = nullptr;
    char text[256] = {};
    EXPECT_TRUE(WaitUntil(
        [&] {
            EnumThreadWindows(
                threadId,
                [](HWND window, LPARAM found) -> BOOL {
                    char className[16] = {};
                    GetClassNameA(window, className, sizeof className);
                    if (std::string(className) != "#32770")
                        return TRUE;
                    *reinterpret_cast<HWND*>(found) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            return box != nullptr && GetDlgItemTextA(box, 0xFFFF, text, sizeof text) > 0;
        },
        10000));
    if (box != nullptr)
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    const bool ended = exitCode.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    TRegistryKey::Open(HKEY_CURRENT_USER, productKey, KEY_WRITE).DeleteValue("Language");
    ASSERT_TRUE(ended);
    EXPECT_STREQ(text, "COM initialization error.");
    EXPECT_EQ(exitCode.get(), static_cast<int>(TCenterExit::ComRefused));
    const ComScope com = InitializeCom();
    LoadLanguage("");
}

TEST(GlazloCenter, BrokenChannelDoesNotSpinTheServer) {
    const std::string prefix = UniqueName("{GlzCenterBroken}");
    // A foreign object under the block's name makes every wait fail at once.
    UniqueHandle squatter(CreateEventA(nullptr, FALSE, FALSE, (prefix + ChannelSharedMemorySuffix).c_str()));
    ASSERT_TRUE(squatter);
    TControlCenterThread server(nullptr, prefix);
    ASSERT_FALSE(server.Channel().Usable());
    server.Resume();
    WaitUntil([] { return false; }, 2000);
    // One round per channel time-out of 500 ms, not one per failed wait.
    EXPECT_GE(server.Rounds(), 2);
    EXPECT_LE(server.Rounds(), 8);
    server.Terminate();
    server.WaitFor();
}

} // namespace
