// GlazloConfig.exe from a product folder of its own, driven from outside as a user would.
#include "CenterStandIn.h"
#include "CenterTestSupport.h"
#include "Clipboard.h"
#include "ConfigBuilderTestSupport.h"
#include "ConfigProgram.h"
#include "Declarations.h"
#include "ProcessesCommunication.h"
#include "SingleAppInstance.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <functional>

namespace {

constexpr const char* PlacementKey = "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows";

std::string OneRule(const std::string& name, const std::string& windowClass, int level = 60) {
    return ConfigurationText({TestRule{name, windowClass, level}});
}

// The menu bar lies above the tool bar in the control bar.
HWND MenuBarOf(HWND main) {
    HWND first = FindChild(main, "ToolbarWindow32");
    HWND second =
        first != nullptr ? FindWindowExA(GetParent(first), first, "ToolbarWindow32", nullptr) : nullptr;
    if (second == nullptr)
        return first;
    RECT a{}, b{};
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    return a.top <= b.top ? first : second;
}

bool Exited(HANDLE process, DWORD timeout = 10000) {
    return WaitForSingleObject(process, timeout) == WAIT_OBJECT_0;
}

DWORD ExitCode(HANDLE process) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

// A message box of the process, waited for.
HWND MessageBoxOf(DWORD processId) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindProcessWindow(processId, "#32770")) != nullptr; }, 5000);
    return box;
}

// Starts the program, brings its window forward and adds a rule with Ctrl+A; the window.
HWND StartAndAddRule(TConfigProgram& program) {
    program.Start();
    HWND main = program.MainWindow();
    if (main == nullptr)
        return nullptr;
    BringToFront(main);
    PressShortCut(VK_CONTROL, 'A');
    WaitUntil([&] { return FindChild(main, "Edit", "Window Rule 1", false) != nullptr; }, 5000);
    return main;
}

class GlazloConfig : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureConfigClasses();
        RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Quenda Tools\\Glazlo\\Command Center", "trayicon");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Glazlo");
    }
};

TEST_F(GlazloConfig, StartsWithTheRuleTreeAndRunsOnce) {
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Notepad", "Notepad"));
    HANDLE first = program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_EQ("Glazlo", WindowText(main));
    HWND tree = FindChild(main, "SysTreeView32");
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ("Window Rules", TreeItemText(tree, TreeRoot(tree)));
    EXPECT_EQ("Notepad", TreeItemText(tree, TreeChild(tree, TreeRoot(tree), 0)));

    // A second start brings the first forward and ends without a window of its own.
    SetForegroundWindow(GetDesktopWindow());
    HANDLE second = program.Start();
    ASSERT_TRUE(Exited(second));
    EXPECT_NE(0u, ExitCode(second));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, 3000));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(first, 0));
}

TEST_F(GlazloConfig, WithoutItsConfigurationItEndsWithoutAWindow) {
    TConfigProgram program;
    HANDLE process = program.Start();
    const DWORD processId = program.ProcessId();
    bool windowSeen = false;
    WaitUntil(
        [&] {
            windowSeen = windowSeen || FindProcessWindow(processId, "TCBAppForm") != nullptr;
            return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        },
        10000);
    ASSERT_TRUE(Exited(process, 0));
    EXPECT_NE(0u, ExitCode(process));
    EXPECT_FALSE(windowSeen);
}

TEST_F(GlazloConfig, TypedNameIsSavedByCtrlSAndTheCenterHearsSaveAndStop) {
    TCenterStandIn center("guard");
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Notepad", "Notepad"));
    HWND main = StartAndAddRule(program);
    ASSERT_NE(nullptr, main);
    HWND nameEdit = FindChild(main, "Edit", "Window Rule 1", false);
    ASSERT_NE(nullptr, nameEdit);
    ASSERT_TRUE(FocusByClick(nameEdit));
    PressKeys({VK_END});
    for (int i = 0; i < 13; ++i)
        PressKeys({VK_BACK});
    TypeText("Typed Rule");
    PressShortCut(VK_CONTROL, 'S');
    // The file is read once the center was told, which is after it was written: a read while the
    // program replaces it would make its save fail.
    EXPECT_TRUE(WaitUntil([&] { return center.Heard() == "2"; }, 10000)) << center.Codes();
    EXPECT_NE(std::string::npos, program.ReadConfiguration().find("name=\"Typed Rule\""));

    // Actions, Stop: the second item of the third menu.
    ASSERT_TRUE(ChooseMenuItem(MenuBarOf(main), 2, 2));
    EXPECT_TRUE(WaitUntil([&] { return center.Heard() == "2,3"; }, 5000)) << center.Codes();
}

// The rule's page in the tree's selection shows; its box that shows text, waited for.
HWND ShowRuleBox(HWND main, int rule, const std::string& text) {
    HWND tree = FindChild(main, "SysTreeView32");
    SelectTreeItem(tree, TreeChild(tree, TreeRoot(tree), rule));
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindVisibleChild(main, "Edit", text, false)) != nullptr; }, 5000);
    return box;
}

// Whatever box of a rule's page the caret was in and however the rule is added (short-cut or
// menu), what is typed next names the new rule; the rule that was being edited keeps what its
// box showed.
TEST_F(GlazloConfig, TypingAfterAddRuleNamesTheNewRule) {
    TCenterStandIn center("guard");
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Keys", "KeysClass", 37));
    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    const struct {
        const char* Shown;
        std::function<void()> Add;
        const char* NewName;
    } rounds[] = {{"Keys", [] { PressShortCut(VK_CONTROL, 'A'); }, "Named"},
                  // Window Rule, Add rule: the first item of the second menu.
                  {"37", [&] { EXPECT_TRUE(ChooseMenuItem(MenuBarOf(main), 1, 1)); }, "Leveled"},
                  {"KeysClass", [] { PressShortCut(VK_CONTROL, 'A'); }, "Classed"}};
    for (const auto& round : rounds) {
        HWND box = ShowRuleBox(main, 0, round.Shown);
        ASSERT_NE(nullptr, box) << round.Shown;
        ASSERT_TRUE(FocusByClick(box)) << round.Shown;
        PressKeys({VK_END});
        round.Add();
        HWND name = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (name = FindVisibleChild(main, "Edit", "Window Rule 1", false)) != nullptr; }, 5000))
            << round.Shown;
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == name; }, 2000)) << round.Shown;
        TypeText(round.NewName);
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitUntil([&] { return WindowText(name) == round.NewName; }, 2000))
            << round.Shown << ": " << WindowText(name) << ", " << WindowText(box);
        EXPECT_EQ(round.Shown, WindowText(box));
    }
    PressShortCut(VK_CONTROL, 'S');
    // Read once the center was told, which is after the file was written.
    ASSERT_TRUE(WaitUntil([&] { return center.Heard() == "2"; }, 5000)) << center.Codes();
    const std::string saved = program.ReadConfiguration();
    for (const char* name : {"\"Keys\"", "\"Named\"", "\"Leveled\"", "\"Classed\""})
        EXPECT_NE(saved.find(name), std::string::npos) << name;
    EXPECT_NE(saved.find(">37</param>"), std::string::npos);
    EXPECT_NE(saved.find(">KeysClass</param>"), std::string::npos);
    EXPECT_EQ(saved.find("Window Rule"), std::string::npos);
}

// After a rule is deleted from its page, the keyboard is in the tree, on the rule above it.
TEST_F(GlazloConfig, AfterDeleteRuleTheKeyboardIsInTheTree) {
    TConfigProgram program;
    program.WriteConfiguration(ConfigurationText({{"First", "FirstClass"}, {"Second", "SecondClass"}}));
    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    HWND tree = FindChild(main, "SysTreeView32");
    HWND name = ShowRuleBox(main, 1, "Second");
    ASSERT_NE(nullptr, name);
    ASSERT_TRUE(FocusByClick(name));
    PressShortCut(VK_CONTROL, 'D');
    HWND box = MessageBoxOf(program.ProcessId());
    ASSERT_NE(nullptr, box);
    BringToFront(box);
    PressKeys({VK_RETURN}); // Yes
    ASSERT_TRUE(WaitUntil([&] { return TreeChild(tree, TreeRoot(tree), 1) == nullptr; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == tree; }, 2000));
    EXPECT_EQ("First", TreeItemText(tree, TreeSelection(tree)));
    // The keyboard works there at once: Up goes to the root.
    PressKeys({VK_UP});
    EXPECT_TRUE(WaitUntil([&] { return TreeSelection(tree) == TreeRoot(tree); }, 2000));

    // A page that gives way while the editor is in the background leaves no key to its boxes
    // either: back in front, the keyboard is in the tree.
    name = ShowRuleBox(main, 0, "First");
    ASSERT_NE(nullptr, name);
    ASSERT_TRUE(FocusByClick(name));
    SetForegroundWindow(GetDesktopWindow());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() != main; }, 2000));
    SelectTreeItem(tree, TreeRoot(tree));
    BringToFront(main);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == tree; }, 2000)) << FocusOf(main);
}

// Alt+Down opens a class box's list and leaves the menu bar alone: Down moves in the list, one
// Esc closes it and typing goes on in the box. Alt alone still reaches the menu bar.
TEST_F(GlazloConfig, AltDownOpensTheListOfAClassBoxAndNothingElse) {
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Keys", "KeysClass"));
    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    HWND edit = ShowRuleBox(main, 0, "KeysClass");
    ASSERT_NE(nullptr, edit);
    HWND combo = GetParent(edit);
    const auto dropped = [&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    const auto menuOpen = [&] { return FindProcessWindow(program.ProcessId(), "#32768") != nullptr; };
    // Keys may arrive while the window is still being activated: again then.
    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
        ASSERT_TRUE(FocusByClick(edit));
        // Alt is let go before Down, as a hand does as often as not.
        PressKeysInOrder({{VK_MENU, false}, {VK_DOWN, false}, {VK_MENU, true}, {VK_DOWN, true}});
        opened = WaitUntil(dropped, 1500);
    }
    ASSERT_TRUE(opened);
    PressKeys({VK_DOWN, VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return !dropped() && !menuOpen(); }, 2000));
    PressKeys({VK_END});
    TypeText("Z");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == "KeysClassZ"; }, 2000)) << WindowText(edit);
    EXPECT_FALSE(menuOpen());

    PressKeys({VK_MENU, VK_DOWN});
    EXPECT_TRUE(WaitUntil(menuOpen, 2000));
    PressKeys({VK_ESCAPE, VK_ESCAPE});
}

TEST_F(GlazloConfig, NamesAndClassesOfAnyScriptGoFromFileToEditorToFileUnchanged) {
    TCenterStandIn center("guard");
    TConfigProgram program;
    const std::string kanji = "\u6F22\u5B57";
    const std::string chinese = "\u4E2D\u6587";
    program.WriteConfiguration(ConfigurationText({{kanji, kanji + "Class"}, {chinese, chinese + "Class"}}));
    HWND main = StartAndAddRule(program);
    ASSERT_NE(nullptr, main);
    // Typed as an input method gives them, into the new rule's name and class boxes.
    HWND nameEdit = FindVisibleChild(main, "Edit", "Window Rule 1", false);
    ASSERT_NE(nullptr, nameEdit);
    ASSERT_TRUE(FocusByClick(nameEdit));
    PressKeys({VK_END});
    PressShortCut(VK_SHIFT, VK_HOME);
    TypeUnicode(L"\u6F22\u5B57 Gr\u00F6\u00DFe");
    PressKeys({VK_RETURN});
    HWND classCombo = FindVisibleChild(main, "ComboBox");
    HWND classEdit = classCombo != nullptr ? FindWindowExA(classCombo, nullptr, "Edit", nullptr) : nullptr;
    ASSERT_NE(nullptr, classEdit);
    ASSERT_TRUE(FocusByClick(classEdit));
    TypeUnicode(L"x\u4E2D\u6587\u00E9");
    // A selection made from here overtakes keys not yet taken: wait for them.
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(classEdit, WM_GETTEXTLENGTH, 0, 0) == 4; }, 2000));
    // The first rule's class box completes from its history and selects what it added: the next
    // character typed replaces exactly that.
    HWND tree = FindChild(main, "SysTreeView32");
    SelectTreeItem(tree, TreeChild(tree, TreeRoot(tree), 0));
    HWND firstCombo = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            firstCombo = FindVisibleChild(main, "ComboBox");
            return firstCombo != nullptr && firstCombo != classCombo;
        },
        5000));
    HWND firstEdit = FindWindowExA(firstCombo, nullptr, "Edit", nullptr);
    ASSERT_TRUE(FocusByClick(firstEdit));
    PressKeys({VK_END});
    PressShortCut(VK_SHIFT, VK_HOME);
    PressKeys({VK_DELETE});
    TypeUnicode(L"\u6F22");
    TypeUnicode(L"x");
    PressShortCut(VK_CONTROL, 'S');
    // Read once the center was told, after the file was written: a read while the program replaces
    // the file would make its save fail.
    ASSERT_TRUE(WaitUntil([&] { return center.Heard() == "2"; }, 10000)) << center.Codes();
    const std::string saved = program.ReadConfiguration();
    EXPECT_NE(saved.find("name=\"\u6F22\u5B57 Gr\u00F6\u00DFe\""), std::string::npos);
    EXPECT_NE(saved.find(">x\u4E2D\u6587\u00E9</param>"), std::string::npos);
    EXPECT_NE(saved.find(">" + kanji.substr(0, 3) + "x</param>"), std::string::npos);
    for (const std::string& name : {kanji, chinese})
        EXPECT_NE(saved.find("<window_rule name=\"" + name + "\""), std::string::npos) << name;
    EXPECT_NE(saved.find(">" + chinese + "Class</param>"), std::string::npos);
    EXPECT_EQ(saved.find('?'), saved.find("?>")) << saved.substr(0, 300);
}

// The visible edit of window that shows text, compared in the edit's own UTF-16.
HWND FindVisibleEdit(HWND window, const std::wstring& text) {
    struct TSearch {
        const std::wstring& Text;
        HWND Found = nullptr;
    } search{text};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(param);
            char className[8] = {};
            std::wstring shown(s.Text.size() + 2, L'\0');
            GetClassNameA(child, className, sizeof className);
            // A window of another process answers GetWindowText with its caption only.
            shown.resize(static_cast<std::size_t>(
                SendMessageW(child, WM_GETTEXT, shown.size(), reinterpret_cast<LPARAM>(shown.data()))));
            if (std::strcmp(className, "Edit") == 0 && IsWindowVisible(child) && shown == s.Text)
                s.Found = child;
            return s.Found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Clicks into the box that shows shown and pastes text over it.
bool PasteOver(HWND main, const std::string& shown, const std::wstring& text) {
    HWND box = FindChild(main, "Edit", shown, false);
    if (box == nullptr || !PutOnClipboard(text) || !FocusByClick(box))
        return false;
    PressKeys({VK_END});
    PressShortCut(VK_SHIFT, VK_HOME);
    PressShortCut(VK_CONTROL, 'V');
    // The clipboard may change again only once the box took its text.
    return WaitUntil([&] { return WindowText(box) != shown; }, 5000);
}

// U+FFFE and U+FFFF, which XML cannot carry, pasted into the name and class boxes and saved:
// both programs load the file again with the same values. So do the symbol that the file uses
// for a control character and the mark of what XML cannot carry, each pasted as itself.
TEST_F(GlazloConfig, NamesAndClassesXmlCannotCarryAreSavedSoThatBothProgramsLoadThemBack) {
    // Stands in for GlazloCenter while the editor saves, so that the save is seen to be done.
    std::optional<TCenterStandIn> center(std::in_place, "guard");
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Target", "GlzOldClass"));
    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    BringToFront(main);
    HWND tree = FindChild(main, "SysTreeView32");
    SelectTreeItem(tree, TreeChild(tree, TreeRoot(tree), 0));
    ASSERT_TRUE(WaitUntil([&] { return FindChild(main, "Edit", "GlzOldClass", false) != nullptr; }, 5000));
    ASSERT_TRUE(PasteOver(main, "Target", L"Pasted\uFFFF\uFFFE\u2401\uFDD0FFFF"));
    ASSERT_TRUE(PasteOver(main, "GlzOldClass", L"GlzPasted\uFFFFClass"));
    PressShortCut(VK_CONTROL, 'S');
    ASSERT_TRUE(WaitUntil([&] { return center->Heard() == "2"; }, 10000)) << center->Codes();
    const std::string saved = program.ReadConfiguration();
    // The file is well-formed XML: it holds neither character.
    EXPECT_EQ(saved.find("\xEF\xBF\xBF"), std::string::npos);
    EXPECT_EQ(saved.find("\xEF\xBF\xBE"), std::string::npos);
    const std::string name = "Pasted\uFDD0FFFF\uFDD0FFFE\uFDD02401\uFDD0FDD0FFFF";
    ASSERT_NE(saved.find("<window_rule name=\"" + name + "\""), std::string::npos) << saved.substr(0, 400);
    ASSERT_NE(saved.find(">GlzPasted\uFDD0FFFFClass</param>"), std::string::npos) << saved.substr(0, 400);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Exited(program.Process()));
    center.reset();

    {
        // GlazloCenter loads it and gives the window of that class its rule.
        CenterSandbox resident;
        resident.WriteConfigurationText(saved);
        ASSERT_TRUE(resident.Start());
        WideTextWindow pasted(L"GlzPasted\uFFFFClass", L"");
        WideTextWindow other(L"GlzPasted\uFFFDClass", L"");
        int code = 0;
        EXPECT_EQ(resident.QueryWindow(pasted.Handle(), code)
                      .rfind("\\WINDOWRULENAME=Pasted\uFFFF\uFFFE\u2401\uFDD0FFFF\\", 0),
                  0u);
        EXPECT_EQ(resident.QueryWindow(other.Handle(), code), "");
    }

    // GlazloConfig loads it too, and saves the same values again. A rule whose name, class and
    // caption hold U+0000 (written as U+FDD0 "0000") is added to the file: its page shows each
    // of them whole, in that form, and leaving its boxes stores them unchanged.
    const std::string nul = "\uFDD00000";
    const std::string file =
        ConfigurationText({{"05 A" + nul + "B", "GlzNul" + nul + "Class", 60, "Cap" + nul + "tion"}});
    const std::string tail = "</content></window_rules>";
    const std::size_t rule = file.find("<window_rule ");
    std::string withNul = saved;
    withNul.insert(withNul.rfind(tail), file.substr(rule, file.rfind(tail) - rule));
    program.WriteConfiguration(withNul);
    center.emplace("guard");
    main = StartAndAddRule(program);
    ASSERT_NE(nullptr, main);
    tree = FindChild(main, "SysTreeView32");
    SelectTreeItem(tree, TreeChild(tree, TreeRoot(tree), 1));
    HWND boxes[] = {nullptr, nullptr, nullptr};
    const std::wstring shown[] = {L"05 A\uFDD00000B", L"GlzNul\uFDD00000Class", L"Cap\uFDD00000tion"};
    ASSERT_TRUE(WaitUntil([&] { return (boxes[0] = FindVisibleEdit(main, shown[0])) != nullptr; }, 5000));
    for (int i = 1; i < 3; ++i)
        ASSERT_NE(nullptr, boxes[i] = FindVisibleEdit(main, shown[i])) << i;
    for (HWND box : {boxes[0], boxes[1], boxes[2], boxes[0]})
        ASSERT_TRUE(FocusByClick(box));
    PressShortCut(VK_CONTROL, 'S');
    ASSERT_TRUE(WaitUntil([&] { return center->Heard() == "2"; }, 10000)) << center->Codes();
    const std::string again = program.ReadConfiguration();
    EXPECT_NE(again.find("name=\"Window Rule 1\""), std::string::npos);
    EXPECT_NE(again.find("<window_rule name=\"" + name + "\""), std::string::npos) << again.substr(0, 400);
    EXPECT_NE(again.find(">GlzPasted\uFDD0FFFFClass</param>"), std::string::npos) << again.substr(0, 400);
    for (const std::string& value :
         {"\"05 A" + nul + "B\"", ">GlzNul" + nul + "Class<", ">Cap" + nul + "tion<"})
        EXPECT_NE(again.find(value), std::string::npos) << value;
}

TEST_F(GlazloConfig, RulesItCannotReadAreNamedAtStartBeforeAnythingIsWritten) {
    TConfigProgram program;
    std::string text = ConfigurationText({{"Readable", "GlzReadable"}});
    const std::string tail = "</content></window_rules></quenda_windows>\r\n";
    text.replace(text.rfind(tail), tail.size(),
                 "<window_rule name=\"Unknown type\" type=\"NOSUCHRULE\"/>"
                 "<window_rule name=\"Other kind\" type=\"CONDITION\"/></content>"
                 "<content><window_rule name=\"Second content\"/>" +
                     tail);
    program.WriteConfiguration(text);
    program.Start();
    HWND box = MessageBoxOf(program.ProcessId());
    ASSERT_NE(nullptr, box);
    std::string message;
    for (HWND label = FindWindowExA(box, nullptr, "Static", nullptr); label != nullptr && message.empty();
         label = FindWindowExA(box, label, "Static", nullptr))
        message = WindowText(label);
    for (const char* name : {"\"Unknown type\"", "\"Other kind\"", "\"Second content\""})
        EXPECT_NE(message.find(name), std::string::npos) << message;
    EXPECT_EQ(message.find("Readable"), std::string::npos) << message;
    EXPECT_EQ(program.ReadConfiguration(), text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    // The tree holds the rule it can read, and only that one.
    HWND tree = FindChild(main, "SysTreeView32");
    ASSERT_NE(nullptr, tree);
    HTREEITEM root = TreeRoot(tree);
    EXPECT_EQ(TreeItemText(tree, TreeChild(tree, root, 0)), "Readable");
    EXPECT_EQ(TreeChild(tree, root, 1), nullptr);
}

TEST_F(GlazloConfig, OptionsOKTellsTheCenterAndCancelDoesNot) {
    TCenterStandIn center("guard");
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Notepad", "Notepad"));
    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    for (const char* button : {"Cancel", "OK"}) {
        BringToFront(main);
        ASSERT_TRUE(ChooseMenuItem(MenuBarOf(main), 2, 3));
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (dialog = FindProcessWindow(program.ProcessId(), "TOptionsForm")) != nullptr; },
            5000));
        HWND press = FindChild(dialog, "Button", button, false);
        ASSERT_NE(nullptr, press) << button;
        PostMessageA(press, BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));
        Sleep(0);
    }
    EXPECT_TRUE(WaitUntil([&] { return center.Heard() == "4"; }, 5000)) << center.Codes();
}

TEST_F(GlazloConfig, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    TConfigProgram program;
    const std::string file = OneRule("Notepad", "Notepad");
    program.WriteConfiguration(file);
    HWND main = StartAndAddRule(program);
    ASSERT_NE(nullptr, main);
    HANDLE process = program.Process();
    ASSERT_NE(nullptr, FindChild(main, "Edit", "Window Rule 1", false));

    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = MessageBoxOf(program.ProcessId());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Save changes?", WindowText(GetDlgItem(box, 0xFFFF)));
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_FALSE(Exited(process, 500));
    EXPECT_TRUE(IsWindowVisible(main));
    // A close the user cancelled leaves the stored placement alone.
    const auto placementStored = [] {
        return RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows\\TCBAppForm",
                            "NormPos", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    };
    EXPECT_FALSE(placementStored());

    // No closes the window, ends the program and saves nothing but the placement.
    PostMessageA(main, WM_CLOSE, 0, 0);
    box = MessageBoxOf(program.ProcessId());
    ASSERT_NE(nullptr, box);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(Exited(process));
    EXPECT_EQ(0u, ExitCode(process));
    EXPECT_EQ(file, program.ReadConfiguration());
    EXPECT_TRUE(placementStored());
}

TEST_F(GlazloConfig, TheWindowReopensWhereItWasClosed) {
    TConfigProgram program;
    program.WriteConfiguration(OneRule("Notepad", "Notepad"));
    HANDLE process = program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    SetWindowPos(main, nullptr, 50, 60, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT placed{};
    ASSERT_TRUE(WaitUntil(
        [&] {
            GetWindowRect(main, &placed);
            return placed.left == 50 && placed.right - placed.left == 640;
        },
        5000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Exited(process));

    char normPos[64] = {};
    DWORD size = sizeof normPos;
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows\\TCBAppForm",
                           "NormPos", RRF_RT_REG_SZ, nullptr, normPos, &size));
    program.Start();
    main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    RECT reopened{};
    GetWindowRect(main, &reopened);
    EXPECT_EQ(placed.left, reopened.left);
    EXPECT_EQ(placed.top, reopened.top);
    EXPECT_EQ(placed.right, reopened.right);
    EXPECT_EQ(placed.bottom, reopened.bottom);
}

// The real GlazloCenter of a product folder, answering on the channel, and a window of another
// program with the given class; both ended with the object.
class TWholeRoad {
public:
    TWholeRoad(const TConfigProgram& program, const std::string& windowClass) {
        center_ =
            StartProgram((program.Folder() / "GlazloCenter.exe").string(), "", program.Folder().string());
        WaitUntil(
            [&] {
                int code = 0, size = 0;
                std::vector<char> reply;
                const char probe[8] = {};
                return channel_.SendCommand(cmdQueryWindowRule, 8, probe, code, size, reply) == channelDone &&
                       code == replyWrongSize;
            },
            15000);
        helper_ = StartProgram(ProgramFolder() + "GlzTargetWindows.exe", "A:" + windowClass);
        WaitUntil([&] { return (Target = FindWindowA(windowClass.c_str(), nullptr)) != nullptr; }, 5000);
    }
    ~TWholeRoad() {
        int code = 0, size = 0;
        std::vector<char> reply;
        channel_.SendCommand(cmdCloseCenter, 0, nullptr, code, size, reply);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(center_.Get(), 10000));
        TerminateProcess(helper_.Get(), 0);
        WaitForSingleObject(helper_.Get(), 5000);
    }
    TWholeRoad(const TWholeRoad&) = delete;
    TWholeRoad& operator=(const TWholeRoad&) = delete;

    HWND Target = nullptr;

private:
    TProcessesCommunication channel_{ChannelPrefix};
    UniqueHandle center_;
    UniqueHandle helper_;
};

// Opens the first rule's page in the editor, clicks into the box that shows shown, types text
// over it and presses Ctrl+S without leaving the box.
bool RetypeAndSave(HWND main, const std::string& shown, const std::string& text) {
    HWND tree = FindChild(main, "SysTreeView32");
    SelectTreeItem(tree, TreeChild(tree, TreeRoot(tree), 0));
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindChild(main, "Edit", shown, false)) != nullptr; }, 5000) ||
        !FocusByClick(box))
        return false;
    PressKeys({VK_END});
    PressShortCut(VK_SHIFT, VK_HOME);
    TypeText(text);
    PressShortCut(VK_CONTROL, 'S');
    return true;
}

// The whole road: a level typed on the page and saved reaches a window of another program. The
// page shows the level the window has, and the level box gives the file's text up only to what
// the user typed there: passing through it, or emptying it and leaving, changes nothing.
TEST_F(GlazloConfig, ALevelSavedOnThePageReachesAWindowOfAnotherProgram) {
    TConfigProgram program(true);
    // A level written by hand in hexadecimal: 50.
    std::string file = OneRule("Target", "GlzCfgTarget", 60);
    file.replace(file.find(">60<"), 4, ">$32<");
    program.WriteConfiguration(file);
    TWholeRoad road(program, "GlzCfgTarget");
    ASSERT_NE(nullptr, road.Target);
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(road.Target) == 127; }, 5000))
        << LayeredAlpha(road.Target);

    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    HWND level = ShowRuleBox(main, 0, "50");
    ASSERT_NE(nullptr, level);
    HWND name = FindVisibleChild(main, "Edit", "Target", false);
    ASSERT_NE(nullptr, name);
    // Whatever was done in the level box, a name typed and saved shows what the file holds.
    const auto renameAndSave = [&](const char* added, const std::string& saved) {
        ASSERT_TRUE(FocusByClick(name));
        PressKeys({VK_END});
        TypeText(added);
        PressShortCut(VK_CONTROL, 'S');
        ASSERT_TRUE(
            WaitUntil([&] { return program.ReadConfiguration().find(saved) != std::string::npos; }, 10000));
    };
    ASSERT_TRUE(FocusByClick(level));
    renameAndSave("X", "\"TargetX\"");
    EXPECT_NE(std::string::npos, program.ReadConfiguration().find(">$32<"));

    ASSERT_TRUE(RetypeAndSave(main, "50", "30"));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(road.Target) == 76; }, 5000))
        << LayeredAlpha(road.Target);
    // Emptied with BackSpace and left: the 30 it showed comes back, not the 3 it passed through.
    ASSERT_TRUE(FocusByClick(level));
    PressKeys({VK_END, VK_BACK, VK_BACK});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(level).empty(); }, 2000));
    renameAndSave("Y", "\"TargetXY\"");
    EXPECT_NE(std::string::npos, program.ReadConfiguration().find(">30<"));
    EXPECT_EQ("30", WindowText(level));
}

// A class typed into the page and saved by Ctrl+S without leaving the box (Save still off, as
// nothing had changed) reaches the window of that class. The box's history holds the class in
// another letter case, which matches no window: the letters typed or pasted stay as they are.
TEST_F(GlazloConfig, AClassTypedAndSavedByCtrlSReachesItsWindow) {
    TConfigProgram program(true);
    program.WriteConfiguration(OneRule("Target", "glzcfgtypedclass", 60));
    TWholeRoad road(program, "GlzCfgTyped");
    ASSERT_NE(nullptr, road.Target);

    program.Start();
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_NE(153, LayeredAlpha(road.Target));
    ASSERT_TRUE(RetypeAndSave(main, "glzcfgtypedclass", "GlzCfgTyped"));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(road.Target) == 153; }, 5000))
        << LayeredAlpha(road.Target);
    EXPECT_NE(std::string::npos, program.ReadConfiguration().find(">GlzCfgTyped<"));

    ASSERT_TRUE(PasteOver(main, "GlzCfgTyped", L"GLZCFG"));
    PressShortCut(VK_CONTROL, 'S');
    EXPECT_TRUE(
        WaitUntil([&] { return program.ReadConfiguration().find(">GLZCFG<") != std::string::npos; }, 10000))
        << WindowText(FocusOf(main));
}

// The product laid out in a folder whose path takes more than MAX_PATH bytes in UTF-8 though far
// fewer characters, as a folder named in a script outside ASCII soon does (both programs run with
// UTF-8 as their ANSI code page), with a language file of its own; ended with the object.
class TAccentedProductFolder {
public:
    TAccentedProductFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ = std::filesystem::path(temp) / (L"glzlong" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                               std::to_wstring(GetTickCount64()));
        folder_ = root_ / std::wstring(120, L'\u00E9');
        std::filesystem::create_directories(folder_ / "Languages");
        for (const char* file : {"GlazloConfig.exe", "GlazloCenter.exe", "glzemb.dll"})
            std::filesystem::copy_file(std::filesystem::path(ProgramFolder()) / file, folder_ / file);
        RegSetKeyValueA(HKEY_CURRENT_USER, ProductKey, "Language", REG_SZ, "LF", 3);
    }
    ~TAccentedProductFolder() {
        for (UniqueHandle& process : processes_)
            if (WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.Get(), 1);
                WaitForSingleObject(process.Get(), 5000);
            }
        RegDeleteKeyValueA(HKEY_CURRENT_USER, ProductKey, "Language");
        // The library stays mapped in hooked processes until they let it go.
        std::error_code ignored;
        WaitUntil(
            [&] {
                std::filesystem::remove_all(root_, ignored);
                return !std::filesystem::exists(root_);
            },
            2000);
    }
    TAccentedProductFolder(const TAccentedProductFolder&) = delete;
    TAccentedProductFolder& operator=(const TAccentedProductFolder&) = delete;

    void Write(const std::filesystem::path& name, const std::string& text) const {
        const UniqueHandle file(CreateFileW((folder_ / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    // When it was last written, learnt without opening it: Wine refuses to replace a file that
    // any process holds open, so a reader would make the editor's save fail.
    ULONGLONG LastWritten(const std::filesystem::path& name) const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW((folder_ / name).c_str(), GetFileExInfoStandard, &data))
            return 0;
        return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
    }
    std::string Read(const std::filesystem::path& name) const {
        const UniqueHandle file(CreateFileW((folder_ / name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string text(1 << 16, '\0');
        DWORD read = 0;
        if (!file || !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
            read = 0;
        text.resize(read);
        return text;
    }
    // Starts one of its programs in it; the process.
    HANDLE Start(const char* program) {
        const std::wstring path = (folder_ / program).wstring();
        TStartedProcess started = StartProcess(path, L"\"" + path + L"\"", folder_.wstring());
        if (!started)
            return nullptr;
        processes_.push_back(std::move(started.Process));
        return processes_.back().Get();
    }
    // One of its programs started by another, ended with the object too.
    void Adopt(DWORD processId) {
        processes_.emplace_back(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    static constexpr const char* ProductKey = "SOFTWARE\\Quenda Tools\\Glazlo";
    std::filesystem::path root_;
    std::filesystem::path folder_;
    std::vector<UniqueHandle> processes_;
};

// Both programs take their folder whole: the configuration, glzemb.dll and the language files
// are found there, a save writes the configuration there, and GlazloCenter's tray icon starts the
// editor from there.
TEST_F(GlazloConfig, BothProgramsRunFromAFolderWhosePathIsLongerThanMaxPathInUtf8) {
    TAccentedProductFolder product;
    ASSERT_GT(WideToUtf8((product.Folder() / "Glazlo.ini").wstring()).size(), size_t{MAX_PATH});
    ASSERT_LT((product.Folder() / "Glazlo.ini").wstring().size(), size_t{200});
    product.Write("Glazlo.ini", OneRule("Accented", "GlzCfgAccented", 60));
    product.Write("Languages\\lf.lng",
                  "<?xml version=\"1.0\"?>\r\n<language id=\"LF\" name=\"Long Folder\"><strings>"
                  "<string name=\"AppRootNodeCaption\">Rules from afar</string></strings></language>\r\n");

    HANDLE center = product.Start("GlazloCenter.exe");
    ASSERT_NE(nullptr, center);
    WaitForInputIdle(center, 15000);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(center, &exitCode);
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), exitCode) << "GlazloCenter ended";
    const HostProcess host("A:GlzCfgAccented");
    std::vector<HWND> windows;
    ASSERT_TRUE(WaitUntil([&] { return !(windows = host.Windows("GlzCfgAccented")).empty(); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(windows.front()) == 153; }, 10000))
        << LayeredAlpha(windows.front());

    HANDLE config = product.Start("GlazloConfig.exe");
    ASSERT_NE(nullptr, config);
    HWND main = nullptr;
    WaitUntil(
        [&] {
            return (main = FindProcessWindow(GetProcessId(config), "TCBAppForm")) != nullptr ||
                   WaitForSingleObject(config, 0) == WAIT_OBJECT_0;
        },
        10000);
    GetExitCodeProcess(config, &exitCode);
    ASSERT_NE(nullptr, main) << "GlazloConfig ended with " << exitCode;
    HWND tree = FindChild(main, "SysTreeView32");
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ("Rules from afar", TreeItemText(tree, TreeRoot(tree)));
    EXPECT_EQ("Accented", TreeItemText(tree, TreeChild(tree, TreeRoot(tree), 0)));

    // A new rule saved by Ctrl+S is in the file.
    BringToFront(main);
    PressShortCut(VK_CONTROL, 'A');
    ASSERT_TRUE(WaitUntil([&] { return FindChild(main, "Edit", "Window Rule 1", false) != nullptr; }, 5000));
    const ULONGLONG before = product.LastWritten("Glazlo.ini");
    PressShortCut(VK_CONTROL, 'S');
    EXPECT_TRUE(WaitUntil([&] { return product.LastWritten("Glazlo.ini") != before; }, 10000));
    // Under Wine a file that is being replaced does not open for a moment (a sharing violation):
    // it is read once it opens.
    std::string saved;
    EXPECT_TRUE(WaitUntil([&] { return !(saved = product.Read("Glazlo.ini")).empty(); }, 5000));
    EXPECT_NE(saved.find("Window Rule 1"), std::string::npos) << saved;
    const HWND box = FindProcessWindow(GetProcessId(config), "#32770");
    std::string said;
    for (HWND label = box != nullptr ? FindWindowExA(box, nullptr, "Static", nullptr) : nullptr;
         label != nullptr; label = FindWindowExA(box, label, "Static", nullptr))
        said += WindowText(label) + " ";
    EXPECT_EQ(nullptr, box) << "a message box: " << said;

    TerminateProcess(config, 1);
    WaitForSingleObject(config, 5000);
    const HWND handler = HandlerWindowOf(GetProcessId(center));
    ASSERT_NE(nullptr, handler);
    PostMessageA(handler, TrayCallbackMessage, 0, WM_LBUTTONDBLCLK);
    HWND again = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (again = FindWindowA("TCBAppForm", nullptr)) != nullptr; }, 10000));
    if (again != nullptr) {
        DWORD processId = 0;
        GetWindowThreadProcessId(again, &processId);
        product.Adopt(processId);
    }
    TProcessesCommunication channel(ChannelPrefix);
    int code = 0, size = 0;
    std::vector<char> reply;
    channel.SendCommand(cmdCloseCenter, 0, nullptr, code, size, reply);
    EXPECT_EQ(0u, WaitForExit(center, 10000));
}

} // namespace
