#include "RootUIController.h"

#include "AbstractDetailPanel.h"
#include "Application.h"
#include "AppSpecificConsts.h"
#include "BOMUICommands.h"
#include "CenterCommands.h"
#include "DetailPanelRegistration.h"
#include "GeneralClasses.h"
#include "ModelKeys.h"
#include "MultiLanguages.h"
#include "ProcessesCommunication.h"
#include "ShellOpen.h"
#include "uAboutForm.h"
#include "uCBAppForm.h"
#include "uOptionsForm.h"
#include "uWindowRuleDetailPanel.h"
#include "WinFuncs.h"

#include <commctrl.h>

#include <utility>

namespace {

const std::string RuleNamePrefix = "Window Rule ";

std::string ApplicationTitle() {
    return Translate("AppCBTitle", "%appname%");
}

IBOMObject* AsObject(TQuendaWindows& root) {
    return static_cast<IBOMObjectSlave*>(&root);
}

ComPtr<IBOMCollection> Collection(TQuendaWindows& root, const std::string& path) {
    return Supports<IBOMCollection>(AsObject(root)->ResolvePath(path));
}

// Commands every state of the configuration allows.
bool AlwaysEnabled(const std::string& name) {
    for (const char* always : {"AppFilesMenu", "AppExit", "HelpMenu", "HelpAbout", "HelpContent",
                               "WindowRuleMenu", "WindowRuleAdd", "ToolsMenu", "Options"})
        if (name == always)
            return true;
    return false;
}

} // namespace

TRootUIController::TRootUIController(TQuendaWindows& root) : root_(root) {
    // The bars come from the built-in descriptions, not from the configuration file.
    LoadCommands(root_.ResolvePath("menu").Get(), MenuCommandsXML);
    LoadCommands(root_.ResolvePath("toolbar").Get(), ToolBarCommandsXML);
}

TRootUIController::~TRootUIController() = default;

void TRootUIController::CreateUI() {
    form_ = std::make_unique<TCBAppForm>();
    Application().SetMainForm(form_.get());
    form_->SetCaption(ApplicationTitle());
    // The placement storage keeps its own close query: it saves only a window that closes.
    form_->OnCloseQuery = [this, placement = form_->OnCloseQuery](TComponent* sender, bool& canClose) {
        canClose = AskSaveChanges();
        if (canClose && placement)
            placement(sender, canClose);
    };
    form_->OnShortCut = [this](const MSG& msg, bool& handled) {
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
            handled = HandleShortCut(ShortCutFromKey(msg.wParam, msg.lParam));
    };
    BindTree(*form_->TreeView, form_->DetailPanel->Handle(), form_->Handle());
    BuildCommandBars();
}

void TRootUIController::DestroyUI() {
    UnbindTree();
    if (form_ && Application().MainForm() == form_.get())
        Application().SetMainForm(nullptr);
    form_.reset();
    owner_ = nullptr;
}

void TRootUIController::ShowMainForm() {
    if (form_)
        form_->ShowModal();
}

// Each new button goes in front of those already there: the bars show the collections' order.
void TRootUIController::BuildCommandBars() {
    const auto build = [](IBOMObject* commands, TToolBar* bar, TImageList* images) {
        ComPtr<IBOMCollection> list = Supports<IBOMCollection>(commands);
        if (!list)
            return;
        for (int i = list->Count() - 1; i >= 0; --i) {
            ComPtr<IBOMUICommand> command = Supports<IBOMUICommand>(list->Item(Variant(i)));
            if (!command)
                continue;
            TToolButton* button = command->CreateToolButton(bar);
            button->SetToolBar(bar, 0);
            if (TMenuItem* item = button->MenuItem()) {
                item->SubMenuImages = images;
                if (TPopupMenu* menu = item->GetParentMenu())
                    menu->Images = images;
            }
        }
    };
    build(AsObject(root_)->ResolvePath("menu").Get(), form_->MenuToolBar, &form_->ToolBarImages);
    build(AsObject(root_)->ResolvePath("toolbar").Get(), form_->ToolBarToolBar, &form_->ToolBarImages);
}

void TRootUIController::BindTree(TTreeView& tree, HWND detailHost, HWND owner) {
    tree_ = &tree;
    treeUI_ = std::make_unique<TTreeViewUI>(tree);
    detailHost_ = detailHost;
    owner_ = owner;
    tree.OnChange = [this](TTreeNode node) { ShowDetailPanel(node); };
    tree.OnDeletion = [this](TTreeNode node) { OnTreeNodeDeletion(node); };
    tree.OnExpanding = [this](TTreeNode node) {
        if (IUIElement* element = ElementOf(node))
            element->Expanding(treeUI_->Node(node));
    };
    tree.OnMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
        OnTreeMouseUp(button, shift, x, y);
    };
    // A click on an item's check box switches the item: a command, which a refused name stops as
    // every other, before the tree takes the click (and the focus) at all.
    tree.OnMouseDown = [this](TMouseButton, TShiftState, int x, int y, bool& handled) {
        handled = tree_->IsOnStateIcon(x, y) && !StoreFocusedValue();
    };

    root_.AttachUI(static_cast<IUI*>(&root_));
    treeUI_->TreeNode(root_.InsertTreeNode(*treeUI_, {})).Expand();

    WireCommands(root_.ResolvePath("menu").Get());
    WireCommands(root_.ResolvePath("toolbar").Get());
    AsObject(root_)->Notify(NotifyTranslateTexts, 0, 0);
}

void TRootUIController::UnbindTree() {
    if (tree_ == nullptr)
        return;
    if (shownPanel_ != nullptr) {
        shownPanel_->Hide();
        shownPanel_ = nullptr;
    }
    if (root_.TreeNode)
        treeUI_->TreeNode(root_.TreeNode).Delete();
    root_.DetachUI();
    tree_->OnChange = nullptr;
    tree_->OnDeletion = nullptr;
    tree_->OnExpanding = nullptr;
    tree_->OnMouseUp = nullptr;
    tree_->OnMouseDown = nullptr;
    tree_ = nullptr;
    treeUI_.reset();
    detailHost_ = nullptr;
}

void TRootUIController::WireCommands(IBOMObject* commands) {
    ComPtr<IBOMCollection> list = Supports<IBOMCollection>(commands);
    if (!list)
        return;
    for (int i = 0; i < list->Count(); ++i) {
        ComPtr<IBOMObject> item = list->Item(Variant(i));
        if (ComPtr<IBOMUICommand> command = Supports<IBOMUICommand>(item)) {
            TCommandAction& action = command->GetAction();
            // A menu that drops down runs no command: a refused name is told by the item chosen.
            ComPtr<IBOMCollection> items = Supports<IBOMCollection>(item->ResolvePath("commands"));
            const bool menu = items && items->Count() > 0;
            action.OnPrepare = [this, menu](TCommandAction&) { valueRefused_ = !StoreFocusedValue(!menu); };
            action.OnExecute = [this](TCommandAction& a) { OnCommandExecute(a); };
            action.OnUpdate = [this](TCommandAction& a) { OnCommandUpdate(a); };
        }
        WireCommands(item->ResolvePath("commands").Get());
    }
}

void TRootUIController::OnCommandExecute(TCommandAction& action) {
    // A value the page refused (a rule name that is taken) was told and stays in its box, to
    // be corrected before the command runs.
    const bool refused = std::exchange(valueRefused_, false);
    if (tree_ == nullptr || refused || !StoreFocusedValue())
        return;
    // A failing command (a save that cannot write) tells the user and changes nothing else.
    try {
        TUICommand command{action.Name, action.Enabled};
        TTreeNode node = tree_->Selected() ? tree_->Selected() : tree_->GetFirstNode();
        for (; node; node = node.Parent())
            if (IUIElement* element = ElementOf(node);
                element != nullptr && !element->ExecuteCommand(command))
                return;
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void TRootUIController::OnCommandUpdate(TCommandAction& action) {
    if (tree_ != nullptr) {
        TUICommand command{action.Name, action.Enabled};
        TTreeNode node = tree_->Selected() ? tree_->Selected() : tree_->GetFirstNode();
        for (; node; node = node.Parent())
            if (IUIElement* element = ElementOf(node);
                element != nullptr && !element->UpdateCommand(command)) {
                action.Enabled = command.Enabled;
                return;
            }
    }
    action.Enabled = false;
}

bool TRootUIController::HandleShortCut(TShortCut shortCut) {
    return HandleShortCutIn(root_.ResolvePath("menu").Get(), shortCut) ||
           HandleShortCutIn(root_.ResolvePath("toolbar").Get(), shortCut);
}

bool TRootUIController::ExecuteCommand(TUICommand& action) {
    const std::string& name = action.Name;
    if (name == "AppExit")
        CloseMainWindow();
    else if (name == "AppSave")
        root_.SaveConfiguration();
    else if (name == "WindowRuleAdd")
        AddWindowRule();
    else if (name == "WindowRuleDelete")
        DeleteWindowRule();
    else if (name == "RunCommandCenter")
        ShellOpen(owner_, nullptr, ApplicationFolder + ControlCenterFileName, ApplicationFolder);
    else if (name == "StopCommandCenter")
        StopControlCenter();
    else if (name == "HelpContent")
        ShowHelp();
    else if (name == "HelpAbout")
        ShowAbout();
    else if (name == "Options")
        ShowOptions();
    else
        return true;
    return false;
}

bool TRootUIController::UpdateCommand(TUICommand& action) {
    const std::string& name = action.Name;
    if (AlwaysEnabled(name))
        action.Enabled = true;
    else if (name == "AppSave")
        action.Enabled = root_.Modified || FocusedValueChanged();
    else if (name == "WindowRuleDelete")
        action.Enabled =
            root_.TreeNode && tree_ != nullptr && tree_->Selected() && tree_->Selected().Level() == 1;
    else if (name == "RunCommandCenter")
        action.Enabled = !IsControlCenterRunning();
    else if (name == "StopCommandCenter")
        action.Enabled = IsControlCenterRunning();
    else
        return true;
    return false;
}

void TRootUIController::AddWindowRule() {
    ComPtr<IBOMCollection> rules = Collection(root_, "window_rules");
    if (!rules)
        return;
    // The first free number: gaps left by deleted rules are filled.
    int number = 1;
    while (rules->IndexOf(RuleNamePrefix + std::to_string(number)) >= 0)
        ++number;
    ComPtr<IBOMObjectSlave> rule = CreateBOMObject(KeyWindowRule, RuleNamePrefix + std::to_string(number));
    if (!rule)
        return;
    rule->Notify(NotifyTranslateTexts, 0, 0);
    rules->Add(rule.Get());
    if (root_.TreeNode) {
        // The node just made, not a walk over every rule's node to find the last one.
        if (TUINode added = AddElementNode(root_.TreeNode, rule.Get())) {
            treeUI_->TreeNode(added).Select();
            // What the user types next names the new rule.
            if (auto* page = dynamic_cast<TWindowRuleDetailPanel*>(shownPanel_))
                page->FocusName();
        }
    }
    root_.Modified = true;
}

void TRootUIController::DeleteWindowRule() {
    if (!root_.TreeNode || tree_ == nullptr)
        return;
    TTreeNode node = tree_->Selected();
    IUIElement* element = ElementOf(node);
    ComPtr<IBOMObjectSlave> rule = Supports<IBOMObjectSlave>(element);
    if (!rule || rule->GetClassKey() != KeyWindowRule)
        return;
    const std::string question =
        Translate("AW_DeleteWindowRule", "Are you sure you want to delete the Window Rule") + " \"" +
        TextForWindow(rule->GetName()) + "\"?";
    if (Ask(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (HTREEITEM above = TreeView_GetPrevVisible(tree_->Handle(), node.ItemId()))
        TTreeNode(tree_, above).Select();
    ComPtr<IUIElement> keep = element; // the node's record holds the last reference
    node.Delete();
    keep->DetachUI();
    if (ComPtr<IBOMCollection> rules = Collection(root_, "window_rules")) {
        const std::string name = rule->GetName();
        rule->ClearOwner();
        rules->Delete(Variant(name));
        root_.Modified = true;
    }
}

bool TRootUIController::AskSaveChanges() {
    // A refused value stays to be corrected: closing would throw the typing away unseen.
    if (!StoreFocusedValue())
        return false;
    if (!root_.Modified)
        return true;
    switch (Ask(Translate("AW_SaveConfig", "Save changes?"), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        // A save that fails keeps the window open with the changes.
        try {
            root_.SaveConfiguration();
        } catch (const std::exception& e) {
            ShowError(e.what());
            return false;
        }
        return true;
    case IDNO:
        return true;
    default:
        return false;
    }
}

void TRootUIController::ShowDetailPanel(TTreeNode node) {
    if (detailHost_ == nullptr)
        return;
    HWND main = owner_ != nullptr ? owner_ : detailHost_;
    LockWindowUpdate(main);
    try {
        // The pages of the elements are kept in the detail host, hidden while others show.
        if (shownPanel_ != nullptr) {
            // A refused name is told once and the box shows the rule's name again; then the
            // keyboard leaves the page as a click into the tree takes it: the box it was in
            // stores what it shows, and no hidden control keeps the focus.
            if (auto* page = dynamic_cast<TWindowRuleDetailPanel*>(shownPanel_))
                page->LeavePage();
            if (shownPanel_->Focused() && tree_ != nullptr && tree_->CanFocus())
                tree_->SetFocus();
            shownPanel_->Hide();
            shownPanel_ = nullptr;
        }
        if (IUIElement* element = ElementOf(node)) {
            // Filling a page's controls is no change of the configuration.
            const bool wasModified = root_.Modified;
            if (TAbstractDetailPanel* panel =
                    AsDetailPanel(element->GetDetailPanel("DefaultDetailPanel", detailHost_))) {
                panel->Show();
                shownPanel_ = panel;
            }
            root_.Modified = wasModified;
        }
    } catch (...) {
        LockWindowUpdate(nullptr);
        throw;
    }
    LockWindowUpdate(nullptr);
}

void TRootUIController::OnTreeNodeDeletion(TTreeNode node) {
    if (ComPtr<IUIElement> element = DetachNodeElement(treeUI_->Node(node)))
        element->ClearTreeNode(treeUI_->Node(node));
}

void TRootUIController::OnTreeMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TTreeNode node = tree_ != nullptr ? tree_->GetNodeAt(x, y) : TTreeNode();
    // A right click selects, as a left one does.
    if (node && button == TMouseButton::Right)
        node.Select();
    if (IUIElement* element = ElementOf(node))
        element->MouseDown(treeUI_->Node(node), button, shift, x, y);
}

IUIElement* TRootUIController::ElementOf(TTreeNode node) {
    return node && treeUI_ ? NodeElement(treeUI_->Node(node)) : nullptr;
}

// Tool buttons and menus take no focus and a short-cut leaves it where it is: an edit's text
// would otherwise reach the model only when the edit is left, and a command disabled by the
// model as it was (Save before the first change) would not run at all.
bool TRootUIController::StoreFocusedValue(bool tellRefusal) {
    auto* page = dynamic_cast<TWindowRuleDetailPanel*>(shownPanel_);
    if (page == nullptr)
        return true;
    page->StoreTypedValues(tellRefusal);
    return !page->NameRefused();
}

bool TRootUIController::FocusedValueChanged() const {
    auto* page = dynamic_cast<TWindowRuleDetailPanel*>(shownPanel_);
    return page != nullptr && page->FocusedControlChanged();
}

void TRootUIController::ConfigurationSaved() {
    TellCenter(cmdReloadConfiguration);
}

void TRootUIController::StopControlCenter() {
    TellCenter(cmdCloseCenter);
}

void TRootUIController::ShowOptions() {
    TOptionsForm dialog;
    dialog_ = &dialog;
    const TModalResult result = dialog.ShowModal();
    dialog_ = nullptr;
    if (result == mrOk)
        TellCenter(cmdReloadSettings);
}

void TRootUIController::ShowAbout() {
    TAboutForm dialog;
    std::unique_ptr<IDetailPanel> created = ::CreateDetailPanel("AboutPanel", dialog.Handle());
    TAbstractDetailPanel* panel = AsDetailPanel(created.get());
    if (panel == nullptr)
        return;
    dialog.SetClientSize(panel->Width(), dialog.CommandPanel->Height() + panel->Height());
    panel->UpdateControls();
    panel->Show();
    dialog_ = &dialog;
    dialog.ShowModal();
    dialog_ = nullptr;
}

void TRootUIController::TellCenter(int code) {
    if (SendCenterCommand(code) == TCenterAnswer::NoAnswer)
        ShowError(Translate("AW_CenterNoAnswer",
                            "%appname% does not answer. Saved changes reach it when it is "
                            "started again."));
}

int TRootUIController::Ask(const std::string& text, UINT flags) {
    return MessageBoxA(owner_, text.c_str(), ApplicationTitle().c_str(), flags);
}

void TRootUIController::ShowError(const std::string& text) {
    MessageBoxA(owner_, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONERROR);
}

void TRootUIController::ShowHelp() {
    ShellOpen(owner_, nullptr, ApplicationFolder + HelpFileName, ApplicationFolder);
}

void TRootUIController::CloseMainWindow() {
    if (form_)
        form_->Close();
    else if (owner_ != nullptr)
        PostMessageA(owner_, WM_CLOSE, 0, 0);
}

void RegisterConfigBuilder() {
    RegisterBOMUICommandClasses();
    RegisterAboutPanel();
    RegisterRulePagePanels();
    RegisterRootUIController([](TQuendaWindows& root) -> ComPtr<IRootUIController> {
        return ComPtr<IRootUIController>(NewObject<TRootUIController>(root));
    });
}
