#include "uCriterionDetailPanels.h"

#include "CheckBox.h"
#include "DetailPanelRoutines.h"
#include "MultiLanguages.h"
#include "PexControls.h"
#include "StdCtrls.h"
#include "WinFuncs.h"

namespace {

// Layout of the criterion panels, in pixels, as designed.
constexpr SIZE kBaseFrame{245, 28};
constexpr SIZE kCaptionFrame{211, 65};
constexpr int kClassFrameWidth = 246;
constexpr RECT kEnabledBox{8, 6, 17, 17}; // left, top, width, height
constexpr int kEnabledBoxTopBesideText = 9;
constexpr POINT kLabel{30, 10};
constexpr POINT kCombo{111, 7};
constexpr int kCaptionComboWidth = 97;
constexpr int kClassComboWidth = 132;
constexpr int kLabelGap = 5;
constexpr RECT kExactRadio{32, 30, 170, 17};
constexpr RECT kSubstringRadio{32, 48, 170, 17};

constexpr char kEnabledParam[] = "params/enabled";

} // namespace

TAbstractCriterionDetailPanel::TAbstractCriterionDetailPanel() {
    SetBounds(0, 0, kBaseFrame.cx, kBaseFrame.cy);
    EnabledCheckBox = Create<TKLVCheckBox>(this);
    EnabledCheckBox->SetParent(this);
    EnabledCheckBox->SetBounds(kEnabledBox.left, kEnabledBox.top, kEnabledBox.right, kEnabledBox.bottom);
    EnabledCheckBox->OnClick = [this](TComponent*) { EnabledCheckBoxClick(); };
}

void TAbstractCriterionDetailPanel::SetWindow(HWND) {}

void TAbstractCriterionDetailPanel::DoUpdateControls() {
    TAbstractDetailPanel::DoUpdateControls();
    if (const std::optional<std::string> enabled = ParamText(Obj.Get(), kEnabledParam))
        EnabledCheckBox->SetChecked(*enabled == "yes");
}

void TAbstractCriterionDetailPanel::EnabledCheckBoxClick() {
    if (IsUpdatingControls())
        return;
    SetParamFlag(Obj.Get(), kEnabledParam, EnabledCheckBox->Checked());
}

TTextCriterionDetailPanel::TTextCriterionDetailPanel(const TTexts& texts, const char* caption, SIZE frame,
                                                     int comboWidth)
    : texts_(texts) {
    // Anchored controls keep their distances to the edges of the frame as designed.
    SetBounds(0, 0, frame.cx, frame.cy);
    EnabledCheckBox->SetTop(kEnabledBoxTopBesideText);
    Label = Create<TLabel>(this);
    Label->SetParent(this);
    Label->SetBounds(kLabel.x, kLabel.y, 0, 0);
    Label->SetCaption(caption);
    ComboBox = Create<THistoryComboBox>(this);
    ComboBox->SetParent(this);
    ComboBox->SetBounds(kCombo.x, kCombo.y, comboWidth, ComboBox->Height());
    ComboBox->SetAnchors(akLeft | akTop | akRight);
    ComboBox->AutoHistory = true;
    ComboBox->AutoCompletion = true;
    ComboBox->SetCapacity(0);
    ComboBox->OnExit = [this](TComponent*) { StoreText(); };
    ComboBox->OnKeyPress = [this](TComponent*, char& key) { EditKeyPress(key); };
}

void TTextCriterionDetailPanel::Localize() {
    TAbstractCriterionDetailPanel::Localize();
    Label->SetCaption(Translate(texts_.CaptionKey, Label->Caption()));
    Label->SetHint(Translate(texts_.HintKey, Label->Hint()));
    ComboBox->SetHint(Label->Hint());
    // The text box starts just right of its label and keeps its right edge.
    const int right = ComboBox->Left() + ComboBox->Width();
    const int left = Label->Left() + Label->Width() + kLabelGap;
    ComboBox->SetBounds(left, ComboBox->Top(), right - left, ComboBox->Height());
}

void TTextCriterionDetailPanel::DoUpdateControls() {
    TAbstractCriterionDetailPanel::DoUpdateControls();
    if (const std::optional<std::string> text = ParamText(Obj.Get(), std::string("params/") + texts_.Param)) {
        ComboBox->SetText(*text);
        ComboBox->AddToHistory();
    }
}

void TTextCriterionDetailPanel::SetWindow(HWND wnd) {
    ComboBox->SetText(WindowText(wnd));
    StoreText();
}

void TTextCriterionDetailPanel::StoreFocusedControl() {
    if (ComboBox->Focused())
        StoreText();
}

void TTextCriterionDetailPanel::StoreText() {
    SetParamValue(texts_.Param, Variant(ComboBox->Text()));
}

void TTextCriterionDetailPanel::EditKeyPress(char& key) {
    if (key != '\r')
        return;
    const int caret = ComboBox->SelStart();
    StoreText();
    ComboBox->SetSel(caret, 0);
}

TWindowCaptionCriterionDetailPanel::TWindowCaptionCriterionDetailPanel()
    : TTextCriterionDetailPanel({"window_caption", "WCCDP_Caption", "WCCDP_Hint"},
                                "window caption:  ", kCaptionFrame, kCaptionComboWidth) {
    const std::pair<TRadioButton*&, std::pair<RECT, const char*>> radios[] = {
        {ExactSearchTrueRadioButton, {kExactRadio, "exact match"}},
        {ExactSearchFalseRadioButton, {kSubstringRadio, "substring"}}};
    for (const auto& [radio, design] : radios) {
        radio = Create<TRadioButton>(this);
        radio->SetParent(this);
        radio->SetBounds(design.first.left, design.first.top, design.first.right, design.first.bottom);
        radio->SetCaption(design.second);
        radio->OnClick = [this](TComponent*) { StoreExactSearch(); };
    }
}

void TWindowCaptionCriterionDetailPanel::Localize() {
    TTextCriterionDetailPanel::Localize();
    ComboBox->SetHint(Translate("WCCDP_Hint", Label->Hint()));
    ExactSearchTrueRadioButton->SetCaption(
        Translate("WCCDP_ExactMatch", ExactSearchTrueRadioButton->Caption()));
    ExactSearchTrueRadioButton->SetHint(
        Translate("WCCDP_ExactMatchHint", ExactSearchTrueRadioButton->Hint()));
    ExactSearchFalseRadioButton->SetCaption(
        Translate("WCCDP_SubstringMatch", ExactSearchFalseRadioButton->Caption()));
    ExactSearchFalseRadioButton->SetHint(
        Translate("WCCDP_SubstringMatchHint", ExactSearchFalseRadioButton->Hint()));
}

void TWindowCaptionCriterionDetailPanel::DoUpdateControls() {
    TTextCriterionDetailPanel::DoUpdateControls();
    if (const std::optional<std::string> exact = ParamText(Obj.Get(), "params/exact_search")) {
        ExactSearchTrueRadioButton->SetChecked(*exact == "yes");
        ExactSearchFalseRadioButton->SetChecked(*exact != "yes");
    }
}

void TWindowCaptionCriterionDetailPanel::StoreExactSearch() {
    SetParamValue("exact_search", Variant(ExactSearchTrueRadioButton->Checked() ? "yes" : "no"));
}

std::string TWindowCaptionCriterionDetailPanel::WindowText(HWND wnd) {
    return GetWindowCaption(wnd);
}

TWindowClassCriterionDetailPanel::TWindowClassCriterionDetailPanel()
    : TTextCriterionDetailPanel({"window_class_name", "WClCDP_Caption", "WClCDP_Hint"},
                                "window class:  ", SIZE{kClassFrameWidth, kBaseFrame.cy}, kClassComboWidth) {}

std::string TWindowClassCriterionDetailPanel::WindowText(HWND wnd) {
    return GetWindowClassName(wnd);
}
