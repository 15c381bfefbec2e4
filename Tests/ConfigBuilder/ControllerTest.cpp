#include "AppSpecificConsts.h"
#include "BOMRoutines.h"
#include "BOMUICommands.h"
#include "ChannelSquatter.h"
#include "MultiLanguages.h"
#include "CenterStandIn.h"
#include "ConfigBuilderTestSupport.h"
#include "ProcessesCommunication.h"
#include "Platform/TestWindow.h"
#include "Project/Model/ModelTestSupport.h"
#include "RootUIController.h"
#include "ShellOpen.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::string RuleFile(std::initializer_list<const char*> names) {
    std::string text = R"(<?xml version="1.0"?><quenda_windows name="Glazlo"><window_rules><content>)";
    for (const char* name : names)
        text += std::string(R"(<window_rule name=")") + name + R"(" type="WINDOWRULE"/>)";
    return text + "</content></window_rules></quenda_windows>";
}

// A configuration loaded from a file of its own and bound to a tree in a test window.
class Controller : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureConfigClasses();
        savedFolder_ = ApplicationFolder;
        ApplicationFolder = NewTestFolder("controller");
        WriteFileText(ApplicationFolder + "Glazlo.ini", RuleFile({"Window Rule 1", "window rule 3"}));
        rootSlave = LoadConfiguration(ApplicationFolder + "Glazlo.ini");
        ASSERT_TRUE(rootSlave);
        root = dynamic_cast<TQuendaWindows*>(rootSlave.Get());
        controller = dynamic_cast<TRootUIController*>(
            Supports<IConfigBuilder>(rootSlave->QueryKind("CongifBuilder")).Get());
        ASSERT_NE(nullptr, controller);
        tree = std::make_unique<TTreeView>(nullptr, host.Handle());
        // No detail area: these tests need no pages, and each page costs its controls.
        controller->BindTree(*tree, nullptr, host.Handle());
    }
    void TearDown() override {
        if (controller != nullptr)
            controller->UnbindTree();
        tree.reset();
        if (rootSlave)
            rootSlave->ClearOwner();
        ApplicationFolder = savedFolder_;
    }

    bool Enabled(const std::string& name) {
        TCommandAction action;
        action.Name = name;
        controller->OnCommandUpdate(action);
        return action.Enabled;
    }
    void Execute(const std::string& name) {
        TCommandAction action;
        action.Name = name;
        controller->OnCommandExecute(action);
    }
    TTreeNode RootNode() { return controller->TreeUI()->TreeNode(root->TreeNode); }
    TTreeNode RuleNode(int index) {
        TTreeNode node = RootNode().GetFirstChild();
        for (int i = 0; i < index && node; ++i)
            node = node.GetNextSibling();
        return node;
    }

    TTestWindow host;
    std::unique_ptr<TTreeView> tree;
    ComPtr<IBOMObjectSlave> rootSlave;
    TQuendaWindows* root = nullptr;
    TRootUIController* controller = nullptr;

private:
    std::string savedFolder_;
};

TEST_F(Controller, TreeShowsTheRootAndItsRules) {
    ASSERT_TRUE(root->TreeNode);
    EXPECT_EQ("Window Rules", RootNode().Text());
    EXPECT_EQ("Window Rule 1", RuleNode(0).Text());
    EXPECT_EQ("window rule 3", RuleNode(1).Text());
    EXPECT_FALSE(root->Modified);
    // Translating the texts anew, into texts that do change, is no change of the configuration.
    SetMacro("appname", "Glazlo Again");
    rootSlave->Notify(NotifyTranslateTexts, 0, 0);
    SetMacro("appname", "Glazlo");
    EXPECT_FALSE(root->Modified);
    // A right click on a rule selects it.
    RECT rect{};
    ASSERT_TRUE(TreeView_GetItemRect(tree->Handle(), RuleNode(1).ItemId(), &rect, TRUE));
    tree->OnMouseUp(TMouseButton::Right, {}, rect.left + 2, (rect.top + rect.bottom) / 2);
    EXPECT_EQ(RuleNode(1), tree->Selected());
}

TEST_F(Controller, AddTakesTheFirstFreeNumberAndSelectsTheRule) {
    EXPECT_FALSE(Enabled("AppSave"));
    Execute("WindowRuleAdd");
    EXPECT_EQ("Window Rule 1,window rule 3,Window Rule 2", ItemNames(rootSlave.Get(), "window_rules"));
    EXPECT_EQ("Window Rule 2", tree->Selected().Text());
    EXPECT_TRUE(root->Modified);
    EXPECT_TRUE(Enabled("AppSave"));
    // The new rule comes from the template.
    EXPECT_EQ("yes", ParamAt(rootSlave.Get(),
                             "window_rules/Window Rule 2/actions/TransparentWindow/params/enabled"));
    Execute("WindowRuleAdd");
    EXPECT_EQ("Window Rule 4", tree->Selected().Text());
}

TEST_F(Controller, DeleteIsOfferedOnlyForASelectedRule) {
    RootNode().Select();
    EXPECT_FALSE(Enabled("WindowRuleDelete"));
    TTreeNode rule = RuleNode(0);
    rule.Select();
    EXPECT_TRUE(Enabled("WindowRuleDelete"));
    // The rule's parts below it: conditions, actions.
    const TUINode ruleNode = controller->TreeUI()->Node(rule);
    Supports<IUIList>(NodeElement(ruleNode))->FillTreeNode(ruleNode);
    TTreeNode conditions = rule.GetFirstChild();
    ASSERT_TRUE(conditions);
    conditions.Select();
    EXPECT_FALSE(Enabled("WindowRuleDelete"));
    conditions.GetNextSibling().Select();
    EXPECT_FALSE(Enabled("WindowRuleDelete"));
    // Run by its short-cut it asks nothing and deletes nothing.
    TMessageBoxAnswerer answerer(IDYES);
    controller->HandleShortCut(TShortCut('D' | scCtrl));
    EXPECT_TRUE(answerer.Texts().empty());
    EXPECT_EQ("Window Rule 1,window rule 3", ItemNames(rootSlave.Get(), "window_rules"));
}

TEST_F(Controller, DeleteAsksAndSelectsTheNodeAbove) {
    RuleNode(1).Select();
    {
        TMessageBoxAnswerer answerer(IDNO);
        Execute("WindowRuleDelete");
        ASSERT_EQ(1u, answerer.Texts().size());
        EXPECT_EQ("Are you sure you want to delete the Window Rule \"window rule 3\"?", answerer.Texts()[0]);
        EXPECT_EQ("Glazlo", answerer.Captions()[0]);
    }
    EXPECT_EQ("Window Rule 1,window rule 3", ItemNames(rootSlave.Get(), "window_rules"));
    EXPECT_FALSE(root->Modified);

    TMessageBoxAnswerer answerer(IDYES);
    Execute("WindowRuleDelete");
    EXPECT_EQ("Window Rule 1", ItemNames(rootSlave.Get(), "window_rules"));
    EXPECT_EQ("Window Rule 1", tree->Selected().Text());
    EXPECT_TRUE(root->Modified);
    Execute("WindowRuleDelete");
    EXPECT_EQ("", ItemNames(rootSlave.Get(), "window_rules"));
    EXPECT_EQ(RootNode(), tree->Selected());
    EXPECT_EQ(0, RootNode().Count());
}

TEST_F(Controller, CommandsOfNobodyAreDisabled) {
    EXPECT_FALSE(Enabled("NoSuchCommand"));
    RuleNode(0).Select();
    EXPECT_TRUE(Enabled("Options"));
    EXPECT_TRUE(Enabled("WindowRuleAdd"));
}

TEST_F(Controller, RunAndStopFollowTheResidentProgram) {
    EXPECT_TRUE(Enabled("RunCommandCenter"));
    EXPECT_FALSE(Enabled("StopCommandCenter"));
    TCenterStandIn center("guard");
    EXPECT_FALSE(Enabled("RunCommandCenter"));
    EXPECT_TRUE(Enabled("StopCommandCenter"));
    Execute("StopCommandCenter");
    EXPECT_EQ("3", center.Heard());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(center.Process(), 5000));
    EXPECT_TRUE(Enabled("RunCommandCenter"));
    EXPECT_FALSE(Enabled("StopCommandCenter"));
}

// Also a GlazloCenter of an earlier version, which answers only on the command channel.
TEST_F(Controller, SaveWritesTheFileAndTellsTheResidentProgram) {
    for (const char* options : {"guard", "guard original"}) {
        TCenterStandIn center(options);
        Execute("WindowRuleAdd");
        TMessageBoxAnswerer answerer(IDOK);
        Execute("AppSave");
        EXPECT_TRUE(answerer.Texts().empty()) << options;
        EXPECT_FALSE(root->Modified);
        EXPECT_FALSE(Enabled("AppSave"));
        const std::string saved = ReadFileText(ApplicationFolder + "Glazlo.ini");
        EXPECT_NE(std::string::npos, saved.find("Window Rule 2"));
        // The menu and the tool bar come from the program, never from the file.
        for (const char* command : {"AppSave", "WindowRuleMenu", "BOMUICOMMAND", "toolbar"})
            EXPECT_EQ(std::string::npos, saved.find(command)) << command;
        EXPECT_EQ("2", center.Heard()) << options;
    }
}

TEST_F(Controller, SaveIsNotHeldUpByAnotherProcessKeepingTheChannelLocked) {
    const TChannelSquatter squatter(ControlChannelPrefix, "hold-lock");
    ASSERT_TRUE(squatter.Holds());
    Execute("WindowRuleAdd");
    TMessageBoxAnswerer answerer(IDOK);
    const ULONGLONG start = GetTickCount64();
    Execute("AppSave");
    EXPECT_LT(GetTickCount64() - start, 3000u);
    EXPECT_FALSE(root->Modified);
    EXPECT_NE(std::string::npos, ReadFileText(ApplicationFolder + "Glazlo.ini").find("Window Rule 2"));
}

TEST_F(Controller, ClosingAsksOnlyWhenModified) {
    {
        TMessageBoxAnswerer answerer(IDCANCEL);
        EXPECT_TRUE(controller->AskSaveChanges());
        EXPECT_TRUE(answerer.Texts().empty());
    }
    Execute("WindowRuleAdd");
    {
        TMessageBoxAnswerer answerer(IDCANCEL);
        EXPECT_FALSE(controller->AskSaveChanges());
        ASSERT_EQ(1u, answerer.Texts().size());
        EXPECT_EQ("Save changes?", answerer.Texts()[0]);
        EXPECT_TRUE(root->Modified);
    }
    // No closes without saving.
    const std::string before = ReadFileText(ApplicationFolder + "Glazlo.ini");
    TMessageBoxAnswerer answerer(IDNO);
    EXPECT_TRUE(controller->AskSaveChanges());
    EXPECT_EQ(1u, answerer.Texts().size());
    EXPECT_EQ(before, ReadFileText(ApplicationFolder + "Glazlo.ini"));
}

TEST_F(Controller, AFailedSaveOnClosingKeepsTheWindowOpen) {
    Execute("WindowRuleAdd");
    // A folder that does not exist: the file cannot be written.
    ApplicationFolder += "missing\\";
    {
        TMessageBoxAnswerer answerer(IDYES);
        EXPECT_FALSE(controller->AskSaveChanges());
        ASSERT_EQ(2u, answerer.Texts().size());
        EXPECT_FALSE(answerer.Texts()[1].empty());
    }
    EXPECT_TRUE(root->Modified);

    ApplicationFolder.erase(ApplicationFolder.size() - 8);
    TMessageBoxAnswerer answerer(IDYES);
    EXPECT_TRUE(controller->AskSaveChanges());
    EXPECT_FALSE(root->Modified);
}

TEST_F(Controller, HelpAndLaunchOpenFilesOfTheProgramsFolder) {
    std::vector<std::string> opened;
    const TShellOpen saved = ShellOpen;
    ShellOpen = [&opened](HWND, const char* verb, const std::string& file, const std::string& directory) {
        opened.push_back(std::string(verb != nullptr ? verb : "<default>") + " " + file + " in " + directory);
    };
    Execute("HelpContent");
    Execute("RunCommandCenter");
    ShellOpen = saved;
    EXPECT_EQ((std::vector<std::string>{
                  "<default> " + ApplicationFolder + "Glazlo.chm in " + ApplicationFolder,
                  "<default> " + ApplicationFolder + "GlazloCenter.exe in " + ApplicationFolder}),
              opened);
}

// The build lays the compiled help out beside the programs.
TEST(Help, TheHelpFileIsBuiltBesideThePrograms) {
    const std::string help = ReadFileText(ProgramFolder() + "Glazlo.chm");
    ASSERT_GT(help.size(), 1000u);
    EXPECT_EQ("ITSF", help.substr(0, 4));
}

} // namespace
