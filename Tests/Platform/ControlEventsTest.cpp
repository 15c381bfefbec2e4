#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Frame.h"
#include "Forms.h"
#include "Platform/TestWindow.h"
#include "StdCtrls.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A frame whose controls sit in group box -> scroll box, as a detail panel's do.
struct TNestedFrame : TFrame {
    TGroupBox* Group;
    TScrollBox* Scroll;
    TCheckBox* Check;
    TRadioButton* Exact;
    TRadioButton* Substring;
    TEdit* Edit;
    TUpDown* UpDown;
    TTrackBar* Track;
    TComboBox* Combo;
    int Clicks = 0;
    int RadioClicks = 0;
    int EditChanges = 0;
    int UpDownClicks = 0;
    int TrackChanges = 0;
    int ComboChanges = 0;

    explicit TNestedFrame(TParent parent) : TFrame(nullptr, parent) {
        SetBounds(0, 0, 400, 300);
        Group = Create<TGroupBox>(this, this);
        Group->SetAlign(TAlign::alClient);
        Group->SetText(" Window rule ");
        Scroll = Create<TScrollBox>(this, Group);
        Scroll->SetAlign(TAlign::alClient);
        Check = Place(Create<TCheckBox>(this, Scroll), 8, 8);
        Check->OnClick = [this](TComponent*) { ++Clicks; };
        Exact = Place(Create<TRadioButton>(this, Scroll), 8, 30);
        Substring = Place(Create<TRadioButton>(this, Scroll), 8, 50);
        Exact->OnClick = Substring->OnClick = [this](TComponent*) { ++RadioClicks; };
        Edit = Place(Create<TEdit>(this, Scroll), 8, 80);
        Edit->OnChange = [this](TComponent*) { ++EditChanges; };
        UpDown = Place(Create<TUpDown>(this, Scroll), 130, 80);
        UpDown->SetAssociate(Edit);
        UpDown->OnClick = [this](TComponent*) { ++UpDownClicks; };
        Track = Place(Create<TTrackBar>(this, Scroll), 8, 110);
        Track->SetRange(0, 100);
        Track->OnChange = [this](TComponent*) { ++TrackChanges; };
        Combo = Place(Create<TComboBox>(this, Scroll), 8, 160);
        Combo->OnChange = [this](TComponent*) { ++ComboChanges; };
    }

    template <class T> T* Place(T* control, int x, int y) {
        control->SetLeft(x);
        control->SetTop(y);
        return control;
    }
};

struct NestedControls : ::testing::Test {
    TTestWindow host{500, 400};
    TNestedFrame frame{host.Handle()};
    void SetUp() override { frame.Show(); }
};

TEST_F(NestedControls, AClickReachesTheFramesHandlerOnceAndCheckingFromCodeNone) {
    SendMessageA(frame.Check->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, frame.Clicks);
    EXPECT_TRUE(frame.Check->Checked());
    SendMessageA(frame.Check->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    frame.Check->SetChecked(true);
    EXPECT_TRUE(frame.Check->Checked());
    EXPECT_EQ(1, frame.Clicks);
}

TEST_F(NestedControls, RadioButtonsOfOneParentAreAGroup) {
    frame.Exact->SetChecked(true);
    EXPECT_EQ(0, frame.RadioClicks);
    SendMessageA(frame.Substring->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, frame.RadioClicks);
    EXPECT_TRUE(frame.Substring->Checked());
    EXPECT_FALSE(frame.Exact->Checked());
}

TEST_F(NestedControls, TextSetFromCodeRaisesNoChangeButTypingDoes) {
    frame.Edit->SetText("100");
    EXPECT_EQ("100", frame.Edit->Text());
    frame.Edit->SetText("100"); // the same text is not set again
    EXPECT_EQ(0, frame.EditChanges);
    SendMessageA(frame.Edit->Handle(), WM_CHAR, '5', 0);
    EXPECT_EQ(1, frame.EditChanges);
    frame.Combo->SetText("Notepad");
    frame.Combo->Add("Notepad");
    frame.Combo->SetItemIndex(0);
    EXPECT_EQ(0, frame.ComboChanges);
    EXPECT_EQ("Notepad", frame.Combo->Text());
}

TEST_F(NestedControls, PositionsSetFromCodeRaiseNothingButTheUsersMovesDo) {
    frame.UpDown->SetPosition(40);
    EXPECT_EQ("40", frame.Edit->Text());
    EXPECT_EQ(0, frame.EditChanges);
    EXPECT_EQ(40, frame.UpDown->Position());
    frame.Track->SetPosition(30);
    EXPECT_EQ(30, frame.Track->Position());
    EXPECT_EQ(0, frame.TrackChanges);

    // The arrow keys move the controls as the user would.
    SendMessageA(frame.Track->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(frame.Track->Handle(), WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(31, frame.Track->Position());
    EXPECT_EQ(1, frame.TrackChanges);
    RECT r{};
    GetClientRect(frame.UpDown->Handle(), &r);
    SendMessageA(frame.UpDown->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, 2));
    SendMessageA(frame.UpDown->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, 2));
    EXPECT_EQ(41, frame.UpDown->Position());
    EXPECT_EQ(1, frame.UpDownClicks);
}

TEST_F(NestedControls, ALabelReportsClicksAndFocusesItsControl) {
    auto* link = frame.Place(Create<TLabel>(&frame, frame.Scroll), 200, 8);
    link->SetText("www.example.org");
    link->SetCursor(SystemCursor(IDC_HAND));
    link->FocusControl = frame.Edit;
    int clicks = 0;
    link->OnClick = [&](TComponent*) { ++clicks; };
    SendMessageA(link->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(link->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(1, clicks);
    EXPECT_TRUE(frame.Edit->Focused());
}

// The thread's tooltip window that holds at least one tool.
HWND ThreadTooltip() {
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            char name[64] = {};
            GetClassNameA(hwnd, name, sizeof(name));
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || SendMessageA(hwnd, TTM_GETTOOLCOUNT, 0, 0) == 0)
                return TRUE;
            *reinterpret_cast<HWND*>(data) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    return tooltip;
}

TEST_F(NestedControls, AHintIsShownByTheThreadsTooltip) {
    frame.Check->SetHint("Keep window on top");
    HWND tooltip = ThreadTooltip();
    ASSERT_NE(nullptr, tooltip);
    char text[80] = {};
    TTTOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = frame.Check->Handle();
    info.uId = reinterpret_cast<UINT_PTR>(frame.Check->Handle());
    info.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("Keep window on top", text);

    // The mouse comes to rest on the control: the tip pops up.
    RECT r{};
    GetClientRect(frame.Check->Handle(), &r);
    const POINT middle = frame.Check->ClientToScreen({r.right / 2, r.bottom / 2});
    SetForegroundWindow(host.Handle());
    SetCursorPos(middle.x, middle.y);
    SendMessageA(frame.Check->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tooltip) != FALSE; }, 3000));
}

TEST_F(NestedControls, ComboBoxesSortTheirListsAndTakeKeysFromTheirEditPart) {
    auto* list =
        frame.Place(Create<TComboBox>(&frame, frame.Scroll, TComboBoxStyle::csDropDownList, true), 200, 160);
    EXPECT_EQ(nullptr, list->EditHandle());
    int german = 0;
    list->Add("Italiano");
    list->Add("Deutsch", &german);
    list->Add("English");
    EXPECT_EQ((std::vector<std::string>{"Deutsch", "English", "Italiano"}), list->Items());
    EXPECT_EQ(&german, list->Object(0));
    list->SetItemIndex(1);
    EXPECT_EQ("English", list->Text());

    ASSERT_NE(nullptr, frame.Combo->EditHandle());
    std::string typed;
    frame.Combo->OnKeyPress = [&](TComponent*, char& key) {
        typed += key;
        if (key == 'x')
            key = 0; // swallowed
    };
    SendMessageA(frame.Combo->EditHandle(), WM_CHAR, 'a', 0);
    SendMessageA(frame.Combo->EditHandle(), WM_CHAR, 'x', 0);
    EXPECT_EQ("ax", typed);
    EXPECT_EQ("a", frame.Combo->Text());
    EXPECT_EQ(1, frame.ComboChanges);

    // A choice from the list is in the edit part when the change handler reads it.
    frame.Combo->Add("Explorer");
    frame.Combo->Add("Notepad");
    std::string seen;
    frame.Combo->OnChange = [&](TComponent*) { seen = frame.Combo->Text(); };
    SendMessageA(frame.Combo->EditHandle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(0, frame.Combo->ItemIndex());
    EXPECT_EQ("Explorer", seen);
}

TEST(ControlEvents, AFormThatGoesWhileItsEditHasTheFocusRunsNoHandler) {
    int exits = 0;
    {
        TForm form(nullptr, "TFocusTestForm");
        auto* panel = Create<TFrame>(&form, form);
        auto* edit = Create<TEdit>(&form, panel);
        panel->Show();
        edit->OnExit = [&](TComponent*) { ++exits; };
        form.Show();
        SetForegroundWindow(form.Handle());
        edit->SetFocus();
        ASSERT_TRUE(edit->Focused());
    }
    EXPECT_EQ(0, exits);
}

namespace {
WNDPROC procedureBelow = nullptr;
int messagesPassedOn = 0;
LRESULT CALLBACK PassOn(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ++messagesPassedOn;
    return CallWindowProcA(procedureBelow, hwnd, msg, wp, lp);
}
} // namespace

// Another procedure subclassed over the layer's, as a tool or a test may do: the control still
// hears its messages and the other procedure is not cut off, up to the window's end.
TEST(ControlEvents, AProcedureSubclassedOverAControlKeepsBothWorking) {
    TTestWindow host;
    auto edit = std::make_unique<TEdit>(nullptr, host.Handle());
    std::string typed;
    edit->OnKeyPress = [&](TComponent*, char& key) { typed += key; };
    const HWND window = edit->Handle();
    procedureBelow = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PassOn)));
    messagesPassedOn = 0;
    SendMessageA(window, WM_CHAR, 'q', 0);
    EXPECT_EQ("q", typed);
    EXPECT_EQ("q", edit->Text());
    EXPECT_GE(messagesPassedOn, 1);

    messagesPassedOn = 0;
    edit.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_GE(messagesPassedOn, 2); // WM_DESTROY and WM_NCDESTROY
    EXPECT_EQ(nullptr, TWinControl::FromHandle(window));
}

TEST_F(NestedControls, TheGroupBoxKeepsAlignedChildrenInsideItsFrame) {
    const RECT inner = frame.Scroll->BoundsRect();
    EXPECT_GT(inner.top, 4);
    EXPECT_GT(inner.left, 0);
    EXPECT_LT(inner.right, frame.Group->ClientWidth());
}

} // namespace
