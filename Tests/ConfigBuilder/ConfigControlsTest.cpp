#include "FindWindow.h"
#include "Handles.h"
#include "PexControls.h"
#include "PickTargets.h"

#include "Platform/TestWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Items = std::vector<std::string>;

TEST(HistoryList, ExactMatchMovesToFrontAndNewTextIsInsertedFirst) {
    EXPECT_EQ((Items{"b", "a", "c"}), AddTextToHistory({"a", "b", "c"}, "b", 0));
    EXPECT_EQ((Items{"a", "b", "c"}), AddTextToHistory({"a", "b", "c"}, "a", 0));
    // Matching is exact: a text that differs in case only is a new entry.
    EXPECT_EQ((Items{"A", "a", "b"}), AddTextToHistory({"a", "b"}, "A", 0));
    EXPECT_EQ((Items{"a", "b"}), AddTextToHistory({"a", "b"}, "", 0));
    // The last of two equal entries is the one that moves.
    EXPECT_EQ((Items{"x", "x", "y"}), AddTextToHistory({"x", "y", "x"}, "x", 0));
}

TEST(HistoryList, PositiveCapacityTrimsTheOldestAndZeroKeepsAll) {
    EXPECT_EQ((Items{"d", "a", "b"}), AddTextToHistory({"a", "b", "c"}, "d", 3));
    EXPECT_EQ((Items{"d", "a", "b", "c"}), AddTextToHistory({"a", "b", "c"}, "d", 0));
    EXPECT_EQ((Items{"d", "a", "b", "c"}), AddTextToHistory({"a", "b", "c"}, "d", -1));
    // A list that only reaches its capacity keeps every entry.
    EXPECT_EQ((Items{"c", "a", "b"}), AddTextToHistory({"a", "b"}, "c", 3));
}

// A completion never changes a letter typed: only an entry in the typed letter case counts.
TEST(HistoryList, CompletionFindsTheFirstEntryInTheTypedLetterCase) {
    const Items items{"Explorer", "Notepad", "notes", "\xD0\x96\xD1\x83\xD0\xBA"};
    EXPECT_EQ(1u, FindCompletion(items, "No").value_or(99));
    EXPECT_EQ(2u, FindCompletion(items, "not").value_or(99));
    EXPECT_EQ(2u, FindCompletion(items, "notes").value_or(99));
    EXPECT_FALSE(FindCompletion(items, "NOT").has_value());
    EXPECT_FALSE(FindCompletion(items, "notepad").has_value());
    // Cyrillic "ZHU" in capitals is no start of "Zhuk".
    EXPECT_FALSE(FindCompletion(items, "\xD0\x96\xD0\xA3").has_value());
    EXPECT_FALSE(FindCompletion(items, "notepads").has_value());
    EXPECT_FALSE(FindCompletion(items, "x").has_value());
}

class HistoryCombo : public ::testing::Test {
protected:
    TTestWindow host;
    THistoryComboBox combo{nullptr, host.Handle()};

    void SetUp() override {
        combo.SetBounds(10, 10, 150, 21);
        combo.AutoHistory = true;
        combo.AutoCompletion = true;
        combo.SetItems({"Explorer", "Notepad"});
        SetFocus(combo.EditHandle());
    }
    void Type(const std::string& keys) {
        for (char key : keys)
            SendMessageA(combo.EditHandle(), WM_CHAR, static_cast<unsigned char>(key), 1);
    }
    std::pair<DWORD, DWORD> Selection() {
        DWORD start = 0, end = 0;
        SendMessageA(combo.EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
};

TEST_F(HistoryCombo, ACapacitySetLaterKeepsExactlyThatManyEntries) {
    combo.SetItems({"a", "b", "c", "d"});
    combo.SetCapacity(2);
    EXPECT_EQ((Items{"a", "b"}), combo.Items());
    combo.SetText("e");
    combo.AddToHistory();
    EXPECT_EQ((Items{"e", "a"}), combo.Items());
}

TEST_F(HistoryCombo, TypingCompletesWithTheTailSelectedAndBackspaceDoesNotCompleteAgain) {
    // An entry in another letter case is no completion of what is typed.
    Type("n");
    EXPECT_EQ("n", combo.Text());
    Type("\b");
    Type("N");
    EXPECT_EQ("Notepad", combo.Text());
    EXPECT_EQ((std::pair<DWORD, DWORD>{1, 7}), Selection());
    // Typing on over the completed tail completes again.
    Type("o");
    EXPECT_EQ("Notepad", combo.Text());
    EXPECT_EQ((std::pair<DWORD, DWORD>{2, 7}), Selection());
    Type("\b");
    EXPECT_EQ("No", combo.Text());
    Type("\b");
    EXPECT_EQ("N", combo.Text());
}

// Typing the whole text of an entry keeps it, though a longer entry starting with it comes
// first; what the box shows when it is left is what it holds.
TEST_F(HistoryCombo, TypingAWholeEntryNeverTurnsIntoALongerOne) {
    combo.SetItems({"NotepadWrong", "Notepad"});
    Type("Notepa");
    EXPECT_EQ("NotepadWrong", combo.Text());
    EXPECT_EQ((std::pair<DWORD, DWORD>{6, 12}), Selection());
    Type("d");
    EXPECT_EQ("Notepad", combo.Text());
    HWND other = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 100, 100, 20, host.Handle(),
                                 nullptr, nullptr, nullptr);
    SetFocus(other);
    EXPECT_EQ("Notepad", combo.Text());
    EXPECT_EQ((Items{"Notepad", "NotepadWrong"}), combo.Items());
}

// Text typed or pasted in the middle is not completed: the caret stays where the user types.
TEST_F(HistoryCombo, TextAddedInTheMiddleIsNotCompleted) {
    combo.SetText("Nte");
    SendMessageA(combo.EditHandle(), EM_SETSEL, 1, 1);
    Type("o");
    EXPECT_EQ("Note", combo.Text());
    EXPECT_EQ((std::pair<DWORD, DWORD>{2, 2}), Selection());
    SendMessageA(combo.EditHandle(), EM_SETSEL, 4, 4);
    Type("p");
    EXPECT_EQ("Notepad", combo.Text());
    EXPECT_EQ((std::pair<DWORD, DWORD>{5, 7}), Selection());
}

TEST_F(HistoryCombo, BackspaceAfterTextFromCodeDoesNotComplete) {
    Type("E");
    ASSERT_EQ("Explorer", combo.Text());
    combo.SetText("Notepad");
    SendMessageA(combo.EditHandle(), EM_SETSEL, 7, 7);
    Type("\b");
    EXPECT_EQ("Notepa", combo.Text());
}

TEST_F(HistoryCombo, LeavingTheControlAddsItsTextToTheFrontOfTheHistory) {
    int exits = 0;
    combo.OnExit = [&exits](TComponent*) { ++exits; };
    HWND other = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 100, 100, 20, host.Handle(),
                                 nullptr, nullptr, nullptr);
    combo.SetText("Notepad");
    SetFocus(other);
    EXPECT_EQ((Items{"Notepad", "Explorer"}), combo.Items());
    EXPECT_EQ("Notepad", combo.Text());
    SetFocus(combo.EditHandle());
    combo.SetText("Calc");
    combo.OnCanAddHistory = [](THistoryComboBox&, const std::string& text, bool& canAdd) {
        canAdd = text != "Calc";
    };
    SetFocus(other);
    EXPECT_EQ((Items{"Notepad", "Explorer"}), combo.Items());
    EXPECT_EQ(2, exits);
    combo.SetCapacity(1);
    EXPECT_EQ((Items{"Notepad"}), combo.Items());
}

TEST_F(HistoryCombo, EnterReachesTheKeyPressHandler) {
    std::string keys;
    combo.OnKeyPress = [&keys](TComponent*, char& key) {
        keys += key;
        if (key == 'x')
            key = 0;
    };
    Type("ax\r");
    EXPECT_EQ("ax\r", keys);
    EXPECT_EQ("a", combo.Text().substr(0, 1));
    EXPECT_EQ(std::string::npos, combo.Text().find('x'));
}

TEST_F(HistoryCombo, ContextMenuKeyOpensThePopupMenuAtTheCentre) {
    const UniqueMenu menu(CreatePopupMenu());
    AppendMenuA(menu.Get(), MF_STRING, 1, "Clear history");
    combo.PopupMenu = menu.Get();
    static POINT shownAt;
    shownAt = POINT{-1, -1};
    // The menu runs its own loop: a timer of this thread looks at it and closes it.
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND popup = FindWindowA("#32768", nullptr); popup != nullptr && IsWindowVisible(popup)) {
            RECT r;
            GetWindowRect(popup, &r);
            shownAt = POINT{r.left, r.top};
            EndMenu();
        }
    });
    WORD key = VK_APPS;
    SendMessageA(combo.EditHandle(), WM_KEYDOWN, key, 1);
    KillTimer(nullptr, timer);
    RECT box;
    GetWindowRect(combo.Handle(), &box);
    EXPECT_EQ((box.left + box.right) / 2, shownAt.x);
    EXPECT_EQ((box.top + box.bottom) / 2, shownAt.y);
}

// The picker dragged by posted mouse messages over the windows of another process.
class Picker : public ::testing::Test {
protected:
    TTestWindow host{300, 200};
    TFindWindow picker{nullptr, host.Handle()};
    std::vector<HWND> selected;

    void SetUp() override {
        picker.SetBounds(10, 10, TFindWindow::Size, TFindWindow::Size);
        ASSERT_TRUE(targets.Ready());
        picker.AfterSelectWindow = [this](TFindWindow&, HWND w) { selected.push_back(w); };
        Deliver();
    }
    void Press() {
        PostMessageA(picker.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        Deliver();
    }
    void MoveTo(POINT screen) {
        ScreenToClient(picker.Handle(), &screen);
        PostMessageA(picker.Handle(), WM_MOUSEMOVE, MK_LBUTTON,
                     MAKELPARAM(static_cast<short>(screen.x), static_cast<short>(screen.y)));
        Deliver();
    }
    void Release() {
        PostMessageA(picker.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Deliver();
    }
    // A pixel of w's left border, read from the screen.
    static COLORREF FramePixel(HWND w) {
        Deliver();
        RECT r;
        GetWindowRect(w, &r);
        const WindowDC screen = GetOwnedDC(nullptr);
        return GetPixel(screen.Get(), r.left + 1, (r.top + r.bottom) / 2);
    }

    static TPickTargets targets;
};

TPickTargets Picker::targets;

TEST_F(Picker, DragFiresOncePerWindowEnteredAndReleaseClearsTheSelection) {
    Press();
    EXPECT_TRUE(picker.Picking());
    EXPECT_EQ(picker.Handle(), GetCapture());
    MoveTo(InsideClient(targets.one));
    MoveTo(InsideClient(targets.one, 160, 90));
    MoveTo(InsideClient(targets.two));
    EXPECT_EQ((std::vector<HWND>{targets.one, targets.two}), selected);
    EXPECT_EQ(targets.two, picker.HighlightedWindow());
    Release();
    EXPECT_FALSE(picker.Picking());
    EXPECT_EQ(nullptr, picker.SelectedWindow());
    EXPECT_NE(picker.Handle(), GetCapture());
}

TEST_F(Picker, ChildWindowsGiveTheirTopLevelWindowWhenAsked) {
    Press();
    MoveTo(InsideClient(targets.button, 50, 20));
    EXPECT_EQ(targets.button, picker.SelectedWindow());
    picker.SetSelectedChildWindow(false);
    MoveTo(InsideClient(targets.button, 60, 30));
    EXPECT_EQ(targets.dialog, picker.SelectedWindow());
    EXPECT_EQ(targets.dialog, TFindWindow::TopLevelWindow(targets.button));
    EXPECT_EQ(targets.dialog, TFindWindow::TopLevelWindow(targets.dialog));
    Release();
}

TEST_F(Picker, VetoedWindowIsNotFramedAndTheOldFrameStays) {
    picker.BeforeSelectWindow = [this](TFindWindow&, HWND& w, bool& cancel) { cancel = w == targets.two; };
    const COLORREF plain = FramePixel(targets.one);
    Press();
    MoveTo(InsideClient(targets.one));
    MoveTo(InsideClient(targets.two));
    EXPECT_EQ((std::vector<HWND>{targets.one}), selected);
    EXPECT_EQ(targets.one, picker.HighlightedWindow());
    EXPECT_EQ(plain ^ 0xFFFFFFu, FramePixel(targets.one));
    Release();
    EXPECT_EQ(plain, FramePixel(targets.one));
}

TEST_F(Picker, FrameIsInvertedOnEntryAndRestoredOnLeaving) {
    const COLORREF one = FramePixel(targets.one);
    const COLORREF two = FramePixel(targets.two);
    Press();
    MoveTo(InsideClient(targets.one));
    EXPECT_EQ(one ^ 0xFFFFFFu, FramePixel(targets.one));
    MoveTo(InsideClient(targets.two));
    EXPECT_EQ(one, FramePixel(targets.one));
    EXPECT_EQ(two ^ 0xFFFFFFu, FramePixel(targets.two));
    Release();
    EXPECT_EQ(two, FramePixel(targets.two));
}

TEST_F(Picker, NoWindowUnderTheCursorChangesNothing) {
    Press();
    MoveTo(InsideClient(targets.one));
    ASSERT_EQ(nullptr, WindowFromPoint(POINT{-20000, -20000}));
    MoveTo(POINT{-20000, -20000});
    EXPECT_EQ((std::vector<HWND>{targets.one}), selected);
    EXPECT_EQ(targets.one, picker.SelectedWindow());
    Release();
}

TEST_F(Picker, LosingTheCaptureEndsPickingAndRemovesTheFrame) {
    const COLORREF plain = FramePixel(targets.one);
    HCURSOR before = GetCursor();
    Press();
    MoveTo(InsideClient(targets.one));
    ASSERT_EQ(plain ^ 0xFFFFFFu, FramePixel(targets.one));
    SetCapture(host.Handle());
    EXPECT_FALSE(picker.Picking());
    EXPECT_EQ(nullptr, picker.HighlightedWindow());
    EXPECT_EQ(plain, FramePixel(targets.one));
    EXPECT_EQ(before, GetCursor());
    ReleaseCapture();
    // A later move without the capture offers nothing.
    MoveTo(InsideClient(targets.two));
    EXPECT_EQ((std::vector<HWND>{targets.one}), selected);

    Press();
    MoveTo(InsideClient(targets.two));
    SendMessageA(picker.Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(picker.Picking());
    EXPECT_NE(picker.Handle(), GetCapture());
}

} // namespace
