#include "uWindowRuleDetailPanel.h"

#include "BOM_UI.h"
#include "CheckBox.h"
#include "DetailPanelRoutines.h"
#include "MultiLanguages.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

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
    if (NameEdit->Focused())
        NameEditExit();
    for (int i = 0; i < ScrollBox->ControlCount(); ++i)
        if (auto* embedded = dynamic_cast<TAbstractDetailPanel*>(ScrollBox->Controls(i)))
            embedded->StoreFocusedControl();
}

bool TWindowRuleDetailPanel::FocusedControlChanged() {
    if (NameEdit->Focused() && Obj && NameEdit->Text() != Obj->GetName())
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
    NameEdit->SetText(ParamText(Obj.Get(), "params/name").value_or(""));
}

void TWindowRuleDetailPanel::EnabledCheckBoxClick() {
    if (IsUpdatingControls())
        return;
    SetParamValue("enabled", Variant(EnabledCheckBox->Checked() ? "yes" : "no"));
    UpdateControls();
}

void TWindowRuleDetailPanel::NameEditExit() {
    RenameObject(NameEdit->Text());
}

void TWindowRuleDetailPanel::NameEditKeyPress(char& key) {
    if (key != '\r')
        return;
    const int caret = NameEdit->SelStart();
    RenameObject(NameEdit->Text());
    NameEdit->SetSelStart(caret);
}

std::span<const char* const> TSinglePurposeWindowRuleDetailPanel::Rows() const {
    return kRulePageRows;
}
