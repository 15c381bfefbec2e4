#include "Application.h"
#include "Errors.h"
#include "Forms.h"
#include "FormTestSupport.h"
#include "StdCtrls.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <thread>

namespace {

// Answers the first message box with this caption that shows up, keeping its text.
class TMessageBoxAnswer {
public:
    explicit TMessageBoxAnswer(std::string caption)
        : caption_(std::move(caption)), thread_([this] {
              const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              while (!stop_ && std::chrono::steady_clock::now() < end) {
                  if (HWND box = FindWindowA("#32770", caption_.c_str())) {
                      text_ = WindowText(GetDlgItem(box, 0xFFFF));
                      PostMessageA(box, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~TMessageBoxAnswer() {
        stop_ = true;
        Wait();
    }
    TMessageBoxAnswer(const TMessageBoxAnswer&) = delete;
    TMessageBoxAnswer& operator=(const TMessageBoxAnswer&) = delete;
    // The box's text once it was answered (empty when none came).
    std::string Text() {
        Wait();
        return text_;
    }

private:
    void Wait() {
        if (thread_.joinable())
            thread_.join();
    }
    std::string caption_;
    std::atomic<bool> stop_{false};
    std::string text_;
    std::thread thread_;
};

struct TDialog {
    TForm Form{nullptr, "TModalTestDialog"};
    TEdit* Edit = Create<TEdit>(&Form, Form);
    TButton* Ok = Create<TButton>(&Form, Form);
    TButton* Cancel = Create<TButton>(&Form, Form);

    TDialog() {
        Form.SetBorderStyle(TBorderStyle::bsDialog);
        Form.SetPosition(TPosition::poScreenCenter);
        Form.SetClientSize(300, 120);
        Ok->SetBounds(120, 80, 75, 25);
        Ok->SetDefault(true);
        Ok->ModalResult = mrOk;
        Cancel->SetBounds(210, 80, 75, 25);
        Cancel->Cancel = true;
        Cancel->ModalResult = mrCancel;
    }
};

TEST(Modal, EnterGivesOkEscGivesCancelAndTheOwnerWaitsDisabled) {
    TForm owner(nullptr, "TModalTestOwner");
    owner.Show();
    TDialog dialog;
    bool ownerDisabled = false;
    WPARAM key = VK_RETURN;
    dialog.Form.OnShow = [&](TComponent*) {
        ownerDisabled = !IsWindowEnabled(owner.Handle());
        PostMessageA(dialog.Edit->Handle(), WM_KEYDOWN, key, 1);
    };
    EXPECT_EQ(mrOk, dialog.Form.ShowModal());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(dialog.Form.Visible());

    key = VK_ESCAPE;
    ownerDisabled = false;
    EXPECT_EQ(mrCancel, dialog.Form.ShowModal());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST(Modal, CloseQueryCanRefuseAndTheCaptionsCloseButtonCancels) {
    TDialog dialog;
    int asked = 0;
    dialog.Form.OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = ++asked > 1; };
    dialog.Form.OnShow = [&](TComponent*) {
        PostMessageA(dialog.Form.Handle(), WM_CLOSE, 0, 0);
        PostMessageA(dialog.Form.Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(mrCancel, dialog.Form.ShowModal());
    EXPECT_EQ(2, asked);
}

TEST(Modal, ACloseQueryThatRaisesKeepsTheDialogOpen) {
    Application().SetTitle("Glazlo layer test");
    TDialog dialog;
    int asked = 0;
    dialog.Form.OnCloseQuery = [&](TComponent*, bool&) {
        if (++asked == 1)
            throw Exception("Close query failed on purpose");
    };
    // The second Enter comes once the loop is idle again: the message box's own loop would
    // take a key posted while it shows.
    dialog.Form.OnShow = [&](TComponent*) { PostMessageA(dialog.Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1); };
    Application().OnIdle = [&] {
        if (asked == 1)
            PostMessageA(dialog.Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    };
    TMessageBoxAnswer answer("Glazlo layer test");
    EXPECT_EQ(mrOk, dialog.Form.ShowModal());
    Application().OnIdle = nullptr;
    EXPECT_EQ(2, asked);
    EXPECT_EQ("Close query failed on purpose", answer.Text());
}

TEST(Modal, APositionAtTheScreenCentreIsTakenBeforeTheFirstShow) {
    TDialog dialog;
    RECT placed{};
    dialog.Form.OnShow = [&](TComponent*) {
        GetWindowRect(dialog.Form.Handle(), &placed);
        dialog.Form.SetModalResult(mrOk);
    };
    dialog.Form.ShowModal();
    const int width = placed.right - placed.left;
    EXPECT_NEAR((GetSystemMetrics(SM_CXSCREEN) - width) / 2, placed.left, 1);
}

struct ShortCuts : ::testing::Test {
    TForm form{nullptr, "TShortCutTestForm"};
    TEdit* edit = Create<TEdit>(&form, form);
    TCommandAction save;
    std::vector<WORD> editKeys;
    int executed = 0;
    bool editSawKeyBeforeAction = false;

    void SetUp() override {
        edit->OnKeyDown = [this](TComponent*, WORD& key, TShiftState) { editKeys.push_back(key); };
        save.Name = "AppSave";
        save.SetShortCutText("Ctrl+S");
        save.OnExecute = [this](TCommandAction&) {
            ++executed;
            editSawKeyBeforeAction = std::count(editKeys.begin(), editKeys.end(), 'S') > 0;
        };
        form.AddAction(&save);
        ASSERT_TRUE(MakeForeground(form));
        edit->SetFocus();
        ASSERT_TRUE(PumpApplicationUntil([&] { return edit->Focused(); }));
    }
    void TearDown() override { SendKeys({{VK_CONTROL, false}, {'S', false}}); }
};

TEST_F(ShortCuts, CtrlSReachesTheActionBeforeTheFocusedEdit) {
    SendKeys({{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}});
    ASSERT_TRUE(PumpApplicationUntil([&] { return executed == 1; }));
    EXPECT_FALSE(editSawKeyBeforeAction);
    EXPECT_EQ(0, std::count(editKeys.begin(), editKeys.end(), 'S'));
}

TEST_F(ShortCuts, ADisabledActionDoesNotRunAndTheKeyGoesOn) {
    save.OnUpdate = [](TCommandAction& action) { action.Enabled = false; };
    SendKeys({{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}});
    ASSERT_TRUE(PumpApplicationUntil([&] { return std::count(editKeys.begin(), editKeys.end(), 'S') > 0; }));
    EXPECT_EQ(0, executed);
    EXPECT_FALSE(save.Execute());
}

TEST_F(ShortCuts, TabMovesTheFocusToTheNextControl) {
    auto* second = Create<TEdit>(&form, form);
    second->SetTop(40);
    SendKeys({{VK_TAB, true}, {VK_TAB, false}});
    EXPECT_TRUE(PumpApplicationUntil([&] { return second->Focused(); }));
}

TEST(ShortCutText, NamesConvertBothWays) {
    EXPECT_EQ(scCtrl | 'S', TextToShortCut("Ctrl+S"));
    EXPECT_EQ(VK_F1, TextToShortCut("F1"));
    EXPECT_EQ(scShift | scCtrl | VK_DELETE, TextToShortCut("Shift+Ctrl+Del"));
    EXPECT_EQ(0, TextToShortCut(""));
    EXPECT_EQ(0, TextToShortCut("Ctrl+"));
    EXPECT_EQ(0, TextToShortCut("Hyper+Q"));
    EXPECT_EQ(scCtrl | 'Z', TextToShortCut("Ctrl+Z"));
    for (const char* text : {"Ctrl+S", "F1", "Ctrl+A", "Ctrl+Z", "Alt+F4", "Shift+Ctrl+Del", "Esc", "F12"})
        EXPECT_EQ(text, ShortCutToText(TextToShortCut(text)));
}

TEST(Actions, IdleUpdatesEnableTheActionsBoundButtonsAndItems) {
    TCommandAction action;
    bool enabled = false;
    action.OnUpdate = [&](TCommandAction& a) { a.Enabled = enabled; };
    int runs = 0;
    action.OnExecute = [&](TCommandAction&) { ++runs; };
    EXPECT_FALSE(action.Execute());
    enabled = true;
    Application().Idle();
    EXPECT_TRUE(action.Enabled);
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(1, runs);
}

TEST(Exceptions, AHandlerThatRaisesShowsAMessageBoxAndTheProgramGoesOn) {
    Application().SetTitle("Glazlo layer test");
    TForm form(nullptr, "TExceptionTestForm");
    auto* button = Create<TButton>(&form, form);
    button->OnClick = [](TComponent*) { throw Exception("Handler failed on purpose"); };
    form.Show();
    {
        TMessageBoxAnswer answer("Glazlo layer test");
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ("Handler failed on purpose", answer.Text());
    }
    // A window procedure of the layer itself raising (a resize handler) ends the same way.
    form.OnResize = [](TComponent*) { throw Exception("Resize failed on purpose"); };
    {
        TMessageBoxAnswer answer("Glazlo layer test");
        form.SetClientSize(350, 250);
        EXPECT_EQ("Resize failed on purpose", answer.Text());
    }
    form.OnResize = nullptr;
    EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST(CommonControls, TheLoadedModuleIsTheSideBySideVersionSix) {
    // Wine's DllGetVersion says 5.81 for both; the path tells them apart.
    InitCommonControls();
    char path[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH));
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    EXPECT_NE(std::string::npos, lower.find("winsxs")) << path;
    EXPECT_NE(std::string::npos, lower.find("common-controls_6595b64144ccf1df_6.")) << path;
}

} // namespace
