#pragma once

#include "CommandAction.h"
#include "QuendaWindows.h"
#include "TreeViewUI.h"

#include <windows.h>

#include <memory>
#include <string>

class TAbstractDetailPanel;
class TCBAppForm;
class TForm;

// The model root as the configuration program's user-interface controller: binds the rule
// tree, routes every command through the selected node and its parents, and carries out the
// commands of the whole configuration.
class TRootUIController : public TDebugInterfacedObject, public IRootUIController {
    GLZ_INTERFACES(TDebugInterfacedObject, IConfigBuilder, IRootUIController)

public:
    explicit TRootUIController(TQuendaWindows& root);
    ~TRootUIController() override;

    void CreateUI() override;
    void DestroyUI() override;
    void ShowMainForm() override;
    bool UpdateCommand(TUICommand& action) override;
    bool ExecuteCommand(TUICommand& action) override;
    void ConfigurationSaved() override;

    // The tree and the detail area of a main window: the rule tree is built in them, the
    // commands are wired. Owner is the window of the questions.
    void BindTree(TTreeView& tree, HWND detailHost, HWND owner);
    void UnbindTree();

    // The walk from the selected node (else the first) upwards; the first element that
    // handles the command ends it. Nobody handles an update: the command is disabled.
    void OnCommandExecute(TCommandAction& action);
    void OnCommandUpdate(TCommandAction& action);
    // Menu commands from the last to the first, then the tool bar's.
    bool HandleShortCut(TShortCut shortCut);
    // The close query: false keeps the window open.
    bool AskSaveChanges();

    void AddWindowRule();
    void DeleteWindowRule();
    void ShowDetailPanel(TTreeNode node);
    void StopControlCenter();
    void ShowOptions();
    void ShowAbout();

    TAbstractDetailPanel* ShownPanel() const noexcept { return shownPanel_; }
    TTreeView* Tree() const noexcept { return tree_; }
    // The bound tree as the tree binding reaches it; null while none is bound.
    TTreeViewUI* TreeUI() const noexcept { return treeUI_.get(); }
    TCBAppForm* MainForm() const noexcept { return form_.get(); }
    // The modal dialog on screen (options or about), for whoever needs to reach it.
    TForm* ShownDialog() const noexcept { return dialog_; }

private:
    void BuildCommandBars();
    void WireCommands(IBOMObject* commands);
    void OnTreeNodeDeletion(TTreeNode node);
    void OnTreeMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The element of a node of the bound tree, or null.
    IUIElement* ElementOf(TTreeNode node);
    // Whatever the user typed into the shown page reaches the model first. False when the page
    // refused it (and told the user, when asked to): the command must not go on.
    bool StoreFocusedValue(bool tellRefusal = true);
    // The focused box of the shown page holds typing that StoreFocusedValue would take along.
    bool FocusedValueChanged() const;
    void TellCenter(int code);
    int Ask(const std::string& text, UINT flags);
    void ShowError(const std::string& text);
    void ShowHelp();
    void CloseMainWindow();

    TQuendaWindows& root_;
    std::unique_ptr<TCBAppForm> form_;
    TForm* dialog_ = nullptr;
    TTreeView* tree_ = nullptr;
    std::unique_ptr<TTreeViewUI> treeUI_;
    HWND detailHost_ = nullptr;
    HWND owner_ = nullptr;
    TAbstractDetailPanel* shownPanel_ = nullptr;
    // The preparation of the command being run met a refused value.
    bool valueRefused_ = false;
};

// Registers the controller and the command classes: the configuration program's side of the
// model. The class registry must be initialised.
void RegisterConfigBuilder();
