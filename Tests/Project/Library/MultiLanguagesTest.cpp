#include "AppSpecificConsts.h"
#include "Handles.h"
#include "MultiLanguages.h"
#include "ResourceFiles.h"
#include "XMLStorage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> BuiltInKeys = {
    "AppCBTitle",
    "AppCCTitle",
    "AppRootNodeCaption",
    "AW_DeleteWindowRule",
    "AW_SaveConfig",
    "AW_SaveFailed",
    "AW_SaveAccessDenied",
    "AW_SaveInUse",
    "AW_SaveDiskFull",
    "AW_SaveTooLarge",
    "AW_SaveSystemError",
    "AW_SaveKept",
    "AW_RulesNotKept",
    "AW_RulesNotKeptMore",
    "AWDP_Memo",
    "CDP_Caption",
    "CDP_Description",
    "CDP_FindWindowHint",
    "WCCDP_Caption",
    "WCCDP_Hint",
    "WCCDP_ExactMatch",
    "WCCDP_ExactMatchHint",
    "WCCDP_SubstringMatch",
    "WCCDP_SubstringMatchHint",
    "WClCDP_Caption",
    "WClCDP_Hint",
    "WRDP_Caption",
    "WRDP_NameHint",
    "WRDP_EnabledHint",
    "WRDP_NameEmpty",
    "WRDP_NameUnusable",
    "WRDP_NameTaken",
    "WRDP_NameCaseOnly",
    "Command_AppFilesMenu_Caption",
    "Command_AppFilesMenu_Hint",
    "Command_AppSave_Caption",
    "Command_AppSave_Hint",
    "Command_AppExit_Caption",
    "Command_AppExit_Hint",
    "Command_HelpMenu_Caption",
    "Command_HelpMenu_Hint",
    "Command_HelpAbout_Caption",
    "Command_HelpAbout_Hint",
    "Command_HelpContent_Caption",
    "Command_HelpContent_Hint",
    "Command_WindowRuleMenu_Caption",
    "Command_WindowRuleMenu_Hint",
    "Command_WindowRuleAdd_Caption",
    "Command_WindowRuleAdd_Hint",
    "Command_WindowRuleDelete_Caption",
    "Command_WindowRuleDelete_Hint",
    "Command_ToolsMenu_Caption",
    "Command_ToolsMenu_Hint",
    "Command_RunCommandCenter_Caption",
    "Command_RunCommandCenter_Hint",
    "Command_StopCommandCenter_Caption",
    "Command_StopCommandCenter_Hint",
    "Command_Options_Caption",
    "Command_Options_Hint",
    "AppCCMenu_Close",
    "AppCCMenu_Config",
    "AppCCMenu_HelpContent",
    "Error_COMInitialization",
    "Error_XMLDOMDocumentCreate",
    "Error_ConfigLoad",
    "AboutForm_Caption",
    "AboutForm_CloseCommand",
    "AboutForm_Version",
    "AboutForm_Copyright",
    "AboutForm_AllRights",
    "OptionsForm_Caption",
    "OptionsForm_OKCommand",
    "OptionsForm_CancelCommand",
    "GOF_Caption",
    "GOF_LoadAtStartup",
    "GOF_EnableTrayIcon",
    "Action_STAYONTOPACTION_Caption",
    "Action_MINTOTRAYACTION_Caption",
    "Action_MINTOEDGEACTION_Caption",
    "Action_CLOSEWINDOWACTION_Caption",
    "Action_RUNMODEACTION_Caption",
    "Action_SAVESIZEPOSACTION_Caption",
    "Action_TRANSPARENTWINDOWACTION_Caption",
    "Action_WINDOWROLLUPACTION_Caption",
    "RMADP_RunModes",
    "RMADP_RunAs",
    "CBTDP_Caption",
    "MTADP_PermanentTrayIconCaption",
    "MTADP_PermanentTrayIconHint",
    "STADP_SaveCurrentOperationCaption",
    "STADP_SaveCurrentOperationHint",
    "MMTDP_Caption",
    "MMTDP_MinToTrayOption",
    "MMTDP_MinToEdgeOption",
    "MMTDP_DisableOption",
    "MEADP_UseLargeIconCaption",
    "MEADP_UseLargeIconHint",
    "TWADP_Caption",
    "TWADP_TransparencyLevel",
    "TWADP_InactiveTransparency",
    "TWADP_InactiveTransparencyHint",
    "TWADP_ContentCaption",
    "TWADP_Enabled",
    "TWADP_StayOnTop",
    "TWADP_StayOnTopHint",
    "TWADP_GhostWindow",
    "TWADP_GhostWindowHint",
    "TWADP_ToggleTransparency",
    "TWADP_ToggleTransparencyHint",
    "ASDP_Caption",
    "WRACDP_Caption",
    "WRACDP_SelectTypeInfo",
    "WRACDP_ManualControl",
    "WRACDP_ManualInfo",
    "WRACDP_AutomaticControl",
    "WRACDP_AutomaticInfo",
    "WRACDP_DelayBeforeRollup",
    "WRACDP_DelayBeforeUnroll",
    "WRACDP_TimeUnit",
    "WRACDP_MouseHover",
    "WRACDP_Enabled",
    "MA_ContextMenuCaptions",
    "mid_GOF_Caption",
    "AW_CenterNoAnswer",
};

// Language files are read through the XML engine, a COM object.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { com_ = InitializeCom(); }
    void TearDown() override { com_.Reset(); }

private:
    ComScope com_;
};
const auto* const Com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string LanguageFile(const std::string& attributes, const std::string& body) {
    return "<?xml version=\"1.0\"?>\r\n<language " + attributes + ">\r\n" + body + "</language>\r\n";
}

// A private temporary folder (TMP) and a program folder with a Languages folder below it.
class LanguagesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        root_ = fs::path(base) / ("glzlng" + std::to_string(GetCurrentProcessId()) + "_" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        temp_ = root_ / "tmp";
        languages_ = root_ / "app" / "Languages";
        fs::create_directories(temp_);
        fs::create_directories(languages_);
        char oldTemp[MAX_PATH] = {};
        GetEnvironmentVariableA("TMP", oldTemp, MAX_PATH);
        oldTemp_ = oldTemp;
        SetEnvironmentVariableA("TMP", (temp_.string() + "\\").c_str());
        oldFolder_ = ApplicationFolder;
        ApplicationFolder = (root_ / "app").string() + "\\";
    }
    void TearDown() override {
        ApplicationFolder = oldFolder_;
        SetEnvironmentVariableA("TMP", oldTemp_.c_str());
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::size_t TempEntries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(temp_), fs::directory_iterator()));
    }

    fs::path root_, temp_, languages_;
    std::string oldTemp_, oldFolder_;
};

class ScannedLanguages : public LanguagesFixture {
protected:
    void SetUp() override {
        LanguagesFixture::SetUp();
        WriteFile(languages_ / "de.lng",
                  LanguageFile("id=\"de\" name=\"German\" original_name=\"Deutsch\"",
                               "<strings>\r\n"
                               "<string name=\"Greeting\">Hallo</string>\r\n"
                               "<string name=\"greeting\">Second</string>\r\n"
                               "<string>No name</string>\r\n"
                               "<string name=\"\">Empty name</string>\r\n"
                               "<!-- a comment -->\r\n"
                               "<other name=\"Other\">x</other>\r\n"
                               "<string name=\"Blank\"></string>\r\n"
                               "<string name=\"Lines\">one\r\ntwo</string>\r\n"
                               "</strings>\r\n"
                               "<strings><string name=\"Later\">ignored</string></strings>\r\n"));
        WriteFile(languages_ / "fr.lng", LanguageFile("id=\"fr\" name=\"French\"", "<strings/>\r\n"));
        WriteFile(languages_ / "noname.lng",
                  LanguageFile("id=\"xx\" name=\"\"", "<strings><string name=\"A\">a</string></strings>"));
        WriteFile(languages_ / "noid.lng", LanguageFile("name=\"Nobody\"", "<strings/>"));
        WriteFile(languages_ / "nostrings.lng", LanguageFile("id=\"ns\" name=\"No Strings\"", ""));
        WriteFile(languages_ / "broken.lng", "<language id=\"br\" name=\"Broken\"><strings>");
        WriteFile(languages_ / "notes.txt", LanguageFile("id=\"txt\" name=\"Text\"", "<strings/>"));
        ml_.ScanLanguages();
    }

    std::set<std::string> ListedIds() const {
        std::set<std::string> ids;
        for (int i = 0; i < ml_.Languages.Count(); ++i)
            ids.insert(ml_.Languages.Get(i)->Id);
        return ids;
    }

    TMultiLanguages ml_;
};

TEST_F(ScannedLanguages, ListsOnlyLngFilesWithIdAndName) {
    EXPECT_EQ(ListedIds(), (std::set<std::string>{"de", "fr", "ns"}));
    EXPECT_EQ(ml_.Languages.Get("DE")->FileName, ApplicationFolder + "Languages\\de.lng");
}

TEST_F(ScannedLanguages, DisplayNameJoinsOriginalNameOnlyWhenPresent) {
    EXPECT_EQ(ml_.Languages.Get("de")->GetDisplayName(), "German - Deutsch");
    EXPECT_EQ(ml_.Languages.Get("fr")->GetDisplayName(), "French");
}

TEST_F(ScannedLanguages, SecondScanAndSameIdKeepTheFirstFile) {
    WriteFile(languages_ / "de2.lng", LanguageFile("id=\"DE\" name=\"Other German\"", "<strings/>"));
    ml_.ScanLanguages();
    EXPECT_EQ(ml_.Languages.Count(), 3);
    EXPECT_EQ(ml_.Languages.Get("de")->Name, "German");
}

TEST_F(ScannedLanguages, LoadedFileAnswersByKeyInAnyCaseFirstEntryWinning) {
    ASSERT_TRUE(ml_.LoadLanguage("De"));
    EXPECT_EQ(ml_.Translate("GREETING", "d"), "Hallo");
    EXPECT_EQ(ml_.Translate("Blank", "d"), "");
    EXPECT_EQ(ml_.Translate("Lines", "d"), "one\ntwo");
    EXPECT_EQ(ml_.Translate("Other", "d"), "d");
    EXPECT_EQ(ml_.Translate("Later", "d"), "d");
    EXPECT_EQ(ml_.Strings.Count(), 3);
}

TEST_F(ScannedLanguages, LoadedFileDoesNotFallBackPerKey) {
    ASSERT_TRUE(ml_.LoadLanguage("de"));
    EXPECT_EQ(ml_.Translate("AppRootNodeCaption", "Root"), "Root");
}

TEST_F(ScannedLanguages, EmptyStringsElementLoadsWithDefaultsOnly) {
    ASSERT_TRUE(ml_.LoadLanguage("fr"));
    EXPECT_EQ(ml_.Strings.Count(), 0);
    EXPECT_EQ(ml_.Translate("AppRootNodeCaption", "Root"), "Root");
}

TEST_F(ScannedLanguages, UnloadableChoicesFallBackToTheBuiltInLanguage) {
    fs::remove(languages_ / "fr.lng");
    for (const std::string id : {"", "zz", "xx", "ns", "fr"}) {
        ASSERT_TRUE(ml_.LoadLanguage(id)) << id;
        EXPECT_EQ(ml_.Translate("AppRootNodeCaption", "Root"), "Window Rules") << id;
        EXPECT_EQ(ml_.Strings.Count(), static_cast<int>(BuiltInKeys.size())) << id;
    }
}

// A language file's texts are cut to what the controls that show them hold, never inside a
// character: a help text to MaxHelpTextCharacters, every other text to MaxCaptionCharacters.
TEST_F(LanguagesFixture, TooLongTextsAreCutToWhatTheirControlsHold) {
    const std::string huge = "Start " + std::string(40000, 'x');
    WriteFile(languages_ / "long.lng",
              LanguageFile("id=\"long\" name=\"" + huge + "\"",
                           "<strings><string name=\"Caption\">" + huge + "</string><string name=\"Help\">" +
                               huge + "</string><string name=\"Short\">%appname%</string></strings>"));
    TMultiLanguages ml;
    ml.SetMacro("appname", "Glazlo");
    ml.ScanLanguages();
    ASSERT_TRUE(ml.LoadLanguage("long"));
    EXPECT_EQ(huge.substr(0, MaxCaptionCharacters), ml.Translate("Caption", ""));
    EXPECT_EQ(huge.substr(0, MaxHelpTextCharacters), ml.Translate("Help", "", TTextKind::HelpText));
    EXPECT_EQ("Glazlo", ml.Translate("Short", ""));
    EXPECT_EQ(huge.substr(0, MaxCaptionCharacters), ml.Languages.Get("long")->GetDisplayName());

    // Characters, not bytes: a text of two-byte characters keeps as many characters, and the
    // one that would be split goes whole.
    const std::string twoByte = "\xC3\xA9";
    std::string accents;
    for (std::size_t i = 0; i < MaxCaptionCharacters + 1; ++i)
        accents += twoByte;
    ml.Strings.Add(accents, "Accents");
    EXPECT_EQ(accents.substr(0, 2 * MaxCaptionCharacters), ml.Translate("Accents", ""));
    ml.Strings.Add(std::string(MaxCaptionCharacters - 1, 'a') + "\xE4\xB8\xAD" + "b", "Wide");
    EXPECT_EQ(std::string(MaxCaptionCharacters - 1, 'a') + "\xE4\xB8\xAD", ml.Translate("Wide", ""));
}

TEST_F(LanguagesFixture, BuiltInLanguageLeavesNoTemporaryFile) {
    TMultiLanguages ml;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ml.LoadLanguage(""));
    EXPECT_EQ(TempEntries(), 0u);
}

TEST_F(LanguagesFixture, NoLanguagesFolderListsNothingAndLoadsBuiltIn) {
    fs::remove_all(languages_);
    TMultiLanguages ml;
    ml.ScanLanguages();
    EXPECT_EQ(ml.Languages.Count(), 0);
    EXPECT_TRUE(ml.LoadLanguage("de"));
    EXPECT_EQ(ml.Translate("AppCCMenu_Close", ""), "Close");
}

TEST_F(LanguagesFixture, BuiltInLanguageCannotBeWrittenLeavesTableEmpty) {
    SetEnvironmentVariableA("TMP", (root_ / "missing" / "").string().c_str());
    TMultiLanguages ml;
    EXPECT_FALSE(ml.LoadLanguage(""));
    EXPECT_EQ(ml.Strings.Count(), 0);
    EXPECT_EQ(ml.Translate("AppRootNodeCaption", "Root"), "Root");
}

TEST_F(LanguagesFixture, BuiltInResourceHoldsEveryEntryInOrder) {
    const std::string file = MakeTempFileName("~ln");
    ASSERT_TRUE(SaveResourceToFile(GetModuleHandleA(nullptr), "DEFAULTLNG", RT_RCDATA, file));
    const auto root = OpenXMLFile(file);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->ReadAttr("id", ""), "en");
    EXPECT_EQ(root->ReadAttr("name", ""), "English");
    EXPECT_EQ(root->ReadAttr("version", ""), "OXB 1.3");
    const auto strings = root->Child("strings", 0);
    ASSERT_EQ(strings->ChildCount("string"), static_cast<int>(BuiltInKeys.size()));
    for (int i = 0; i < static_cast<int>(BuiltInKeys.size()); ++i)
        EXPECT_EQ(strings->Child("string", i)->ReadAttr("name", ""),
                  BuiltInKeys[static_cast<std::size_t>(i)]);
    DeleteFileA(file.c_str());
}

TEST_F(LanguagesFixture, BuiltInLanguageHoldsTheFixedTexts) {
    TMultiLanguages ml;
    ASSERT_TRUE(ml.LoadLanguage(""));
    const auto text = [&](const char* key) { return ml.Translate(key, "<default>"); };
    EXPECT_EQ(text("AppCCTitle"), "%appname%");
    EXPECT_EQ(text("AW_DeleteWindowRule"), "Are you sure you want to delete the Window Rule");
    EXPECT_EQ(text("AW_SaveConfig"), "Save changes?");
    EXPECT_EQ(text("CDP_Caption"), "Target window");
    EXPECT_EQ(text("WRDP_EnabledHint"), "Enable\\Disable Window Rule");
    EXPECT_EQ(text("Command_AppFilesMenu_Caption"), "&File");
    EXPECT_EQ(text("Command_HelpMenu_Caption"), "&Help");
    for (const char* key : {"Command_AppFilesMenu_Hint", "Command_HelpMenu_Hint", "Command_HelpAbout_Hint",
                            "Command_WindowRuleMenu_Hint"})
        EXPECT_EQ(text(key), "") << key;
    EXPECT_EQ(text("Command_RunCommandCenter_Hint"), "Launch %appname%");
    EXPECT_EQ(text("Command_StopCommandCenter_Caption"), "Stop %appname%");
    EXPECT_EQ(text("Command_ToolsMenu_Caption"), "Actions");
    EXPECT_EQ(text("AppCCMenu_Config"), "Configure...");
    EXPECT_EQ(text("AppCCMenu_HelpContent"), "Help");
    EXPECT_EQ(text("Error_COMInitialization"), "COM initialization error.");
    EXPECT_EQ(text("Error_ConfigLoad"), "Configuration file load error");
    EXPECT_EQ(text("GOF_Caption"), "General");
    EXPECT_EQ(text("Action_STAYONTOPACTION_Caption"), "Stay on Top");
    EXPECT_EQ(text("Action_TRANSPARENTWINDOWACTION_Caption"), "Make transparent");
    EXPECT_EQ(text("TWADP_InactiveTransparencyHint"),
              "If window is active it is opaque.\nIf window is not active it is transparent.");
    EXPECT_EQ(text("RMADP_RunModes"),
              "normal=Normal Window;minimize=Minimized Window;maximize=Maximized Window");
    EXPECT_EQ(text("MA_ContextMenuCaptions"), "CloseWindow=Close Window;RestoreWindow=Restore Window");
    EXPECT_NE(text("AWDP_Memo").find("\n\n"), std::string::npos);
}

// The text of a run of adjacent C++ string literals.
std::string LiteralText(const std::string& literals) {
    std::string text;
    bool inside = false;
    for (std::size_t i = 0; i < literals.size(); ++i) {
        const char c = literals[i];
        if (c == '"') {
            inside = !inside;
        } else if (inside && c == '\\' && i + 1 < literals.size()) {
            const char escaped = literals[++i];
            text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        } else if (inside) {
            text += c;
        }
    }
    return text;
}

// Reads the sources of the programs: every key that code looks up, and every text it falls
// back on, must be the built-in language's, or a language file that lacks a key shows
// another English than the program without one.
TEST_F(LanguagesFixture, EveryKeyTheProgramsLookUpIsBuiltInWithTheTextTheyFallBackOn) {
    TMultiLanguages ml;
    ASSERT_TRUE(ml.LoadLanguage(""));
    const std::string absent = "\x01<absent>";
    const auto builtIn = [&](const std::string& key) { return ml.Strings.Get(key, absent); };
    // Keys are a prefix of their form or panel, "_" and a name: literals of those prefixes are keys.
    std::set<std::string> prefixes;
    const std::string file = MakeTempFileName("~ln");
    ASSERT_TRUE(SaveResourceToFile(GetModuleHandleA(nullptr), "DEFAULTLNG", RT_RCDATA, file));
    const auto strings = OpenXMLFile(file)->Child("strings", 0);
    for (int i = 0; i < strings->ChildCount("string"); ++i) {
        const std::string key = strings->Child("string", i)->ReadAttr("name", "");
        if (const auto bar = key.find('_'); bar != std::string::npos)
            prefixes.insert(key.substr(0, bar + 1));
    }
    DeleteFileA(file.c_str());

    const std::regex withText(R"re(Translate\(\s*"([^"]*)"\s*,\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\))re");
    const std::regex anyCall(R"re(Translate\(\s*"([^"]*)"\s*,)re");
    const std::regex keyLike(R"re("([A-Za-z]+_[A-Za-z0-9_]+)")re");
    int calls = 0;
    for (const auto& entry : fs::recursive_directory_iterator(GLZ_SOURCE_FOLDER)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream read;
        read << in.rdbuf();
        const std::string source = read.str();
        const std::string where = entry.path().filename().string();
        for (std::sregex_iterator it(source.begin(), source.end(), withText), end; it != end; ++it) {
            EXPECT_EQ(LiteralText((*it)[2]), builtIn((*it)[1])) << where << ": " << (*it)[1];
            ++calls;
        }
        for (std::sregex_iterator it(source.begin(), source.end(), anyCall), end; it != end; ++it)
            EXPECT_NE(absent, builtIn((*it)[1])) << where << ": " << (*it)[1];
        for (std::sregex_iterator it(source.begin(), source.end(), keyLike), end; it != end; ++it) {
            const std::string key = (*it)[1];
            if (prefixes.count(key.substr(0, key.find('_') + 1)) != 0) {
                EXPECT_NE(absent, builtIn(key)) << where << ": " << key;
            }
        }
    }
    // The scan found the sources: both programs pass texts of their own.
    EXPECT_GT(calls, 20);
}

TEST(Macros, ProductNameMarkerIsReplacedOnlyOnceSet) {
    TMultiLanguages ml;
    EXPECT_EQ(ml.Translate("AppCBTitle", "%appname%"), "%appname%");
    ml.SetMacro("appname", "Glazlo");
    EXPECT_EQ(ml.Translate("AppCBTitle", "%appname%"), "Glazlo");
    EXPECT_EQ(ml.ApplyMacros("Stop %APPNAME% now, 100% %unknown%"), "Stop Glazlo now, 100% %unknown%");
}

TEST(Macros, RedefinitionInOtherCaseReplacesAndMovesToTheEnd) {
    TMultiLanguages ml;
    ml.SetMacro("a", "1");
    ml.SetMacro("b", "2");
    ml.SetMacro("A", "3");
    EXPECT_EQ(ml.MacroNames, (std::vector<std::string>{"b", "A"}));
    EXPECT_EQ(ml.ApplyMacros("%a%%b%"), "32");
}

TEST(Macros, MarkerInAValueExpandsOnlyForALaterMacro) {
    TMultiLanguages ml;
    ml.SetMacro("early", "E");
    ml.SetMacro("outer", "[%early%|%late%]");
    ml.SetMacro("late", "L");
    EXPECT_EQ(ml.ApplyMacros("%outer%"), "[%early%|L]");
}

TEST(Macros, InsertedTextIsNotScannedAgain) {
    TMultiLanguages ml;
    ml.SetMacro("x", "%x%%x%");
    EXPECT_EQ(ml.ApplyMacros("%x%"), "%x%%x%");
}

TEST(GlobalTranslation, FreeOperationsForwardToTheProgramsObject) {
    ASSERT_NE(MultiLanguages(), nullptr);
    ASSERT_TRUE(LoadLanguage(""));
    SetMacro("appname", "Glazlo");
    EXPECT_EQ(Translate("Command_StopCommandCenter_Caption", ""), "Stop Glazlo");
    EXPECT_EQ(Translate("appccmenu_close", "x"), "Close");
    EXPECT_EQ(Translate("NoSuchKey", "%appname%!"), "Glazlo!");
    EXPECT_EQ(GetLanguages(), &MultiLanguages()->Languages);
}

} // namespace
