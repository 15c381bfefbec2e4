#include "BOMObjects.h"
#include "BOM_UI.h"
#include "CheckBox.h"
#include "Clipboard.h"
#include "ComCtrls.h"
#include "DetailPanelRegistration.h"
#include "DetailPanelRoutines.h"
#include "ExtCtrls.h"
#include "FindWindow.h"
#include "ModuleFiles.h"
#include "MultiLanguages.h"
#include "PexControls.h"
#include "ScreenPicture.h"
#include "QuendaWindows.h"
#include "StdCtrls.h"
#include "uConditionDetailPanel.h"
#include "uCriterionDetailPanels.h"
#include "uQuendaWindowsDetailPanel.h"
#include "uTransparentWindowActionDetailPanel.h"
#include "uWindowRuleDetailPanel.h"

#include "ConfigBuilder/PickTargets.h"
#include "Project/Model/ModelTestSupport.h"
#include "Platform/FormTestSupport.h"
#include "Platform/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

void Type(HWND edit, const std::string& keys) {
    for (char key : keys)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
}

void Paste(HWND edit, const std::string& text) {
    ASSERT_TRUE(PutTextOnClipboard(text));
    SendMessageA(edit, WM_PASTE, 0, 0);
}

int Caret(HWND edit) {
    DWORD start = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

// The window as it is on the screen, as a bitmap file (a build artifact, never compared).
void SaveScreenshot(HWND window, const std::string& fileName) {
    RECT r{};
    GetWindowRect(window, &r);
    SaveScreenPicture(r, fileName);
}

std::string BuildFolder() {
    std::string folder = ModuleFolder();
    folder.pop_back();
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// A real rule made from the template, inside a configuration root, with its page shown.
class RulePage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureModelClasses();
        InitLanguageFromRegistry();
        RegisterRulePagePanels();
    }

    void SetUp() override {
        root = CreateBOMObject("QUENNAWINDOWS", "");
        rule = CreateBOMObject("WINDOWRULE", "Rule");
        MustCast<IBOMCollection>(root->ResolvePath("window_rules"))->Add(rule.Get());
        root->SetOwner(nullptr);
        AsUIElement(root.Get())->AttachUI(Supports<IUI>(root).Get());
        page = dynamic_cast<TSinglePurposeWindowRuleDetailPanel*>(
            AsUIElement(rule.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle()));
        ASSERT_NE(nullptr, page);
        page->Show();
        condition = FindControlIn<TConditionDetailPanel>(page);
        classPanel = FindControlIn<TWindowClassCriterionDetailPanel>(page);
        captionPanel = FindControlIn<TWindowCaptionCriterionDetailPanel>(page);
        level = FindControlIn<TTransparentWindowActionDetailPanel_GLZ>(page);
        ASSERT_TRUE(condition && classPanel && captionPanel && level);
        Deliver();
    }
    void TearDown() override {
        if (page != nullptr)
            page->Hide();
        AsUIElement(root.Get())->DetachUI();
        root->ClearOwner();
    }

    IBOMObject* Action() { return rule->ResolvePath("actions/TransparentWindow").Get(); }
    std::string Flags() {
        return ParamAt(rule.Get(), "triggers/CreateMessageTrigger/params/enabled") +
               ParamAt(rule.Get(), "triggers/CreateMessageTrigger/agents/WMCreateEvent/params/enabled") +
               ParamAt(rule.Get(), "triggers/ActivateWindowMessageTrigger/params/enabled") +
               ParamAt(rule.Get(), "triggers/InActivateWindowMessageTrigger/params/enabled");
    }
    static void Click(TWinControl* control) {
        SendMessageA(control->Handle(), BM_CLICK, 0, 0);
        Deliver();
    }

    TTestWindow host{640, 560};
    ComPtr<IBOMObjectSlave> root;
    ComPtr<IBOMObjectSlave> rule;
    TSinglePurposeWindowRuleDetailPanel* page = nullptr;
    TConditionDetailPanel* condition = nullptr;
    TWindowClassCriterionDetailPanel* classPanel = nullptr;
    TWindowCaptionCriterionDetailPanel* captionPanel = nullptr;
    TTransparentWindowActionDetailPanel_GLZ* level = nullptr;
};

TEST_F(RulePage, ShowsTheNameRowThenTheConditionThenTheTransparency) {
    EXPECT_EQ(0, page->MainPanel->Top());
    EXPECT_EQ(page->MainPanel->Height(), condition->Top());
    EXPECT_EQ(condition->Top() + condition->Height(), level->Top());
    // Picker row, class criterion, caption criterion, and the group box's frame: the lowest
    // criterion is not cut off by the frame.
    EXPECT_EQ(41 + 28 + 65 + std::max(10, condition->CriterionsGroupBox->FrameHeight()),
              condition->ClientHeight());
    EXPECT_LE(captionPanel->Top() + captionPanel->Height(),
              condition->CriterionsGroupBox->ClientRect().bottom - 2);
    EXPECT_LT(classPanel->Top(), captionPanel->Top());
    EXPECT_EQ(condition->CriterionsGroupBox, classPanel->Parent());
    // Each text box starts just right of its label and keeps the design's 3 pixels to the right
    // edge of its criterion, whatever the page's width.
    auto expectTextBoxBeside = [](const TWinControl* panel, const TLabel* label,
                                  const THistoryComboBox* box) {
        EXPECT_EQ(label->Left() + label->Width() + 5, box->Left());
        EXPECT_EQ(panel->ClientWidth() - 3, box->Left() + box->Width());
    };
    expectTextBoxBeside(classPanel, classPanel->WindowClassLabel, classPanel->WindowClassComboBox);
    expectTextBoxBeside(captionPanel, captionPanel->WindowCaptionLabel, captionPanel->WindowCaptionComboBox);
    EXPECT_EQ("Rule", page->NameEdit->Text());
    EXPECT_TRUE(classPanel->EnabledCheckBox->Checked());
    EXPECT_FALSE(captionPanel->EnabledCheckBox->Checked());
    EXPECT_TRUE(captionPanel->ExactSearchTrueRadioButton->Checked());
    EXPECT_EQ("100", level->TransparencyLevelEdit->Text());
    EXPECT_EQ(100, level->TransparencyLevelTrackBar->Position());
    EXPECT_EQ("Drag onto the target window", condition->FindWindow->Hint());
    EXPECT_EQ(" Window Rule ", page->GroupBox->Caption());
    EXPECT_EQ(" Target window ", condition->CriterionsGroupBox->Caption());
    // A caption the language lacks keeps its own text, last letter included.
    EXPECT_EQ(" Target window ", TranslatePadded("NoSuchKey", "  Target window\t"));
    RedrawWindow(host.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Deliver();
    SaveScreenshot(host.Handle(), BuildFolder() + "RulePage.bmp");
}

TEST_F(RulePage, ConfigurationPageExplainsTheTreeInTheUsersLanguage) {
    auto* panel = dynamic_cast<TQuendaWindowsDetailPanel*>(
        AsUIElement(root.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle()));
    ASSERT_NE(nullptr, panel);
    const std::string text = panel->Memo->Text();
    EXPECT_EQ(0u, text.find("A Window Rule tells Glazlo which windows to change")) << text;
    EXPECT_TRUE(panel->Memo->ReadOnly());

    // A translation with Windows line ends shows each line once, with no stray carriage return.
    MultiLanguages()->Strings.Clear();
    MultiLanguages()->Strings.Add("First line\r\n\r\nSecond line", "AWDP_Memo");
    panel->Localize();
    const std::string lines = panel->Memo->Text();
    EXPECT_EQ("First line\r\n\r\nSecond line", lines);

    // A language file's help text of 40,000 characters in one paragraph, which the memo would
    // take about a minute to lay out, shows as far as a help text goes.
    const std::string help = "Start of the help. " + std::string(40000, 'x');
    const std::string file = TempFolder("GlzLongHelp") + "long.lng";
    WriteFileText(file, "<?xml version=\"1.0\"?><language id=\"long\" name=\"Long\"><strings>"
                        "<string name=\"AWDP_Memo\">" +
                            help + "</string></strings></language>");
    EXPECT_TRUE(MultiLanguages()->LoadFromFile(file));
    panel->Show();
    panel->SetBounds(0, 0, 440, 300);
    panel->Localize();
    Deliver();
    const std::string shown = panel->Memo->Text();
    panel->Hide();
    DeleteFileA(file.c_str());
    InitLanguageFromRegistry();
    EXPECT_EQ(MaxHelpTextCharacters, shown.size());
    EXPECT_EQ(0u, shown.find("Start of the help. xxx"));
}

TEST_F(RulePage, EnterInTheNameEditRenamesTheRuleAndKeepsTheCaret) {
    HWND edit = page->NameEdit->Handle();
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 2, 2);
    Type(edit, "X");
    Type(edit, "\r");
    EXPECT_TRUE(root->ResolvePath("window_rules/RuXle"));
    EXPECT_EQ("RuXle", rule->GetName());
    EXPECT_EQ("RuXle", page->NameEdit->Text());
    EXPECT_EQ(3, Caret(edit));

    // So in a criterion's box: the text is stored and the caret stays.
    HWND box = captionPanel->WindowCaptionComboBox->EditHandle();
    SetFocus(box);
    SetWindowTextA(box, "Untitled");
    SendMessageA(box, EM_SETSEL, 3, 3);
    Type(box, "X");
    Type(box, "\r");
    EXPECT_EQ("UntXitled",
              ParamAt(rule.Get(), "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/"
                                  "window_caption"));
    EXPECT_EQ(4, Caret(box));
}

TEST_F(RulePage, TypedTextIsStoredOnRequestBeforeACommand) {
    HWND edit = page->NameEdit->Handle();
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 4, 4);
    Type(edit, "s");
    EXPECT_EQ("Rule", rule->GetName());
    // The main window knows the page as a detail panel only.
    static_cast<TAbstractDetailPanel*>(page)->StoreFocusedControl();
    EXPECT_EQ("Rules", rule->GetName());

    SetFocus(classPanel->WindowClassComboBox->EditHandle());
    Type(classPanel->WindowClassComboBox->EditHandle(), "Calc");
    EXPECT_EQ(
        "",
        ParamAt(rule.Get(),
                "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name"));
    static_cast<TAbstractDetailPanel*>(page)->StoreFocusedControl();
    EXPECT_EQ(
        "Calc",
        ParamAt(rule.Get(),
                "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name"));
}

TEST_F(RulePage, UntickingTheEnabledBoxWritesNo) {
    Click(page->EnabledCheckBox);
    EXPECT_EQ("no", ParamAt(rule.Get(), "params/enabled"));
    EXPECT_FALSE(page->EnabledCheckBox->Checked());
    Click(captionPanel->EnabledCheckBox);
    EXPECT_EQ("yes", ParamAt(rule.Get(),
                             "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/enabled"));
}

TEST_F(RulePage, ClassBoxCompletesFromItsHistoryAndBackspaceDoesNotCompleteAgain) {
    const std::string classPath =
        "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name";
    SetParamAt(rule.Get(), classPath, "Notepad");
    EXPECT_EQ(std::vector<std::string>{"Notepad"}, classPanel->WindowClassComboBox->Items());
    HWND edit = classPanel->WindowClassComboBox->EditHandle();
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    // A class matches only in its own letter case: the typed letters stay as they are.
    Type(edit, "no");
    EXPECT_EQ("no", classPanel->WindowClassComboBox->Text());
    // So do pasted letters; pasted at the end, the start of an entry completes as when typed.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Paste(edit, "NOTE");
    EXPECT_EQ("NOTE", classPanel->WindowClassComboBox->Text());
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Type(edit, "\b");
    Paste(edit, "Note");
    EXPECT_EQ("Notepad", classPanel->WindowClassComboBox->Text());
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Type(edit, "No");
    EXPECT_EQ("Notepad", classPanel->WindowClassComboBox->Text());
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(2u, start);
    EXPECT_EQ(7u, end);
    Type(edit, "\b");
    EXPECT_EQ("No", classPanel->WindowClassComboBox->Text());
}

TEST_F(RulePage, LevelEditStoresADigitTypedBeforeTheZeroAndAPastedNumberAsItIs) {
    SetParamAt(Action(), "params/transparency_level", "0");
    HWND edit = level->TransparencyLevelEdit->Handle();
    ASSERT_EQ("0", level->TransparencyLevelEdit->Text());
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    Type(edit, "5");
    EXPECT_EQ("5", ParamAt(Action(), "params/transparency_level"));
    EXPECT_EQ("5", level->TransparencyLevelEdit->Text());
    EXPECT_EQ(1, Caret(edit));

    for (const char* pasted : {"50", "100"}) {
        SetParamAt(Action(), "params/transparency_level", "0");
        SendMessageA(edit, EM_SETSEL, 0, -1);
        Paste(edit, pasted);
        EXPECT_EQ(pasted, ParamAt(Action(), "params/transparency_level"));
        EXPECT_EQ(pasted, level->TransparencyLevelEdit->Text());
    }

    // 0 is a level of its own.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    Type(edit, "0");
    EXPECT_EQ("0", ParamAt(Action(), "params/transparency_level"));
    EXPECT_EQ("0", level->TransparencyLevelEdit->Text());
    EXPECT_EQ(0, level->TransparencyLevelTrackBar->Position());
}

TEST_F(RulePage, APageOpensWithTheStoredLevelInAllThreeControls) {
    ComPtr<IBOMObjectSlave> other = CreateBOMObject("WINDOWRULE", "Other");
    SetParamAt(other.Get(), "actions/TransparentWindow/params/transparency_level", "40");
    MustCast<IBOMCollection>(root->ResolvePath("window_rules"))->Add(other.Get());
    auto* otherPage = dynamic_cast<TSinglePurposeWindowRuleDetailPanel*>(
        AsUIElement(other.Get())->GetDetailPanel("DefaultDetailPanel", host.Handle()));
    ASSERT_NE(nullptr, otherPage);
    auto* otherLevel = FindControlIn<TTransparentWindowActionDetailPanel_GLZ>(otherPage);
    ASSERT_NE(nullptr, otherLevel);
    EXPECT_EQ(40, otherLevel->TransparencyLevelTrackBar->Position());
    EXPECT_EQ("40", otherLevel->TransparencyLevelEdit->Text());
    EXPECT_EQ(40, otherLevel->TransparencyLevelUpDown->Position());
}

TEST_F(RulePage, LevelControlsFollowEachOther) {
    SetFocus(level->TransparencyLevelTrackBar->Handle());
    SendMessageA(level->TransparencyLevelTrackBar->Handle(), WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(level->TransparencyLevelTrackBar->Handle(), WM_KEYUP, VK_LEFT, 0);
    Deliver();
    EXPECT_EQ("99", ParamAt(Action(), "params/transparency_level"));
    EXPECT_EQ("99", level->TransparencyLevelEdit->Text());
    EXPECT_EQ(99, level->TransparencyLevelUpDown->Position());
    SetParamAt(Action(), "params/transparency_level", "abc");
    EXPECT_EQ(100, level->GetLevel());
    EXPECT_EQ("100", level->TransparencyLevelEdit->Text());
}

TEST_F(RulePage, TwoClicksOnTheInactiveBoxRestoreTheFourFlags) {
    const std::string before = Flags();
    EXPECT_EQ("yesyesnono", before);
    Click(level->InactiveTransparencyCheckBox);
    EXPECT_EQ("yesnoyesyes", Flags());
    Click(level->InactiveTransparencyCheckBox);
    EXPECT_EQ(before, Flags());
}

TEST_F(RulePage, StayOnTopWritesItsAgentAndItsAction) {
    Click(level->StayOnTopCheckBox);
    EXPECT_EQ("yes",
              ParamAt(rule.Get(),
                      "triggers/CreateMessageTrigger/agents/StayOnTopWMCreateEventAgent/params/enabled"));
    EXPECT_EQ("yes", ParamAt(rule.Get(), "actions/StayOnTop/params/enabled"));
    EXPECT_TRUE(level->StayOnTopCheckBox->Checked());
    Click(level->GhostWindowCheckBox);
    EXPECT_EQ("yes", ParamAt(rule.Get(), "actions/GhostWindow/params/enabled"));
}

TEST_F(RulePage, ExactMatchShowsOnlyForYes) {
    const std::string path =
        "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/exact_search";
    SetParamAt(rule.Get(), path, "YES");
    EXPECT_FALSE(captionPanel->ExactSearchTrueRadioButton->Checked());
    EXPECT_TRUE(captionPanel->ExactSearchFalseRadioButton->Checked());
    Click(captionPanel->ExactSearchTrueRadioButton);
    EXPECT_EQ("yes", ParamAt(rule.Get(), path));
}

TEST_F(RulePage, ConditionWithoutCriteriaFailsWithItsAssertion) {
    TConditionDetailPanel panel(host.Handle());
    try {
        panel.SetObject(rule.Get());
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_NE(
            std::string::npos,
            e.AssertMessage().find("Coudn\"t find Criterions - {7C727E96-36BB-459F-AB6C-00D8C4CC1584}"));
    }
}

class RulePagePicker : public RulePage {
protected:
    static TPickTargets targets;
    void Press() {
        PostMessageA(condition->FindWindow->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        Deliver();
    }
    void MoveTo(POINT screen) {
        ScreenToClient(condition->FindWindow->Handle(), &screen);
        last = screen;
        PostMessageA(condition->FindWindow->Handle(), WM_MOUSEMOVE, MK_LBUTTON,
                     MAKELPARAM(static_cast<short>(screen.x), static_cast<short>(screen.y)));
        Deliver();
    }
    // Where the mouse was moved last.
    void Release() {
        PostMessageA(condition->FindWindow->Handle(), WM_LBUTTONUP, 0,
                     MAKELPARAM(static_cast<short>(last.x), static_cast<short>(last.y)));
        Deliver();
    }
    bool Modified() { return dynamic_cast<TQuendaWindows&>(*root.Get()).Modified; }
    POINT last{5, 5};
    std::string Criterion(const char* name, const char* param) {
        return ParamAt(rule.Get(),
                       std::string("conditions/DefaultCondition/criterions/") + name + "/params/" + param);
    }
};

TPickTargets RulePagePicker::targets;

TEST_F(RulePagePicker, DragFillsBothCriteriaFromEachWindowAndSkipsTheOwnWindow) {
    ASSERT_TRUE(targets.Ready());
    int changes = 0;
    condition->FindWindow->AfterSelectWindow =
        [&, inner = condition->FindWindow->AfterSelectWindow](TFindWindow& sender, HWND wnd) {
            ++changes;
            inner(sender, wnd);
        };
    Press();
    // While the button is held the boxes show each window; the rule takes the one released over.
    MoveTo(InsideClient(targets.one));
    EXPECT_EQ("GlzPickTarget", classPanel->WindowClassComboBox->Text());
    EXPECT_EQ("Pick target one", captionPanel->WindowCaptionComboBox->Text());
    MoveTo(InsideClient(targets.one, 100, 60));
    MoveTo(InsideClient(host.Handle(), 600, 10));
    EXPECT_EQ("Pick target one", captionPanel->WindowCaptionComboBox->Text());
    MoveTo(InsideClient(targets.button, 40, 20));
    EXPECT_EQ("#32770", classPanel->WindowClassComboBox->Text());
    EXPECT_EQ("Pick dialog", captionPanel->WindowCaptionComboBox->Text());
    EXPECT_EQ("", Criterion("WINDOWCaptionCriterion", "window_caption"));
    MoveTo(InsideClient(targets.two));
    Release();
    EXPECT_EQ(3, changes);
    EXPECT_EQ("GlzPickTarget", Criterion("WINDOWCLASSNAMECRITERION", "window_class_name"));
    EXPECT_EQ("Pick target two", Criterion("WINDOWCaptionCriterion", "window_caption"));
    EXPECT_EQ((std::vector<std::string>{"Pick target two", "Pick dialog", "Pick target one"}),
              captionPanel->WindowCaptionComboBox->Items());
}

// A point of the screen where only the desktop lies.
std::optional<POINT> DesktopPoint() {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    for (int y = height - 40; y > 0; y -= 37)
        for (int x = width - 5; x > width / 2; x -= 41)
            if (HWND w = WindowFromPoint({x, y}); w == GetDesktopWindow())
                return POINT{x, y};
    return std::nullopt;
}

// Esc, or a release over the desktop, the task bar, the editor itself or nothing, is no pick:
// the rule and its boxes stay as they were.
TEST_F(RulePagePicker, ADragThatIsCancelledOrEndsOverNoTargetChangesNothing) {
    ASSERT_TRUE(targets.Ready());
    SetParamAt(rule.Get(),
               "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name",
               "Notepad");
    dynamic_cast<TQuendaWindows&>(*root.Get()).Modified = false;
    const auto unchanged = [&](const char* step) {
        EXPECT_EQ("Notepad", Criterion("WINDOWCLASSNAMECRITERION", "window_class_name")) << step;
        EXPECT_EQ("", Criterion("WINDOWCaptionCriterion", "window_caption")) << step;
        EXPECT_EQ("Notepad", classPanel->WindowClassComboBox->Text()) << step;
        EXPECT_EQ("", captionPanel->WindowCaptionComboBox->Text()) << step;
        EXPECT_FALSE(Modified()) << step;
    };

    Press();
    MoveTo(InsideClient(targets.one));
    ASSERT_EQ("Pick target one", captionPanel->WindowCaptionComboBox->Text());
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    Deliver();
    EXPECT_FALSE(condition->FindWindow->Picking());
    unchanged("Esc");

    const std::optional<POINT> desktop = DesktopPoint();
    ASSERT_TRUE(desktop.has_value());
    std::vector<std::pair<const char*, POINT>> ends{{"desktop", *desktop},
                                                    {"own window", InsideClient(host.Handle(), 600, 10)}};
    if (HWND taskBar = FindWindowA("Shell_TrayWnd", nullptr); taskBar != nullptr && IsWindowVisible(taskBar))
        ends.emplace_back("task bar", InsideClient(taskBar, 5, 5));
    for (const auto& [where, point] : ends) {
        Press();
        MoveTo(InsideClient(targets.one));
        MoveTo(point);
        Release();
        unchanged(where);
    }
}

} // namespace
