#include "AppSpecificConsts.h"
#include "Application.h"
#include "CheckBox.h"
#include "Clipboard.h"
#include "ComCtrls.h"
#include "ConfigBuilderTestSupport.h"
#include "Menus.h"
#include "Project/Model/ModelTestSupport.h"
#include "Platform/FormTestSupport.h"
#include "RootUIController.h"
#include "uCBApp.h"
#include "PexControls.h"
#include "uCBAppForm.h"
#include "uConditionDetailPanel.h"
#include "uCriterionDetailPanels.h"
#include "uTransparentWindowActionDetailPanel.h"
#include "uWindowRuleDetailPanel.h"
#include "StdCtrls.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

constexpr const char* PlacementKey = "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows";
constexpr const char* PlacementSection = "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows\\TCBAppForm";

// Whether this thread's COM is still initialised: a further CoInitialize then answers S_FALSE.
bool ComStillInitialised() {
    const HRESULT result = CoInitialize(nullptr);
    CoUninitialize();
    return result == S_FALSE;
}

TEST(CBApp, AFailedStartUninitialisesComOnlyForItsOwnInit) {
    EnsureConfigClasses();
    const std::string savedFolder = ApplicationFolder;
    ASSERT_TRUE(ComStillInitialised());
    {
        TCBApp app;
        // A folder without Glazlo.ini: the start fails after COM was initialised.
        ApplicationFolder = NewTestFolder("cbapp");
        EXPECT_FALSE(app.Init());
        EXPECT_FALSE(app.Root);
        app.Done();
        app.Done();
    }
    EXPECT_TRUE(ComStillInitialised());
    ApplicationFolder = savedFolder;
}

TEST(CBApp, MainFormShowsTheBarsAndTheTree) {
    EnsureConfigClasses();
    const std::string savedFolder = ApplicationFolder;
    ApplicationFolder = NewTestFolder("mainform");
    WriteFileText(ApplicationFolder + "Glazlo.ini", "<quenda_windows/>");
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ApplicationFolder + "Glazlo.ini");
    ASSERT_TRUE(root);
    auto* controller =
        dynamic_cast<TRootUIController*>(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    ASSERT_NE(nullptr, controller);
    controller->CreateUI();
    TCBAppForm* form = controller->MainForm();
    ASSERT_NE(nullptr, form);
    EXPECT_EQ("TCBAppForm", form->ClassName());
    EXPECT_EQ("Glazlo", form->Caption());
    std::vector<std::string> menus;
    for (int i = 0; i < form->MenuToolBar->ButtonCount(); ++i)
        menus.push_back(form->MenuToolBar->Buttons(i)->Caption());
    EXPECT_EQ((std::vector<std::string>{"&File", "Window Rule", "Actions", "&Help"}), menus);
    ASSERT_EQ(4, form->ToolBarToolBar->ButtonCount());
    EXPECT_EQ(TToolButtonStyle::tbsSeparator, form->ToolBarToolBar->Buttons(1)->Style());
    EXPECT_EQ(8, form->ToolBarToolBar->Buttons(1)->Width());
    EXPECT_EQ(2, form->ToolBarToolBar->Buttons(3)->ImageIndex());
    ASSERT_NE(nullptr, form->MenuToolBar->Buttons(0)->MenuItem());
    EXPECT_EQ(3, form->MenuToolBar->Buttons(0)->MenuItem()->Count());
    EXPECT_TRUE(form->MenuToolBar->Buttons(0)->MenuItem()->Items(1)->IsSeparator());
    EXPECT_EQ("Window Rules", form->TreeView->GetFirstNode().Text());
    // The window's placement lives in the user's registry, in a subkey named after the form.
    EXPECT_TRUE(form->FormStorage->UseRegistry());
    EXPECT_EQ(TPlacementRegRoot::prCurrentUser, form->FormStorage->RegistryRoot());
    EXPECT_EQ("SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows", form->FormStorage->GetIniFileName());
    EXPECT_EQ("TCBAppForm", form->FormStorage->GetIniSection());
    controller->DestroyUI();
    EXPECT_EQ(nullptr, controller->MainForm());
    root->ClearOwner();
    ApplicationFolder = savedFolder;
}

// The name typed into the page reaches the file although the edit was never left.
TEST(CBApp, TheFocusedTextIsStoredBeforeACommandAndOnClosing) {
    EnsureConfigClasses();
    const std::string savedFolder = ApplicationFolder;
    ApplicationFolder = NewTestFolder("focused");
    WriteFileText(ApplicationFolder + "Glazlo.ini", "<quenda_windows/>");
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ApplicationFolder + "Glazlo.ini");
    ASSERT_TRUE(root);
    auto* controller =
        dynamic_cast<TRootUIController*>(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    controller->CreateUI();
    controller->MainForm()->Show();
    controller->HandleShortCut(TShortCut('A' | scCtrl));
    auto* page = dynamic_cast<TWindowRuleDetailPanel*>(controller->ShownPanel());
    ASSERT_NE(nullptr, page);
    page->NameEdit->SetFocus();
    ASSERT_TRUE(page->NameEdit->Focused());
    SetWindowTextA(page->NameEdit->Handle(), "Typed Name");
    EXPECT_TRUE(controller->HandleShortCut(TShortCut('S' | scCtrl)));
    EXPECT_NE(std::string::npos, ReadFileText(ApplicationFolder + "Glazlo.ini").find("Typed Name"));

    // The close question sees the typed text as a change; a close cancelled there keeps the
    // window open and stores no placement.
    RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
    SetWindowTextA(page->NameEdit->Handle(), "Typed Again");
    {
        TMessageBoxAnswerer answerer(IDCANCEL);
        controller->MainForm()->Close();
        EXPECT_EQ(1u, answerer.Texts().size());
    }
    EXPECT_TRUE(IsWindowVisible(controller->MainForm()->Handle()));
    EXPECT_NE(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, PlacementSection, "NormPos", RRF_RT_REG_SZ,
                                          nullptr, nullptr, nullptr));
    EXPECT_NE(nullptr, root->ResolvePath("window_rules/Typed Again"));
    controller->DestroyUI();
    RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
    root->ClearOwner();
    ApplicationFolder = savedFolder;
}

constexpr const char* ClassPath =
    "window_rules/Notepad/conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/"
    "window_class_name";

// Types text over everything an edit holds, as the keyboard does.
void Retype(HWND edit, const std::string& text) {
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (char key : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
}

// The real main window over a configuration of one rule, built as the program builds it.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureConfigClasses();
        RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
        savedFolder_ = ApplicationFolder;
        ApplicationFolder = NewTestFolder("mainwindow");
        WriteFileText(ApplicationFolder + "Glazlo.ini",
                      R"(<?xml version="1.0"?><quenda_windows name="Glazlo"><window_rules><content>)"
                      R"(<window_rule name="Notepad" type="WINDOWRULE"/></content></window_rules>)"
                      R"(</quenda_windows>)");
        root = LoadConfiguration(ApplicationFolder + "Glazlo.ini");
        ASSERT_TRUE(root);
        controller = dynamic_cast<TRootUIController*>(
            Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
        ASSERT_NE(nullptr, controller);
        controller->CreateUI();
        form = controller->MainForm();
    }
    void TearDown() override {
        if (controller != nullptr)
            controller->DestroyUI();
        if (root)
            root->ClearOwner();
        ApplicationFolder = savedFolder_;
        RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
    }

    bool Modified() { return dynamic_cast<TQuendaWindows&>(*root.Get()).Modified; }
    // Shows the window and the rule's page, as a click on the rule in the tree does.
    TWindowRuleDetailPanel* ShowRulePage() {
        form->Show();
        form->TreeView->GetFirstNode().GetFirstChild().Select();
        return dynamic_cast<TWindowRuleDetailPanel*>(controller->ShownPanel());
    }
    // Runs the window as the program does; steps run from a timer, one by one, until the
    // window has closed. After the last step the window is closed as File, Exit does.
    void RunWindow(std::vector<std::function<void()>> steps) {
        std::size_t next = 0;
        TTimerDriver driver([&] {
            if (next < steps.size()) {
                steps[next++]();
                return false;
            }
            ++next;
            PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
            return true;
        });
        controller->ShowMainForm();
        stepsRun = next;
    }

    ComPtr<IBOMObjectSlave> root;
    TRootUIController* controller = nullptr;
    TCBAppForm* form = nullptr;
    std::size_t stepsRun = 0;

private:
    std::string savedFolder_;
};

// Whether a window lies wholly inside another, on the screen.
bool WithinWindow(HWND inner, HWND outer) {
    RECT in{}, out{}, both{};
    GetWindowRect(inner, &in);
    GetWindowRect(outer, &out);
    IntersectRect(&both, &in, &out);
    return EqualRect(&both, &in) != FALSE;
}

// Esc is the user backing out of typing: the main window stays, with no question.
TEST_F(MainWindow, EscDoesNotCloseTheMainWindow) {
    bool open = false;
    TMessageBoxAnswerer answerer(IDCANCEL);
    RunWindow({[&] { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001); },
               [&] { open = IsWindowVisible(form->Handle()) != FALSE; }});
    EXPECT_TRUE(open);
    EXPECT_EQ(3u, stepsRun);
    EXPECT_TRUE(answerer.Texts().empty());
}

// Alt+F4 closes the window as File, Exit does: the steps after it never run.
TEST_F(MainWindow, AltF4ClosesTheMainWindow) {
    TMessageBoxAnswerer answerer(IDCANCEL);
    RunWindow({[&] {
                   PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_MENU, 0x20380001);
                   PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x203E0001);
               },
               [] {}});
    EXPECT_EQ(1u, stepsRun);
    EXPECT_TRUE(answerer.Texts().empty());
}

// The class typed into the page is saved by Ctrl+S without leaving the box, although Save was
// off until then.
TEST_F(MainWindow, CtrlSSavesTheClassBeingTyped) {
    TWindowRuleDetailPanel* page = ShowRulePage();
    ASSERT_NE(nullptr, page);
    auto* classPanel = FindControlIn<TWindowClassCriterionDetailPanel>(page);
    ASSERT_NE(nullptr, classPanel);
    ASSERT_FALSE(Modified());
    HWND edit = classPanel->WindowClassComboBox->EditHandle();
    SetFocus(edit);
    for (char key : std::string("Calc"))
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
    // Save is offered while the box is still being typed in.
    TCommandAction save;
    save.Name = "AppSave";
    controller->OnCommandUpdate(save);
    EXPECT_TRUE(save.Enabled);
    EXPECT_TRUE(controller->HandleShortCut(TShortCut('S' | scCtrl)));
    EXPECT_EQ("Calc", ParamAt(root.Get(), ClassPath));
    EXPECT_NE(std::string::npos, ReadFileText(ApplicationFolder + "Glazlo.ini").find(">Calc<"));
    EXPECT_FALSE(Modified());
}

// The level box shows the level a window gets from the action's text, read as the window
// library reads it, and passing through the box leaves that text as it is. Text that is no level
// is not left on show: leaving the box, or a command before it is left, gives back the level
// the box showed when it was entered, not a number it passed through while being emptied.
// Every whole number typed counts, within 0 to 100.
TEST_F(MainWindow, TheLevelBoxShowsTheLevelTheFileGets) {
    TWindowRuleDetailPanel* page = ShowRulePage();
    ASSERT_NE(nullptr, page);
    auto* level = FindControlIn<TTransparentWindowActionDetailPanel_GLZ>(page);
    ASSERT_NE(nullptr, level);
    const std::string levelPath = "window_rules/Notepad/actions/TransparentWindow/params/transparency_level";
    HWND edit = level->TransparencyLevelEdit->Handle();
    const auto leave = [&] { page->NameEdit->SetFocus(); };
    const std::pair<const char*, const char*> inFile[] = {
        {" 50", "50"}, {"$32", "50"}, {"-5", "100"}, {"150", "100"}, {"abc", "100"}};
    for (const auto& [text, shown] : inFile) {
        SetParamAt(root.Get(), levelPath, text);
        EXPECT_EQ(shown, level->TransparencyLevelEdit->Text()) << text;
        EXPECT_EQ(std::stoi(shown), level->TransparencyLevelTrackBar->Position()) << text;
        SetFocus(edit);
        leave();
        EXPECT_EQ(text, ParamAt(root.Get(), levelPath));
    }

    // Emptied key by key and left, or a command run: the level shown on entering comes back.
    const auto backspaces = [&](int count) {
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 100, 100);
        for (int i = 0; i < count; ++i)
            SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    };
    SetParamAt(root.Get(), levelPath, "33");
    backspaces(2);
    EXPECT_EQ("", level->TransparencyLevelEdit->Text());
    leave();
    EXPECT_EQ("33", level->TransparencyLevelEdit->Text());
    EXPECT_EQ("33", ParamAt(root.Get(), levelPath));
    backspaces(2);
    EXPECT_TRUE(controller->HandleShortCut(TShortCut('S' | scCtrl)));
    EXPECT_EQ("33", level->TransparencyLevelEdit->Text());
    EXPECT_NE(std::string::npos,
              ReadFileText(ApplicationFolder + "Glazlo.ini").find("<param name=\"transparency_level\">33<"));
    // The level given back is no change of the configuration.
    ASSERT_FALSE(Modified());
    backspaces(2);
    leave();
    EXPECT_EQ("33", ParamAt(root.Get(), levelPath));
    EXPECT_FALSE(Modified());
    SetParamAt(root.Get(), levelPath, "100");
    backspaces(3);
    for (char key : std::string("abc"))
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
    leave();
    EXPECT_EQ("100", level->TransparencyLevelEdit->Text());
    EXPECT_EQ("100", ParamAt(root.Get(), levelPath));

    // Whole numbers count as typed or pasted, within 0 to 100: a pasted number beyond every
    // level means "at most". "5.5" is none.
    const auto paste = [&](const std::string& text) {
        ASSERT_TRUE(PutTextOnClipboard(text));
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_PASTE, 0, 0);
    };
    const struct {
        const char* Text;
        bool Pasted;
        const char* Stored;
    } entered[] = {{"5", false, "5"}, {"+7", false, "7"},  {"-3", false, "0"}, {"99999999999", true, "100"},
                   {"+8", true, "8"}, {"5.5", false, "8"}, {"", false, "8"}};
    for (const auto& [text, pasted, stored] : entered) {
        pasted ? paste(text) : Retype(edit, text);
        leave();
        EXPECT_EQ(stored, level->TransparencyLevelEdit->Text()) << text;
        EXPECT_EQ(stored, ParamAt(root.Get(), levelPath)) << text;
    }
}

// A name the rule cannot take is told with the reason and stays in the box, with the focus, to
// be corrected; the rule keeps its name, and neither Save nor closing goes past it.
TEST_F(MainWindow, ARefusedNameIsToldAndStaysInTheBoxToBeCorrected) {
    form->Show();
    controller->AddWindowRule();
    auto* page = dynamic_cast<TWindowRuleDetailPanel*>(controller->ShownPanel());
    ASSERT_NE(nullptr, page);
    auto* classPanel = FindControlIn<TWindowClassCriterionDetailPanel>(page);
    ASSERT_NE(nullptr, classPanel);
    const std::string ruleName = page->NameEdit->Text();
    HWND edit = page->NameEdit->Handle();
    const std::pair<std::string, std::string> refusals[] = {{"notepad", "Another window rule has this name"},
                                                            {"window rule 1", "in letter case only"},
                                                            {"a/b", "cannot contain"},
                                                            {"   ", "needs a name"}};
    for (const auto& [typed, reason] : refusals) {
        Retype(edit, typed);
        TMessageBoxAnswerer answerer(IDOK);
        // Leaving the box for another of the window.
        SetFocus(classPanel->WindowClassComboBox->EditHandle());
        ASSERT_EQ(1u, answerer.Texts().size()) << typed;
        EXPECT_NE(std::string::npos, answerer.Texts()[0].find(reason)) << answerer.Texts()[0];
        EXPECT_EQ(typed, page->NameEdit->Text());
        EXPECT_EQ(edit, GetFocus());
        EXPECT_EQ(ruleName, form->TreeView->Selected().Text());
    }
    {
        TMessageBoxAnswerer answerer(IDOK);
        EXPECT_TRUE(controller->HandleShortCut(TShortCut('S' | scCtrl)));
        EXPECT_EQ(1u, answerer.Texts().size());
        EXPECT_EQ(std::string::npos, ReadFileText(ApplicationFolder + "Glazlo.ini").find(ruleName));
        // The close stops at the name, before "Save changes?".
        form->Close();
        EXPECT_EQ(2u, answerer.Texts().size());
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        EXPECT_EQ("   ", page->NameEdit->Text());
        // A menu that drops down runs no command: the item chosen will tell.
        bool dropped = false;
        TTimerDriver closeMenu([&] {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu == nullptr || !IsWindowVisible(menu))
                return false;
            dropped = true;
            EndMenu();
            return true;
        });
        form->MenuToolBar->Buttons(0)->Click();
        EXPECT_TRUE(dropped);
        EXPECT_EQ(2u, answerer.Texts().size());
    }
    HWND tree = form->TreeView->Handle();
    // The first rule's item in the tree: its text, and where its check box lies on that row.
    RECT item{};
    TreeView_GetItemRect(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)), &item, TRUE);
    const int row = (item.top + item.bottom) / 2;
    int checkBox = 0;
    while (checkBox < item.left && !form->TreeView->IsOnStateIcon(checkBox, row))
        ++checkBox;
    // A click in the tree at a point of its client area; where it lands travels with it.
    const auto clickTree = [&](POINT at) {
        ClientToScreen(tree, &at);
        INPUT click[2]{};
        for (INPUT& input : click) {
            input.type = INPUT_MOUSE;
            input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
            input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        }
        click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        click[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
        SendInput(2, click, sizeof click[0]);
    };
    {
        // A click on another rule's check box is told the same and runs nothing: the rule stays
        // enabled.
        ASSERT_LT(checkBox, item.left);
        Retype(edit, "a/b");
        TMessageBoxAnswerer answerer(IDOK);
        clickTree({checkBox + 4, row});
        EXPECT_TRUE(WaitUntil([&] {
            Application().ProcessMessages();
            return !answerer.Texts().empty();
        }));
        EXPECT_EQ(1u, answerer.Texts().size());
        EXPECT_EQ("yes", ParamAt(root.Get(), "window_rules/Notepad/params/enabled"));
        EXPECT_EQ(edit, GetFocus());
        EXPECT_EQ("a/b", page->NameEdit->Text());
        EXPECT_EQ(ruleName, form->TreeView->Selected().Text());
        // Once the name is one the rule can take, a click switches the rule (beside the first
        // one, so that the two make no double click).
        Retype(edit, ruleName);
        clickTree({checkBox + 12, row});
        EXPECT_TRUE(WaitUntil([&] {
            Application().ProcessMessages();
            return ParamAt(root.Get(), "window_rules/Notepad/params/enabled") == "no";
        }));
        EXPECT_EQ(1u, answerer.Texts().size());
    }
    {
        // A click on another rule is told too; that rule's page follows, and the refused name is
        // gone when the rule's page comes back.
        Retype(edit, "notepad");
        TMessageBoxAnswerer answerer(IDOK);
        clickTree({(item.left + item.right) / 2, row});
        EXPECT_TRUE(WaitUntil([&] {
            Application().ProcessMessages();
            return form->TreeView->Selected().Text() == "Notepad";
        }));
        EXPECT_EQ(1u, answerer.Texts().size());
        EXPECT_EQ(tree, GetFocus());
        form->TreeView->GetFirstNode().GetFirstChild().GetNextSibling().Select();
        EXPECT_EQ(page, controller->ShownPanel());
        EXPECT_EQ(ruleName, page->NameEdit->Text());
    }
    Retype(edit, "Corrected");
    TMessageBoxAnswerer answerer(IDOK);
    EXPECT_TRUE(controller->HandleShortCut(TShortCut('S' | scCtrl)));
    EXPECT_TRUE(answerer.Texts().empty());
    EXPECT_EQ("Corrected", form->TreeView->Selected().Text());
    EXPECT_NE(std::string::npos, ReadFileText(ApplicationFolder + "Glazlo.ini").find("\"Corrected\""));
}

// Leaving the page's boxes and opening a list store what they show: no change, no question.
TEST_F(MainWindow, TabbingThroughThePageIsNoChange) {
    TWindowRuleDetailPanel* page = ShowRulePage();
    ASSERT_NE(nullptr, page);
    auto* classPanel = FindControlIn<TWindowClassCriterionDetailPanel>(page);
    auto* captionPanel = FindControlIn<TWindowCaptionCriterionDetailPanel>(page);
    ASSERT_TRUE(classPanel && captionPanel);
    for (TWinControl* box : std::initializer_list<TWinControl*>{
             page->NameEdit, classPanel->WindowClassComboBox, captionPanel->WindowCaptionComboBox,
             FindControlIn<TTransparentWindowActionDetailPanel_GLZ>(page)->TransparencyLevelEdit,
             page->NameEdit})
        box->SetFocus();
    SendMessageA(classPanel->WindowClassComboBox->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(classPanel->WindowClassComboBox->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    captionPanel->WindowCaptionComboBox->SetFocus();
    EXPECT_FALSE(Modified());
    TMessageBoxAnswerer answerer(IDCANCEL);
    EXPECT_TRUE(controller->AskSaveChanges());
    EXPECT_TRUE(answerer.Texts().empty());
}

// Tab goes down the page: no control it reaches lies above the one before.
TEST_F(MainWindow, TabFollowsThePageFromTopToBottom) {
    TWindowRuleDetailPanel* page = ShowRulePage();
    ASSERT_NE(nullptr, page);
    const auto centre = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return (r.top + r.bottom) / 2;
    };
    std::vector<HWND> order{page->EnabledCheckBox->Handle()};
    for (HWND w = order.back();;) {
        w = GetNextDlgTabItem(form->Handle(), w, FALSE);
        if (w == nullptr || w == order.front() || !IsChild(form->DetailPanel->Handle(), w) ||
            order.size() > 40)
            break;
        order.push_back(w);
    }
    auto* level = FindControlIn<TTransparentWindowActionDetailPanel_GLZ>(page);
    ASSERT_NE(nullptr, level);
    for (TWinControl* expected : std::initializer_list<TWinControl*>{
             page->NameEdit, level->TransparencyLevelEdit, level->TransparencyLevelTrackBar,
             level->GhostWindowCheckBox, level->StayOnTopCheckBox})
        EXPECT_NE(order.end(), std::find(order.begin(), order.end(), expected->Handle()));
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_GE(centre(order[i]), centre(order[i - 1])) << "tab stop " << i;
}

// The splitter lies right of the tree, 5 pixels wide; dragging it widens the tree and narrows
// the page.
TEST_F(MainWindow, TheSplitterRightOfTheTreeResizesTreeAndPage) {
    form->Show();
    const int tree = form->TreeView->Width();
    EXPECT_EQ(161, tree);
    EXPECT_EQ(5, form->Splitter->Width());
    EXPECT_EQ(tree, form->Splitter->Left());
    EXPECT_EQ(tree + 5, form->DetailPanel->Left());
    const int page = form->DetailPanel->Width();
    SendMessageA(form->Splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 50));
    SendMessageA(form->Splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(42, 50));
    SendMessageA(form->Splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(42, 50));
    EXPECT_EQ(tree + 40, form->TreeView->Width());
    EXPECT_EQ(tree + 40, form->Splitter->Left());
    EXPECT_EQ(tree + 45, form->DetailPanel->Left());
    EXPECT_EQ(page - 40, form->DetailPanel->Width());

    // It stops where the page keeps 250 pixels, with the rule's level row whole.
    SendMessageA(form->Splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 50));
    SendMessageA(form->Splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1000, 50));
    SendMessageA(form->Splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1000, 50));
    EXPECT_EQ(250, form->DetailPanel->Width());
    TWindowRuleDetailPanel* rulePage = ShowRulePage();
    ASSERT_NE(nullptr, rulePage);
    auto* level = FindControlIn<TTransparentWindowActionDetailPanel_GLZ>(rulePage);
    ASSERT_NE(nullptr, level);
    EXPECT_TRUE(WithinWindow(level->TransparencyLevelUpDown->Handle(), form->DetailPanel->Handle()));

    // The window made narrower step by step, as a drag of its edge does: the tree gives way,
    // down to its 30 pixels, so that the page keeps its 250 and stays in sight. The window
    // stops at its least size, where both fit beside the splitter.
    MINMAXINFO limits{};
    SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    for (int width = form->Width() - 20; width > limits.ptMinTrackSize.x - 60; width -= 20) {
        form->SetBounds(form->Left(), form->Top(), width, form->Height());
        EXPECT_EQ(std::max(30, form->ClientWidth() - 5 - 250), form->TreeView->Width()) << width;
        EXPECT_EQ(form->TreeView->Width(), form->Splitter->Left()) << width;
        EXPECT_EQ(form->ClientWidth(), form->DetailPanel->Left() + form->DetailPanel->Width()) << width;
        EXPECT_GE(form->DetailPanel->Width(), 250) << width;
    }
    EXPECT_EQ(limits.ptMinTrackSize.x, form->Width());
    EXPECT_TRUE(WithinWindow(rulePage->NameEdit->Handle(), form->DetailPanel->Handle()));
    EXPECT_TRUE(WithinWindow(level->TransparencyLevelUpDown->Handle(), form->DetailPanel->Handle()));
    // Minimised and back, the tree keeps the width it was given.
    form->SetBounds(form->Left(), form->Top(), form->Width() + 200, form->Height());
    SendMessageA(form->Splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 50));
    SendMessageA(form->Splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(102, 50));
    SendMessageA(form->Splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(102, 50));
    const int given = form->TreeView->Width();
    EXPECT_GT(given, 30);
    ShowWindow(form->Handle(), SW_MINIMIZE);
    ShowWindow(form->Handle(), SW_RESTORE);
    EXPECT_EQ(given, form->TreeView->Width());
}

// A page is kept in the detail host between selections: shown again it is the same page, the
// only one in sight, at the host's present size even when the host was resized while it was hidden.
TEST_F(MainWindow, AKeptPageComesBackAloneAtTheHostsPresentSize) {
    TWindowRuleDetailPanel* page = ShowRulePage();
    ASSERT_NE(nullptr, page);
    const auto shownPages = [&] {
        std::vector<HWND> shown;
        for (HWND w = GetWindow(form->DetailPanel->Handle(), GW_CHILD); w != nullptr;
             w = GetWindow(w, GW_HWNDNEXT))
            if (IsWindowVisible(w))
                shown.push_back(w);
        return shown;
    };
    EXPECT_EQ(std::vector<HWND>{page->Handle()}, shownPages());
    form->TreeView->GetFirstNode().Select();
    TWinControl* configuration = controller->ShownPanel();
    ASSERT_NE(nullptr, configuration);
    EXPECT_EQ(std::vector<HWND>{configuration->Handle()}, shownPages());
    EXPECT_EQ(form->DetailPanel->Handle(), GetParent(page->Handle()));
    form->TreeView->SetWidth(form->TreeView->Width() + 60);

    EXPECT_EQ(page, ShowRulePage());
    EXPECT_EQ(std::vector<HWND>{page->Handle()}, shownPages());
    EXPECT_EQ(form->DetailPanel->ClientWidth(), page->Width());
    EXPECT_EQ(form->DetailPanel->ClientHeight(), page->Height());
}

// Sizes stored on a larger screen or by hand are brought back within the window: the page and
// both bars stay in sight, and what is written back at the close fits again. A window stored
// smaller than its floor comes back at the floor: every menu of the bar and a usable page.
TEST_F(MainWindow, StoredSizesThatDoNotFitAreKeptInsideTheWindow) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, PlacementSection, 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    const std::pair<const char*, const char*> stored[] = {{"TreeView_Width", "100000"},
                                                          {"ToolBarToolBar_Left", "100000"},
                                                          {"MenuToolBar_Top", "100000"},
                                                          {"MenuToolBar_Width", "50"},
                                                          {"NormPos", "100,100,294,264"}};
    for (const auto& [name, value] : stored)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(key);
    form->Show();
    const auto showsItsFloors = [&] {
        for (int i = 0; i < form->MenuToolBar->ButtonCount(); ++i) {
            RECT button = form->MenuToolBar->Buttons(i)->BoundsRect();
            EXPECT_LE(button.right, form->MenuToolBar->Width()) << i;
            MapWindowPoints(form->MenuToolBar->Handle(), form->Handle(), reinterpret_cast<POINT*>(&button),
                            2);
            EXPECT_LE(button.right, form->ClientWidth()) << form->MenuToolBar->Buttons(i)->Caption();
        }
        EXPECT_GE(form->DetailPanel->Width(), 250);
        EXPECT_GE(form->DetailPanel->Height(), 150);
    };
    showsItsFloors();
    // Nor can the user make it smaller.
    MINMAXINFO limits{};
    SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_LE(limits.ptMinTrackSize.x, form->Width());
    form->SetBounds(form->Left(), form->Top(), limits.ptMinTrackSize.x, limits.ptMinTrackSize.y);
    showsItsFloors();
    EXPECT_GT(form->TreeView->Width(), 0);
    EXPECT_LT(form->TreeView->Width(), form->ClientWidth());
    EXPECT_GT(form->DetailPanel->Width(), 0);
    EXPECT_LE(form->DetailPanel->Left() + form->DetailPanel->Width(), form->ClientWidth());
    for (TToolBar* bar : {form->MenuToolBar, form->ToolBarToolBar}) {
        EXPECT_LT(bar->Left(), form->ControlBar->ClientWidth());
        EXPECT_LT(bar->Top(), form->ControlBar->ClientHeight());
    }
}

} // namespace
