#include "BOMRoutines.h"
#include "BOMUICommands.h"
#include "ConfigBuilderTestSupport.h"
#include "Project/Model/ModelTestSupport.h"
#include "RootUIController.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureConfigClasses();
        root = CreateBOMObject("QUENNAWINDOWS", "");
        ASSERT_TRUE(root);
        root->SetOwner(nullptr);
    }
    void TearDown() override {
        if (root)
            root->ClearOwner();
    }

    TBOMUICommand& Command(const std::string& path) {
        auto* command = dynamic_cast<TBOMUICommand*>(root->ResolvePath(path).Get());
        if (command == nullptr)
            throw std::runtime_error("no command " + path);
        return *command;
    }

    ComPtr<IBOMObjectSlave> root;
};

TEST_F(Commands, MenuAndToolBarComeFromTheBuiltInTexts) {
    EXPECT_EQ("AppFilesMenu,WindowRuleMenu,ToolsMenu,HelpMenu", ItemNames(root.Get(), "menu"));
    EXPECT_EQ("AppSave,Separator1,AppExit", ItemNames(root.Get(), "menu/AppFilesMenu/commands"));
    EXPECT_EQ("WindowRuleAdd,WindowRuleDelete", ItemNames(root.Get(), "menu/WindowRuleMenu/commands"));
    EXPECT_EQ("RunCommandCenter,StopCommandCenter,Separator1,Options",
              ItemNames(root.Get(), "menu/ToolsMenu/commands"));
    EXPECT_EQ("HelpContent,Separator1,HelpAbout", ItemNames(root.Get(), "menu/HelpMenu/commands"));
    EXPECT_EQ("AppSave,Separator1,WindowRuleAdd,WindowRuleDelete", ItemNames(root.Get(), "toolbar"));

    EXPECT_EQ(TCommandKind::Group, Command("menu/AppFilesMenu").CommandKind());
    EXPECT_EQ(TCommandKind::Separator, Command("menu/AppFilesMenu/commands/Separator1").CommandKind());
    TBOMUICommand& save = Command("menu/AppFilesMenu/commands/AppSave");
    EXPECT_EQ(TCommandKind::Item, save.CommandKind());
    EXPECT_EQ("AppSave", save.GetAction().Name);
    EXPECT_EQ(0, save.GetAction().ImageIndex);
    EXPECT_EQ(TShortCut('S' | scCtrl), save.GetAction().ShortCut);
    EXPECT_EQ(4, Command("menu/ToolsMenu/commands/RunCommandCenter").GetAction().ImageIndex);
    EXPECT_EQ(0, Command("toolbar/AppSave").GetAction().ShortCut);
    EXPECT_EQ(TShortCut('A' | scCtrl), Command("toolbar/WindowRuleAdd").GetAction().ShortCut);
}

TEST_F(Commands, AnyOtherTypeIsAnItem) {
    TBOMUICommand& exit = Command("menu/AppFilesMenu/commands/AppExit");
    SetParamAt(root.Get(), "menu/AppFilesMenu/commands/AppExit/params/type", "frobnicate");
    EXPECT_EQ(TCommandKind::Item, exit.CommandKind());
}

TEST_F(Commands, LocalizingTakesTheLanguageTable) {
    root->Notify(NotifyTranslateTexts, 0, 0);
    // The built-in language holds over the descriptions: "Window Rule", not "&Rule".
    const std::vector<std::array<std::string, 3>> table = {
        {"menu/AppFilesMenu", "&File", ""},
        {"menu/AppFilesMenu/commands/AppSave", "Save", "Save changes"},
        {"menu/AppFilesMenu/commands/AppExit", "Exit", "Exit"},
        {"menu/WindowRuleMenu", "Window Rule", ""},
        {"menu/WindowRuleMenu/commands/WindowRuleAdd", "Add rule", "Add new rule"},
        {"menu/WindowRuleMenu/commands/WindowRuleDelete", "Delete rule", "Delete rule"},
        {"menu/ToolsMenu", "Actions", "Actions"},
        {"menu/ToolsMenu/commands/RunCommandCenter", "Launch Glazlo", "Launch Glazlo"},
        {"menu/ToolsMenu/commands/StopCommandCenter", "Stop Glazlo", "Stop Glazlo"},
        {"menu/ToolsMenu/commands/Options", "Options...", "Options..."},
        {"menu/HelpMenu", "&Help", ""},
        {"menu/HelpMenu/commands/HelpContent", "Contents", "Contents"},
        {"menu/HelpMenu/commands/HelpAbout", "About...", ""},
        {"toolbar/AppSave", "Save", "Save changes"},
        {"toolbar/WindowRuleAdd", "Add rule", "Add new rule"},
        {"toolbar/WindowRuleDelete", "Delete rule", "Delete rule"},
    };
    for (const auto& [path, caption, hint] : table) {
        EXPECT_EQ(caption, Command(path).GetAction().Caption) << path;
        EXPECT_EQ(hint, Command(path).GetAction().Hint) << path;
    }
    // A key the table lacks keeps the present text.
    EXPECT_EQ("", Command("toolbar/Separator1").GetAction().Caption);
    EXPECT_EQ("Window Rule", ParamAt(root.Get(), "menu/WindowRuleMenu/params/caption"));
}

TEST_F(Commands, ShortCutTexts) {
    EXPECT_EQ(TShortCut('S' | scCtrl), TextToShortCut("Ctrl+S"));
    EXPECT_EQ(TShortCut(VK_F1), TextToShortCut("F1"));
    EXPECT_EQ(TShortCut(VK_F1 | scShift | scCtrl), TextToShortCut("Shift+Ctrl+F1"));
    EXPECT_EQ(TShortCut(VK_DELETE), TextToShortCut("Del"));
    EXPECT_EQ(0, TextToShortCut(""));
    EXPECT_EQ(0, TextToShortCut("Hyper+S"));
    EXPECT_EQ(0, TextToShortCut("Ctrl+"));
}

TEST_F(Commands, ShortCutIsFoundThroughGroupsMenuFirst) {
    std::vector<std::string> ran;
    auto record = [&ran](const std::string& where) {
        return [&ran, where](TCommandAction& action) { ran.push_back(where + ":" + action.Name); };
    };
    Command("menu/WindowRuleMenu/commands/WindowRuleAdd").GetAction().OnExecute = record("menu");
    Command("toolbar/WindowRuleAdd").GetAction().OnExecute = record("toolbar");
    Command("menu/HelpMenu/commands/HelpContent").GetAction().OnExecute = record("menu");
    Command("menu/HelpMenu").GetAction().OnExecute = record("group");
    for (const char* path : {"menu/WindowRuleMenu/commands/WindowRuleAdd", "toolbar/WindowRuleAdd",
                             "menu/HelpMenu/commands/HelpContent", "menu/HelpMenu"})
        Command(path).GetAction().OnUpdate = nullptr;

    auto* controller =
        dynamic_cast<TRootUIController*>(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    ASSERT_NE(nullptr, controller);
    EXPECT_TRUE(controller->HandleShortCut(TShortCut('A' | scCtrl)));
    EXPECT_TRUE(controller->HandleShortCut(TShortCut(VK_F1)));
    EXPECT_FALSE(controller->HandleShortCut(TShortCut('Q' | scCtrl)));
    EXPECT_EQ((std::vector<std::string>{"menu:WindowRuleAdd", "menu:HelpContent"}), ran);
}

TEST_F(Commands, OnlyTheMisspelledPlugAnswers) {
    EXPECT_TRUE(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")));
    EXPECT_FALSE(root->QueryKind("ConfigBuilder"));
}

} // namespace
