#include "AppSpecificConsts.h"
#include "BOMRoutines.h"
#include "CenterStandIn.h"
#include "FileReplacement.h"
#include "Handles.h"
#include "Helpers/WaitUntil.h"
#include "ModelTestSupport.h"
#include "MultiLanguages.h"
#include "ProcessesCommunication.h"
#include "QuendaWindows.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace {
const std::string ClassCriterion = "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/";

// A rule file with two rules for the class "GlzRootTarget", both enabled.
std::string TwoRuleFile() {
    return R"(<quenda_windows name="root"><window_rules name="window_rules"><content>
      <window_rule name="First" type="WINDOWRULE"><conditions><content><condition name="DefaultCondition">
        <criterions><content><criterion name="WINDOWCLASSNAMECRITERION">
          <params><param name="window_class_name">GlzRootTarget</param></params>
        </criterion></content></criterions></condition></content></conditions></window_rule>
      <window_rule name="Second"><conditions><content><condition name="DefaultCondition">
        <criterions><content><criterion name="WINDOWCLASSNAMECRITERION">
          <params><param name="window_class_name">GlzRootTarget</param></params>
        </criterion></content></criterions></condition></content></conditions>
        <actions><content><action name="StayOnTop"><params><param name="enabled">yes</param></params></action>
        </content></actions></window_rule>
    </content></window_rules></quenda_windows>)";
}

class Root : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureModelClasses();
        ApplicationFolder = TempFolder("GlzRootTest");
        ConfigFileName = "Glazlo.ini";
        WriteFileText(ConfigurationFilePath(), TwoRuleFile());
    }
    void TearDown() override {
        if (root)
            root->ClearOwner();
    }
    TQuendaWindows* Load() {
        root = LoadConfiguration();
        EXPECT_TRUE(root);
        return root ? dynamic_cast<TQuendaWindows*>(static_cast<IBOMObject*>(root.Get())) : nullptr;
    }
    std::string Find(HWND window) {
        std::string text;
        MustCast<IControlCenter>(root->QueryKind("ControlCenter"))->FindRuleDescriptor(window, text);
        return text;
    }

    ComPtr<IBOMObjectSlave> root;
    TestWindow target{"GlzRootTarget", "target"};
    TestWindow other{"GlzRootOther", "other"};
};
} // namespace

TEST_F(Root, FirstOfTwoMatchingEnabledRulesAnswers) {
    Load();
    EXPECT_EQ(Find(target.Handle()).rfind("\\WINDOWRULENAME=First\\", 0), 0u);
    EXPECT_EQ(Find(other.Handle()), "");
    SetParamAt(root.Get(), "window_rules/First/params/enabled", "no");
    EXPECT_EQ(Find(target.Handle()).rfind("\\WINDOWRULENAME=Second\\", 0), 0u);
}

TEST_F(Root, HandWrittenRulesWithoutOrWithRepeatedNamesAreAllKept) {
    // Names as a person may leave them: none, one used before, one a free name would take.
    auto rule = [](const std::string& name, const std::string& className) {
        return "<window_rule" + name +
               "><conditions><content><condition name=\"DefaultCondition\"><criterions>"
               "<content><criterion name=\"WINDOWCLASSNAMECRITERION\"><params><param "
               "name=\"window_class_name\">" +
               className +
               "</param></params></criterion></content></criterions></condition></content>"
               "</conditions></window_rule>";
    };
    WriteFileText(ConfigurationFilePath(),
                  "<quenda_windows name=\"root\"><window_rules name=\"window_rules\"><content>" +
                      rule(" name=\"Notepad\"", "C1") + rule("", "C2") + rule(" name=\"notepad\"", "C3") +
                      rule("", "C4") + rule(" name=\"Window Rule 1\"", "C5") + rule(" name=\"a/b\"", "C6") +
                      "</content></window_rules></quenda_windows>");
    TQuendaWindows* windows = Load();
    const std::string names = "Notepad,Window Rule 2,notepad 2,Window Rule 3,Window Rule 1,a/b";
    EXPECT_EQ(ItemNames(root.Get(), "window_rules"), names);
    for (int i = 0; i < 6; ++i) {
        const auto item = MustCast<IBOMCollection>(At(root.Get(), "window_rules"))->Item(Variant(i));
        EXPECT_EQ(ParamAt(item.Get(), ClassCriterion + "window_class_name"),
                  std::string("C").append(std::to_string(i + 1)));
        EXPECT_EQ(ParamAt(item.Get(), "params/name"), item->GetName());
    }
    // The next save keeps them all.
    windows->Modified = true;
    windows->SaveConfiguration();
    root->ClearOwner();
    root = LoadConfiguration();
    ASSERT_TRUE(root);
    EXPECT_EQ(ItemNames(root.Get(), "window_rules"), names);
}

namespace {
// A window that counts the messages it is sent: a query must read its caption without one, or
// a hung window would hold up the resident program's answers.
class CaptionCountingWindow {
public:
    CaptionCountingWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "GlzCaptionCounted";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "Counted", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~CaptionCountingWindow() { DestroyWindow(window_); }
    HWND Handle() const noexcept { return window_; }
    static inline int messages = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        ++messages;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};
} // namespace

TEST_F(Root, AQuerySendsTheWindowNoMessageAndFollowsEdits) {
    Load();
    CaptionCountingWindow window;
    ASSERT_TRUE(window.Handle());
    const std::string caption = "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/";
    for (const auto& [rule, text] :
         {std::pair<std::string, std::string>{"First", "Other"}, {"Second", "Counted"}}) {
        SetParamAt(root.Get(), "window_rules/" + rule + "/" + ClassCriterion + "window_class_name",
                   "GlzCaptionCounted");
        SetParamAt(root.Get(), "window_rules/" + rule + "/" + caption + "enabled", "yes");
        SetParamAt(root.Get(), "window_rules/" + rule + "/" + caption + "window_caption", text);
    }
    CaptionCountingWindow::messages = 0;
    EXPECT_EQ(Find(window.Handle()).rfind("\\WINDOWRULENAME=Second\\", 0), 0u);
    EXPECT_EQ(CaptionCountingWindow::messages, 0);
    // What a query knows of the rules follows every kind of edit.
    ComPtr<IBOMObjectOwner> rules = Supports<IBOMObjectOwner>(At(root.Get(), "window_rules").Get());
    rules->RenameChild(Supports<IBOMObjectSlave>(At(root.Get(), "window_rules/Second").Get()).Get(),
                       "Renamed");
    EXPECT_EQ(Find(window.Handle()).rfind("\\WINDOWRULENAME=Renamed\\", 0), 0u);
    MustCast<IBOMParam>(At(root.Get(), "window_rules/Renamed/" + caption + "window_caption"))
        ->SetValueSilent(Variant("Count"));
    EXPECT_EQ(Find(window.Handle()), "");
    ComPtr<IBOMObjectSlave> added = CreateBOMObject("WINDOWRULE", "Added");
    SetParamAt(added.Get(), ClassCriterion + "window_class_name", "GlzCaptionCounted");
    MustCast<IBOMCollection>(At(root.Get(), "window_rules"))->Add(added.Get());
    EXPECT_EQ(Find(window.Handle()).rfind("\\WINDOWRULENAME=Added\\", 0), 0u);
    MustCast<IBOMObjectSlave>(At(root.Get(), "window_rules/Added"))->ClearOwner();
    MustCast<IBOMCollection>(At(root.Get(), "window_rules"))->Delete(Variant("Added"));
    EXPECT_EQ(Find(window.Handle()), "");
}

TEST_F(Root, QueriesFromSeveralThreadsAtOnceAgree) {
    // The resident program asks from its server thread while its main thread announces windows.
    Load();
    const std::string expected = Find(target.Handle());
    // Each round starts all askers at once on a fresh root, so that their first queries meet
    // while the rules are still to be worked out. They start on an event of the system: the
    // run-time's std::latch of this tool chain can lose its wake-up and leave a waiter asleep
    // for good (it compares the count before taking the lock its notifier never takes).
    for (int round = 0; round < 20; ++round) {
        root->ClearOwner();
        root = LoadConfiguration();
        ASSERT_TRUE(root);
        const UniqueHandle start(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        std::atomic<int> waiting{0};
        std::vector<std::future<int>> askers;
        for (int t = 0; t < 4; ++t)
            askers.push_back(std::async(std::launch::async, [&] {
                ++waiting;
                WaitForSingleObject(start.Get(), INFINITE);
                int agreed = 0;
                for (int q = 0; q < 50; ++q)
                    agreed += Find(target.Handle()) == expected ? 1 : 0;
                return agreed;
            }));
        WaitUntil([&] { return waiting == 4; }, 5000);
        SetEvent(start.Get());
        for (auto& asker : askers)
            EXPECT_EQ(asker.get(), 50);
    }
}

TEST_F(Root, MissingOrBrokenFileGivesNoRoot) {
    EXPECT_FALSE(LoadConfiguration(ApplicationFolder + "missing.ini"));
    WriteFileText(ConfigurationFilePath(), "<quenda_windows><unclosed>");
    EXPECT_FALSE(LoadConfiguration());
}

TEST_F(Root, ModifiedFollowsChangesAndRenamesButNotLocalisation) {
    TQuendaWindows* windows = Load();
    EXPECT_FALSE(windows->Modified);
    root->Notify(NotifyTranslateTexts, 0, 0);
    EXPECT_FALSE(windows->Modified);
    SetParamAt(root.Get(), "window_rules/First/actions/StayOnTop/params/enabled", "yes");
    EXPECT_TRUE(windows->Modified);
    root->Notify(NotifyTranslateTexts, 0, 0);
    EXPECT_TRUE(windows->Modified);

    windows->Modified = false;
    ComPtr<IBOMObjectOwner> rules = Supports<IBOMObjectOwner>(At(root.Get(), "window_rules").Get());
    rules->RenameChild(Supports<IBOMObjectSlave>(At(root.Get(), "window_rules/Second").Get()).Get(),
                       "Renamed");
    EXPECT_TRUE(windows->Modified);
    EXPECT_TRUE(At(root.Get(), "window_rules/Renamed"));

    // A name that begins with two dots is a name like any other.
    windows->Modified = false;
    rules->RenameChild(Supports<IBOMObjectSlave>(At(root.Get(), "window_rules/Renamed").Get()).Get(), "..x");
    EXPECT_TRUE(windows->Modified);
    windows->Modified = false;
    SetParamAt(root.Get(), "window_rules/..x/actions/StayOnTop/params/enabled", "no");
    EXPECT_TRUE(windows->Modified);
}

TEST_F(Root, SaveThenLoadWritesTheSameRuleTexts) {
    TQuendaWindows* windows = Load();
    SetParamAt(root.Get(), "window_rules/First/actions/TransparentWindow/params/transparency_level", "60");
    const std::string before = Find(target.Handle());
    TCenterStandIn center("guard");
    windows->SaveConfiguration();
    EXPECT_EQ(center.Codes(), std::to_string(cmdReloadConfiguration));
    EXPECT_FALSE(windows->Modified);
    const std::string file = ReadFileText(ConfigurationFilePath());
    EXPECT_EQ(file.find("<menu"), std::string::npos);
    EXPECT_EQ(file.find("<toolbar"), std::string::npos);

    root->ClearOwner();
    Load();
    EXPECT_EQ(Find(target.Handle()), before);
    SetParamAt(root.Get(), "window_rules/First/params/enabled", "no");
    EXPECT_EQ(Find(target.Handle()).rfind("\\WINDOWRULENAME=Second\\ACTION=", 0), 0u);
}

TEST_F(Root, ControlCharactersInANameClassAndCaptionAreSavedSoThatTheFileLoadsBackTheSame) {
    std::string controls;
    for (char c = 1; c < 0x20; ++c)
        controls += c;
    controls += '\x7F';
    const std::string name = "Bad" + controls + "Name";
    const std::string windowClass = "GlzCtl\x01\x1B\x0B\x1F";
    const std::string windowCaption = "Caption\x01\x1B\x0B\tand\r\nline";
    // Windows as the finder may pick them.
    TestWindow picked{windowClass, windowCaption};
    TestWindow otherCaption{windowClass, "Caption"};
    Load();
    const std::string caption = "conditions/DefaultCondition/criterions/WINDOWCaptionCriterion/params/";
    MustCast<IBOMObjectOwner>(At(root.Get(), "window_rules"))
        ->RenameChild(MustCast<IBOMObjectSlave>(At(root.Get(), "window_rules/First")).Get(), name);
    SetParamAt(root.Get(), "window_rules/" + name + "/" + ClassCriterion + "window_class_name", windowClass);
    SetParamAt(root.Get(), "window_rules/" + name + "/" + caption + "enabled", "yes");
    SetParamAt(root.Get(), "window_rules/" + name + "/" + caption + "window_caption", windowCaption);
    const std::string before = Find(picked.Handle());
    ASSERT_EQ(before.rfind("\\WINDOWRULENAME=" + name + "\\", 0), 0u) << before;
    dynamic_cast<TQuendaWindows*>(static_cast<IBOMObject*>(root.Get()))->SaveConfiguration();
    root->ClearOwner();
    // The file is XML still: both programs load it, and it holds what was saved.
    ASSERT_TRUE(Load());
    EXPECT_EQ(ItemNames(root.Get(), "window_rules"), name + ",Second");
    EXPECT_EQ(ParamAt(At(root.Get(), "window_rules/" + name).Get(), ClassCriterion + "window_class_name"),
              windowClass);
    EXPECT_EQ(ParamAt(At(root.Get(), "window_rules/" + name).Get(), caption + "window_caption"),
              windowCaption);
    EXPECT_EQ(Find(picked.Handle()), before);
    EXPECT_EQ(Find(otherCaption.Handle()), "");
}

TEST_F(Root, UnmodifiedSaveWritesNothing) {
    TQuendaWindows* windows = Load();
    DeleteFileA(ConfigurationFilePath().c_str());
    windows->SaveConfiguration();
    EXPECT_EQ(GetFileAttributesA(ConfigurationFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Root, DocumentThatCannotBeCreatedIsAFailedSave) {
    TQuendaWindows* windows = Load();
    windows->Modified = true;
    TCenterStandIn center("guard");
    // Without COM the XML document cannot be created.
    CoUninitialize();
    EXPECT_THROW(windows->SaveConfiguration(), Exception);
    CoInitialize(nullptr);
    EXPECT_TRUE(windows->Modified);
    EXPECT_EQ(center.Codes(), "");
    EXPECT_EQ(ReadFileText(ConfigurationFilePath()), TwoRuleFile());
}

TEST_F(Root, FailedWriteRaisesAndKeepsTheChanges) {
    TQuendaWindows* windows = Load();
    windows->Modified = true;
    ApplicationFolder += "missing folder\\";
    TCenterStandIn center("guard");
    EXPECT_THROW(windows->SaveConfiguration(), Exception);
    EXPECT_TRUE(windows->Modified);
    EXPECT_EQ(center.Codes(), "");
}

// Whoever serves the configuration program's channel without GlazloCenter's name is not told, and
// the save does not wait out a send nobody answers.
TEST_F(Root, SaveWhileTheCenterDoesNotRunTellsNobody) {
    TQuendaWindows* windows = Load();
    windows->Modified = true;
    TCenterStandIn server;
    windows->SaveConfiguration();
    EXPECT_FALSE(windows->Modified);
    EXPECT_EQ(server.Codes(), "");
}

namespace {
// The message of the failed save, as the editor shows it; empty when the save went through.
std::string SaveFailure(TQuendaWindows* windows) {
    try {
        windows->SaveConfiguration();
    } catch (const Exception& failure) {
        return failure.Message();
    }
    return {};
}
} // namespace

TEST_F(Root, ReadOnlyOrHeldFileIsRefusedInTheUsersWordsAndNothingChangesOnDisk) {
    TQuendaWindows* windows = Load();
    windows->Modified = true;
    const std::string path = ConfigurationFilePath();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string message = SaveFailure(windows);
    EXPECT_NE(message.find("could not be saved to \"" + path + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("Access is denied"), std::string::npos) << message;
    EXPECT_EQ(message.find("error"), std::string::npos) << message;
    EXPECT_TRUE(windows->Modified);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
    EXPECT_EQ(ReadFileText(path), TwoRuleFile());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        const UniqueHandle held(
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        message = SaveFailure(windows);
        EXPECT_NE(message.find("Another program is using the file."), std::string::npos) << message;
        EXPECT_TRUE(windows->Modified);
    }
    EXPECT_EQ(ReadFileText(path), TwoRuleFile());
    {
        // A reader that lets go while the save is under way, as GlazloCenter reading the
        // previous save does: the save waits for it instead of being refused.
        UniqueHandle held(
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        std::thread reader([&] {
            // Let go once the save has written and closed its temporary file: it is moving it
            // over the file that is still held.
            const std::string pattern = path + ReplacementMark + "*.tmp";
            WaitUntil([&] {
                WIN32_FIND_DATAA found{};
                if (!UniqueFind(FindFirstFileA(pattern.c_str(), &found)))
                    return false;
                const std::string temporary = path.substr(0, path.find_last_of('\\') + 1) + found.cFileName;
                return static_cast<bool>(UniqueHandle(
                    CreateFileA(temporary.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
            });
            held.Reset();
        });
        message = SaveFailure(windows);
        reader.join();
        EXPECT_EQ(message, "");
        EXPECT_FALSE(windows->Modified);
        EXPECT_NE(ReadFileText(path), TwoRuleFile());
    }
}

TEST_F(Root, ConfigurationTooLargeForTheResidentProgramIsNotWritten) {
    // Hand-written rules that the resident program reads: a save gives each its whole template,
    // and the file grows past what that program reads.
    std::string text = "<quenda_windows name=\"root\"><window_rules name=\"window_rules\"><content>";
    const std::string note(42000, 'n');
    for (int i = 0; i < 1500; ++i)
        text += "<window_rule name=\"R" + std::to_string(i) + "\"><params><param name=\"note\">" + note +
                "</param></params></window_rule>";
    text += "</content></window_rules></quenda_windows>";
    ASSERT_LT(text.size(), MaxConfigurationFileSize);
    WriteFileText(ConfigurationFilePath(), text);
    TQuendaWindows* windows = Load();
    ASSERT_TRUE(windows);
    ASSERT_EQ(MustCast<IBOMCollection>(At(root.Get(), "window_rules"))->Count(), 1500);
    windows->Modified = true;
    const std::string message = SaveFailure(windows);
    EXPECT_NE(message.find("larger than the 64 MiB"), std::string::npos) << message.substr(0, 200);
    EXPECT_TRUE(windows->Modified);
    EXPECT_EQ(ReadFileText(ConfigurationFilePath()), text);
}

TEST_F(Root, RootAnswersOnlyItsPlugNames) {
    Load();
    EXPECT_TRUE(root->QueryKind("ControlCenter"));
    EXPECT_FALSE(root->QueryKind("controlcenter"));
    EXPECT_FALSE(root->QueryKind("ConfigBuilder"));
    EXPECT_TRUE(At(At(root.Get(), "window_rules/First").Get(), "/"));
    EXPECT_FALSE(At(root.Get(), "menu"));
}

TEST_F(Root, DwordLanguageStartsWithBuiltInLanguage) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Quenda Tools\\Glazlo", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExA(key, "Language", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    EXPECT_NO_THROW(InitLanguageFromRegistry());
    RegDeleteValueA(key, "Language");
    RegCloseKey(key);
    EXPECT_EQ(Translate("Action_TRANSPARENTWINDOWACTION_Caption", "untranslated"), "Make transparent");
    EXPECT_EQ(Translate("AppCBTitle", "%appname%"), "Glazlo");
}

TEST_F(Root, LocalisedCaptionLeavesConfigurationUnmodified) {
    InitLanguageFromRegistry();
    TQuendaWindows* windows = Load();
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/First/actions/TransparentWindow/params/caption"),
              "TransparentWindow");
    root->Notify(NotifyTranslateTexts, 0, 0);
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/First/actions/TransparentWindow/params/caption"),
              "Make transparent");
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/First/actions/GhostWindow/params/caption"), "GhostWindow");
    EXPECT_FALSE(windows->Modified);
}
