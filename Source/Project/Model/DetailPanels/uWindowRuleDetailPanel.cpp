#include "uWindowRuleDetailPanel.h"

#include "BOMObjects.h"
#include "BOM_UI.h"
#include "CheckBox.h"
#include "DetailPanelRoutines.h"
#include "MultiLanguages.h"
#include "ExtCtrls.h"
#include "ScopedValue.h"
#include "StdCtrls.h"
#include "WinFuncs.h"

#include <windows.h>

namespace {

// Layout of the rule panel, in pixels, as designed.
constexpr SIZE kFrame{208, 47};
constexpr int kMainPanelHeight = 29;
constexpr TDesignBounds kEnabledBox{8, 6, 17, 17};
constexpr TDesignBounds kNameEdit{27, 4, 174, 21};

// Rows of the scroll box below the name row, top to bottom: the pages of the rule's parts at
// these paths.
constexpr const char* kRuleRows[] = {"conditions/DefaultCondition"};
constexpr const char* kRulePageRows[] = {"conditions/DefaultCondition", "actions/TransparentWindow"};

// Why a rule cannot be called name, or empty when it can. The rule's collection keeps its own
// rules (unique names regardless of letter case, no path separators); a name of blanks only
// would show as an empty item in the tree.
std::string WhyNameIsRefused(IBOMObject* rule, const std::string& name) {
    if (Trim(name).empty())
        return Translate("WRDP_NameEmpty", "A window rule needs a name.");
    // The name quoted as the box shows it: a NUL would end the message.
    const std::string quoted = " \"" + TextForWindow(name) + "\"";
    if (!IsReachableName(name))
        return Translate("WRDP_NameUnusable",
                         "A window rule's name cannot contain \"/\" or \":\" nor be \".\", \"..\" or "
                         "\"all\":") +
               quoted;
    ComPtr<IBOMCollection> rules = Supports<IBOMCollection>(rule->ResolvePath("..").Get());
    const int taken = rules ? rules->IndexOf(name) : -1;
    if (taken < 0 || name == rule->GetName())
        return {};
    if (taken == rules->IndexOf(rule->GetName()))
        return Translate("WRDP_NameCaseOnly", "A window rule's name cannot change in letter case only:") +
               quoted;
    return Translate("WRDP_NameTaken",
                     "Another window rule has this name (the letters A to Z count in either case):") +
           quoted;
}

} // namespace

TWindowRuleDetailPanel::TWindowRuleDetailPanel(TParent parent)
    : TAbstractDetailPanel(parent.At({0, 0, kFrame.cx, kFrame.cy})) {
    GroupBox = CreateClientGroupBox(this, " Window rule ");

    ScrollBox = Create<TScrollBox>(this, GroupBox);
    ScrollBox->SetBorder(false);
    ScrollBox->SetAlign(TAlign::alClient);

    MainPanel = Create<TPanel>(this, ScrollBox);
    MainPanel->SetBevelOuter(TBevelCut::bvNone);
    MainPanel->SetHeight(kMainPanelHeight);
    MainPanel->SetAlign(TAlign::alTop);

    EnabledCheckBox = Create<TKLVCheckBox>(this, TParent(MainPanel).At(kEnabledBox));
    EnabledCheckBox->OnClick = [this](TComponent*) { EnabledCheckBoxClick(); };

    NameEdit = Create<TEdit>(this, TParent(MainPanel).At(kNameEdit));
    NameEdit->SetAnchors(akLeft | akTop | akRight);
    NameEdit->OnExit = [this](TComponent*) { NameEditExit(); };
    NameEdit->OnKeyPress = [this](TComponent*, char& key) { NameEditKeyPress(key); };
}

void TWindowRuleDetailPanel::Localize() {
    TAbstractDetailPanel::Localize();
    GroupBox->SetCaption(TranslatePadded("WRDP_Caption", GroupBox->Caption()));
    NameEdit->SetHint(Translate("WRDP_NameHint", NameEdit->Hint()));
    EnabledCheckBox->SetHint(Translate("WRDP_EnabledHint", EnabledCheckBox->Hint()));
}

void TWindowRuleDetailPanel::SetObject(IBOMObject* obj) {
    TAbstractDetailPanel::SetObject(obj);
    for (const char* path : Rows())
        EmbedPanel(path);
}

std::span<const char* const> TWindowRuleDetailPanel::Rows() const {
    return kRuleRows;
}

void TWindowRuleDetailPanel::EmbedPanel(const std::string& path) {
    ComPtr<IUIElement> element = AsUIElement(Obj->ResolvePath(path).Get());
    TAbstractDetailPanel* panel =
        element ? AsDetailPanel(element->GetDetailPanel("DefaultDetailPanel", ScrollBox->Handle())) : nullptr;
    if (panel != nullptr)
        ShowAsTopRow(panel);
}

void TWindowRuleDetailPanel::StoreFocusedControl() {
    StoreTypedValues(true);
}

void TWindowRuleDetailPanel::StoreTypedValues(bool tellRefusedName) {
    nameRefused_ = NameEdit->Focused() && !StoreName(tellRefusedName);
    for (int i = 0; i < ScrollBox->ControlCount(); ++i)
        if (auto* embedded = dynamic_cast<TAbstractDetailPanel*>(ScrollBox->Controls(i)))
            embedded->StoreFocusedControl();
}

bool TWindowRuleDetailPanel::FocusedControlChanged() {
    if (NameEdit->Focused() && Obj && TypedName() != Obj->GetName())
        return true;
    for (int i = 0; i < ScrollBox->ControlCount(); ++i)
        if (auto* embedded = dynamic_cast<TAbstractDetailPanel*>(ScrollBox->Controls(i));
            embedded != nullptr && embedded->FocusedControlChanged())
            return true;
    return false;
}

void TWindowRuleDetailPanel::FocusName() {
    if (!NameEdit->CanFocus())
        return;
    NameEdit->SetFocus();
    NameEdit->SelectAll();
}

void TWindowRuleDetailPanel::DoUpdateControls() {
    TAbstractDetailPanel::DoUpdateControls();
    if (const std::optional<std::string> enabled = ParamText(Obj.Get(), "params/enabled"))
        EnabledCheckBox->SetChecked(*enabled == "yes");
    NameEdit->SetText(TextForWindow(ParamText(Obj.Get(), "params/name").value_or("")));
}

void TWindowRuleDetailPanel::EnabledCheckBoxClick() {
    if (IsUpdatingControls())
        return;
    SetParamValue("enabled", Variant(EnabledCheckBox->Checked() ? "yes" : "no"));
    UpdateControls();
}

// Focus that leaves the window (another program, the message about a refused name) is no
// leaving of the box: a refused name is told only when the user moves on inside the window.
void TWindowRuleDetailPanel::NameEditExit() {
    const HWND focus = GetFocus();
    StoreName(focus != nullptr && GetAncestor(focus, GA_ROOT) == GetAncestor(Handle(), GA_ROOT));
}

void TWindowRuleDetailPanel::NameEditKeyPress(char& key) {
    if (key != '\r')
        return;
    const int caret = NameEdit->SelStart();
    StoreName(true);
    NameEdit->SetSelStart(caret);
}

bool TWindowRuleDetailPanel::StoreName(bool tell) {
    if (!Obj || IsUpdatingControls() || telling_)
        return true;
    const std::string name = TypedName();
    if (name == Obj->GetName())
        return true;
    const std::string why = WhyNameIsRefused(Obj.Get(), name);
    if (why.empty()) {
        RenameObject(name);
        return true;
    }
    if (tell)
        TellRefusedName(why);
    return false;
}

// The tree may change the page before the box hears that it is left: a name not told yet is
// told here.
void TWindowRuleDetailPanel::LeavePage() {
    if (Obj && NameEdit->Text() != toldName_) {
        const TScopedValue<bool> leaving(leaving_, true);
        StoreName(true);
    }
    if (Obj && TypedName() != Obj->GetName())
        NameEdit->SetText(TextForWindow(Obj->GetName()));
    nameRefused_ = false;
    toldName_.clear();
}

void TWindowRuleDetailPanel::TellRefusedName(const std::string& why) {
    const TScopedValue<bool> telling(telling_, true);
    toldName_ = NameEdit->Text();
    const HWND window = GetAncestor(Handle(), GA_ROOT);
    MessageBoxA(window, why.c_str(), Translate("AppCBTitle", "%appname%").c_str(), MB_OK | MB_ICONWARNING);
    // Back to the box, to correct what was typed, unless the page goes.
    if (!leaving_ && IsWindowVisible(NameEdit->Handle()))
        NameEdit->SetFocus();
}

std::string TWindowRuleDetailPanel::TypedName() const {
    return TextFromWindow(NameEdit->Text());
}

std::span<const char* const> TSinglePurposeWindowRuleDetailPanel::Rows() const {
    return kRulePageRows;
}
