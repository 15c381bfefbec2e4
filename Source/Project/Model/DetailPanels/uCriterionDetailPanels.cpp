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
constexpr TDesignBounds kEnabledBox{8, 6, 17, 17};
constexpr int kEnabledBoxTopBesideText = 9;
constexpr POINT kLabel{30, 10};
constexpr POINT kCombo{111, 7};
constexpr int kCaptionComboWidth = 97;
constexpr int kClassComboWidth = 132;
constexpr int kLabelGap = 5;
constexpr TDesignBounds kExactRadio{32, 30, 170, 17};
constexpr TDesignBounds kSubstringRadio{32, 48, 170, 17};

constexpr char kEnabledParam[] = "params/enabled";

} // namespace

TAbstractCriterionDetailPanel::TAbstractCriterionDetailPanel(TParent parent) : TAbstractDetailPanel(parent) {
    EnabledCheckBox = Create<TKLVCheckBox>(this, TParent(this).At(kEnabledBox));
    EnabledCheckBox->OnClick = [this](TComponent*) { EnabledCheckBoxClick(); };
}

void TAbstractCriterionDetailPanel::SetWindow(HWND) {}

void TAbstractCriterionDetailPanel::PreviewWindow(HWND) {}

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

TTextCriterionDetailPanel::TTextCriterionDetailPanel(TParent parent, const TTexts& texts, const char* caption,
                                                     SIZE frame, int comboWidth)
    // Anchored controls keep their distances to the edges of the frame as designed.
    : TAbstractCriterionDetailPanel(parent.At({0, 0, frame.cx, frame.cy})), texts_(texts),
      textLabel_(Create<TLabel>(this, this)), textBox_(Create<THistoryComboBox>(this, this)) {
    EnabledCheckBox->SetTop(kEnabledBoxTopBesideText);
    textLabel_->SetBounds(kLabel.x, kLabel.y, 0, 0);
    textLabel_->SetCaption(caption);
    textBox_->SetBounds(kCombo.x, kCombo.y, comboWidth, textBox_->Height());
    textBox_->SetAnchors(akLeft | akTop | akRight);
    textBox_->AutoHistory = true;
    textBox_->AutoCompletion = true;
    textBox_->SetCapacity(0);
    textBox_->OnExit = [this](TComponent*) { StoreText(); };
    textBox_->OnKeyPress = [this](TComponent*, char& key) { EditKeyPress(key); };
}

void TTextCriterionDetailPanel::Localize() {
    TAbstractCriterionDetailPanel::Localize();
    textLabel_->SetCaption(Translate(texts_.CaptionKey, textLabel_->Caption()));
    textLabel_->SetHint(Translate(texts_.HintKey, textLabel_->Hint()));
    textBox_->SetHint(textLabel_->Hint());
    // The text box starts just right of its label and keeps its right edge.
    const int right = textBox_->Left() + textBox_->Width();
    const int left = textLabel_->Left() + textLabel_->Width() + kLabelGap;
    textBox_->SetBounds(left, textBox_->Top(), right - left, textBox_->Height());
}

void TTextCriterionDetailPanel::DoUpdateControls() {
    TAbstractCriterionDetailPanel::DoUpdateControls();
    if (const std::optional<std::string> text = ParamText(Obj.Get(), std::string("params/") + texts_.Param)) {
        textBox_->SetText(TextForWindow(*text));
        textBox_->AddToHistory();
    }
}

void TTextCriterionDetailPanel::SetWindow(HWND wnd) {
    textBox_->SetText(TextForWindow(WindowText(wnd)));
    StoreText();
}

void TTextCriterionDetailPanel::PreviewWindow(HWND wnd) {
    textBox_->SetText(TextForWindow(WindowText(wnd)));
    textBox_->AddToHistory();
}

void TTextCriterionDetailPanel::StoreFocusedControl() {
    if (textBox_->Focused())
        StoreText();
}

bool TTextCriterionDetailPanel::FocusedControlChanged() {
    if (!textBox_->Focused())
        return false;
    const std::optional<std::string> stored = ParamText(Obj.Get(), std::string("params/") + texts_.Param);
    return stored.has_value() && *stored != TextFromWindow(textBox_->Text());
}

void TTextCriterionDetailPanel::StoreText() {
    SetParamValue(texts_.Param, Variant(TextFromWindow(textBox_->Text())));
}

void TTextCriterionDetailPanel::EditKeyPress(char& key) {
    if (key != '\r')
        return;
    const int caret = textBox_->SelStart();
    StoreText();
    textBox_->SetSel(caret, 0);
}

TWindowCaptionCriterionDetailPanel::TWindowCaptionCriterionDetailPanel(TParent parent)
    : TTextCriterionDetailPanel(parent, {"window_caption", "WCCDP_Caption", "WCCDP_Hint"},
                                "window caption:  ", kCaptionFrame, kCaptionComboWidth),
      WindowCaptionLabel(textLabel_), WindowCaptionComboBox(textBox_) {
    const std::pair<TRadioButton*&, std::pair<TDesignBounds, const char*>> radios[] = {
        {ExactSearchTrueRadioButton, {kExactRadio, "exact match"}},
        {ExactSearchFalseRadioButton, {kSubstringRadio, "substring"}}};
    for (const auto& [radio, design] : radios) {
        radio = Create<TRadioButton>(this, TParent(this).At(design.first));
        radio->SetCaption(design.second);
        radio->OnClick = [this](TComponent*) { StoreExactSearch(); };
    }
}

void TWindowCaptionCriterionDetailPanel::Localize() {
    TTextCriterionDetailPanel::Localize();
    WindowCaptionComboBox->SetHint(Translate("WCCDP_Hint", WindowCaptionLabel->Hint()));
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

TWindowClassCriterionDetailPanel::TWindowClassCriterionDetailPanel(TParent parent)
    : TTextCriterionDetailPanel(parent, {"window_class_name", "WClCDP_Caption", "WClCDP_Hint"},
                                "window class:  ", SIZE{kClassFrameWidth, kBaseFrame.cy}, kClassComboWidth),
      WindowClassLabel(textLabel_), WindowClassComboBox(textBox_) {}

std::string TWindowClassCriterionDetailPanel::WindowText(HWND wnd) {
    return GetWindowClassName(wnd);
}
