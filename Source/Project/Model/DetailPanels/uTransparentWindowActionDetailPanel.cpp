#include "uTransparentWindowActionDetailPanel.h"

#include "CheckBox.h"
#include "DetailPanelRoutines.h"
#include "MultiLanguages.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "QuendaWindows.h"
#include "RuleTextNumbers.h"
#include "StdCtrls.h"

#include <algorithm>
#include <utility>

namespace {

// Layout of both panels, in pixels, as designed.
struct TLevelLayout {
    SIZE Frame;
    int TrackBarWidth;
};
constexpr TLevelLayout kZep{{513, 94}, 497};
constexpr TLevelLayout kGlz{{491, 147}, 475};
constexpr POINT kLabel{15, 24};
// The track bar's width is the panel's (kZep or kGlz).
constexpr POINT kTrackBar{8, 45};
constexpr int kTrackBarHeight = 45;
constexpr TDesignBounds kEdit{115, 21, 62, 21};
constexpr TDesignBounds kUpDown{177, 21, 12, 21};
constexpr int kLabelGap = 5;
constexpr int kMaxLevel = 100;
constexpr int kSwitchLeft = 16;
constexpr int kSwitchWidth = 467;
constexpr int kSwitchHeight = 17;
constexpr int kInactiveTop = 90;
constexpr int kGhostTop = 108;
constexpr int kStayOnTopTop = 126;

// Template items, from the action through the rule's "actions" collection to the rule.
constexpr char kToRule[] = "../../";
constexpr char kEnabled[] = "/params/enabled";
constexpr char kActivateTrigger[] = "triggers/ActivateWindowMessageTrigger";
constexpr char kInActivateTrigger[] = "triggers/InActivateWindowMessageTrigger";
constexpr char kCreateTrigger[] = "triggers/CreateMessageTrigger";
constexpr char kCreateAgent[] = "triggers/CreateMessageTrigger/agents/WMCreateEvent";
constexpr char kStayOnTopAgent[] = "triggers/CreateMessageTrigger/agents/StayOnTopWMCreateEventAgent";
constexpr char kStayOnTopAction[] = "actions/StayOnTop";
constexpr char kGhostAction[] = "actions/GhostWindow";

// The loaded configuration the action belongs to; null for an action outside one.
TQuendaWindows* ConfigurationOf(IBOMObject* action) {
    ComPtr<IBOMObject> root = action != nullptr ? action->ResolvePath("/") : nullptr;
    return dynamic_cast<TQuendaWindows*>(root.Get());
}

std::string EnabledPath(const char* item) {
    return std::string(kToRule) + item + kEnabled;
}

constexpr char kLevelParam[] = "transparency_level";
constexpr char kLevelPath[] = "params/transparency_level";

// A whole number as the user types or pastes it (a sign or none, decimal digits of any length),
// counted within 0 to 100: a large number means "at most". None when the text is no whole number.
std::optional<int> TypedLevel(const std::string& text) {
    std::size_t at = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (at == text.size())
        return std::nullopt;
    int value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9')
            return std::nullopt;
        value = std::min(value * 10 + (text[at] - '0'), kMaxLevel);
    }
    return text[0] == '-' ? 0 : value;
}

} // namespace

std::optional<int> LevelFromEditText(const std::string& shownBefore, const std::string& text, int caret) {
    if (shownBefore == "0" && text.size() == 2 && text[1] == '0' && text[0] >= '1' && text[0] <= '9' &&
        caret == 1)
        return text[0] - '0';
    return TypedLevel(text);
}

TTransparentWindowActionDetailPanel_ZEP::TTransparentWindowActionDetailPanel_ZEP(TParent parent)
    : TAbstractDetailPanel(parent.At({0, 0, kZep.Frame.cx, kZep.Frame.cy})) {
    GroupBox = CreateClientGroupBox(this, " Transparency options ");

    TransparencyLevelLabel = Create<TLabel>(this, GroupBox);
    TransparencyLevelLabel->SetBounds(kLabel.x, kLabel.y, 0, 0);
    TransparencyLevelLabel->SetCaption("Transparency level:");

    TransparencyLevelEdit = Create<TEdit>(this, TParent(GroupBox).At(kEdit));
    TransparencyLevelEdit->SetText("100");
    TransparencyLevelEdit->OnChange = [this](TComponent*) { TransparencyLevelEditChange(); };
    TransparencyLevelEdit->OnExit = [this](TComponent*) { StoreLevelText(); };
    TransparencyLevelLabel->FocusControl = TransparencyLevelEdit;

    TransparencyLevelUpDown = Create<TUpDown>(this, TParent(GroupBox).At(kUpDown));
    TransparencyLevelUpDown->SetRange(0, kMaxLevel);
    TransparencyLevelUpDown->SetAssociate(TransparencyLevelEdit);
    // Binding narrows the edit by the arrows' width: the design has both side by side.
    PlaceAsDesigned(TransparencyLevelEdit, kEdit);
    PlaceAsDesigned(TransparencyLevelUpDown, kUpDown);
    TransparencyLevelUpDown->SetPosition(kMaxLevel);
    TransparencyLevelUpDown->SetIncrement(1);
    TransparencyLevelUpDown->SetWrap(false);
    TransparencyLevelUpDown->OnClickButton = [this](TComponent*, TUDBtnType) {
        TransparencyLevelUpDownClick();
    };
    // Made after the number field: the focus moves down the page from it to the track bar.
    TransparencyLevelTrackBar = Create<TTrackBar>(
        this, TParent(GroupBox).At({kTrackBar.x, kTrackBar.y, kZep.TrackBarWidth, kTrackBarHeight}));
    TransparencyLevelTrackBar->SetAnchors(akLeft | akTop | akRight);
    TransparencyLevelTrackBar->SetRange(0, kMaxLevel);
    TransparencyLevelTrackBar->SetFrequency(10);
    TransparencyLevelTrackBar->SetTickMarks(TTickMark::tmBottomRight);
    TransparencyLevelTrackBar->SetPosition(kMaxLevel);
    TransparencyLevelTrackBar->OnChange = [this](TComponent*) { TransparencyLevelTrackBarChange(); };
    shownLevelText_ = TransparencyLevelEdit->Text();
}

void TTransparentWindowActionDetailPanel_ZEP::Localize() {
    TAbstractDetailPanel::Localize();
    GroupBox->SetCaption(TranslatePadded("TWADP_Caption", GroupBox->Caption()));
    TransparencyLevelLabel->SetCaption(
        Translate("TWADP_TransparencyLevel", TransparencyLevelLabel->Caption()) + " ");
    TransparencyLevelEdit->SetLeft(TransparencyLevelLabel->Left() + TransparencyLevelLabel->Width() +
                                   kLabelGap);
    TransparencyLevelUpDown->SetLeft(TransparencyLevelEdit->Left() + TransparencyLevelEdit->Width());
}

int TTransparentWindowActionDetailPanel_ZEP::GetLevel() {
    // As the window library reads it, so that the box shows what a window gets.
    return TransparencyLevelInForce(ParamText(Obj.Get(), kLevelPath).value_or(""));
}

void TTransparentWindowActionDetailPanel_ZEP::SetLevel(int level) {
    SetParamValue(kLevelParam, Variant(std::to_string(level)));
}

void TTransparentWindowActionDetailPanel_ZEP::DoUpdateControls() {
    TAbstractDetailPanel::DoUpdateControls();
    const int level = GetLevel();
    // Values set from code raise no change events: the three controls only show the level.
    TransparencyLevelUpDown->SetPosition(level);
    TransparencyLevelEdit->SetText(std::to_string(level));
    shownLevelText_ = TransparencyLevelEdit->Text();
    TransparencyLevelTrackBar->SetPosition(level);
    // A change that came from elsewhere (the arrows, the track bar) while the box was not being
    // typed in is no typing of the box.
    if (!TransparencyLevelEdit->Focused())
        levelTyped_ = false;
}

void TTransparentWindowActionDetailPanel_ZEP::TransparencyLevelTrackBarChange() {
    SetLevel(TransparencyLevelTrackBar->Position());
}

void TTransparentWindowActionDetailPanel_ZEP::TransparencyLevelUpDownClick() {
    SetLevel(TransparencyLevelUpDown->Position());
}

void TTransparentWindowActionDetailPanel_ZEP::TransparencyLevelEditChange() {
    const std::string text = TransparencyLevelEdit->Text();
    const std::string before = shownLevelText_;
    shownLevelText_ = text;
    if (!Obj || IsUpdatingControls())
        return;
    // The first change since the box was entered: the level held now is what the box gives back
    // when it is left with no level in it, not a number it passed through while being emptied.
    if (!std::exchange(levelTyped_, true)) {
        levelTextBefore_ = ParamText(Obj.Get(), kLevelPath);
        const TQuendaWindows* configuration = ConfigurationOf(Obj.Get());
        modifiedBefore_ = configuration != nullptr && configuration->Modified;
    }
    const std::optional<int> level = LevelFromEditText(before, text, TransparencyLevelEdit->SelStart());
    if (!level)
        return;
    SetLevel(*level);
    // A digit typed before the 0 was taken alone: the caret goes behind it.
    if (level != TypedLevel(text))
        TransparencyLevelEdit->SetSelStart(static_cast<int>(TransparencyLevelEdit->Text().size()));
}

void TTransparentWindowActionDetailPanel_ZEP::StoreFocusedControl() {
    if (TransparencyLevelEdit->Focused())
        StoreLevelText();
}

// A box the user did not type in stores nothing: the action keeps its text as the file has it
// (" 50", "-5"). Text that is no level ("abc", "5.5", nothing) is not kept on show, as the box
// would disagree with what is saved: the level held before the typing comes back.
void TTransparentWindowActionDetailPanel_ZEP::StoreLevelText() {
    if (!Obj || IsUpdatingControls() || !std::exchange(levelTyped_, false))
        return;
    const std::string text = TransparencyLevelEdit->Text();
    if (const std::optional<int> level = LevelFromEditText(text, text, 0))
        SetLevel(*level);
    else if (levelTextBefore_) {
        SetParamValue(kLevelParam, Variant(*levelTextBefore_));
        // Everything is as before the typing: so is whether the configuration counts as changed.
        if (TQuendaWindows* configuration = ConfigurationOf(Obj.Get()))
            configuration->Modified = modifiedBefore_;
    }
    UpdateControls();
}

TTransparentWindowActionDetailPanel_GLZ::TTransparentWindowActionDetailPanel_GLZ(TParent parent)
    : TTransparentWindowActionDetailPanel_ZEP(parent) {
    // Built at the size of the panel it extends; its anchored controls follow.
    SetBounds(0, 0, kGlz.Frame.cx, kGlz.Frame.cy);
    TransparencyLevelTrackBar->SetWidth(kGlz.TrackBarWidth);
    struct TSwitch {
        TKLVCheckBox*& Box;
        int Top;
        const char* Caption;
        const char* Hint;
        void (TTransparentWindowActionDetailPanel_GLZ::*Click)();
    };
    // In tab order, which is the order down the page.
    const TSwitch switches[] = {
        {InactiveTransparencyCheckBox, kInactiveTop, "set transparency only when window is not active",
         "If window is active it is opaque.\r\nIf window is not active it is transparent.",
         &TTransparentWindowActionDetailPanel_GLZ::InactiveTransparencyCheckBoxClick},
        {GhostWindowCheckBox, kGhostTop, "ghost mode will be active whenever the window becomes transparent",
         "Ghost mode allows mouse clicks and moves to be made \r\nthrough the top window to underlying "
         "windows.",
         &TTransparentWindowActionDetailPanel_GLZ::GhostWindowCheckBoxClick},
        {StayOnTopCheckBox, kStayOnTopTop, "keep window on top", "Keep window on top",
         &TTransparentWindowActionDetailPanel_GLZ::StayOnTopCheckBoxClick},
    };
    for (const TSwitch& s : switches) {
        s.Box = Create<TKLVCheckBox>(this,
                                     TParent(GroupBox).At({kSwitchLeft, s.Top, kSwitchWidth, kSwitchHeight}));
        s.Box->SetAnchors(akLeft | akTop | akRight);
        s.Box->SetCaption(s.Caption);
        s.Box->SetHint(s.Hint);
        s.Box->OnClick = [this, click = s.Click](TComponent*) { (this->*click)(); };
    }
}

void TTransparentWindowActionDetailPanel_GLZ::Localize() {
    TTransparentWindowActionDetailPanel_ZEP::Localize();
    const std::pair<TKLVCheckBox*, const char*> boxes[] = {
        {InactiveTransparencyCheckBox, "TWADP_InactiveTransparency"},
        {StayOnTopCheckBox, "TWADP_StayOnTop"},
        {GhostWindowCheckBox, "TWADP_GhostWindow"}};
    for (const auto& [box, key] : boxes) {
        box->SetCaption(TranslatePadded(key, box->Caption()));
        box->SetHint(TranslatePadded(std::string(key) + "Hint", box->Hint()));
    }
}

void TTransparentWindowActionDetailPanel_GLZ::SetObject(IBOMObject* obj) {
    TTransparentWindowActionDetailPanel_ZEP::SetObject(obj);
}

void TTransparentWindowActionDetailPanel_GLZ::SetFlag(const std::string& path, bool flag) {
    SetParamFlag(Obj.Get(), path, flag);
}

bool TTransparentWindowActionDetailPanel_GLZ::IsInactiveMode() {
    return ParamIsYes(Obj.Get(), EnabledPath(kActivateTrigger));
}

void TTransparentWindowActionDetailPanel_GLZ::DoUpdateControls() {
    TTransparentWindowActionDetailPanel_ZEP::DoUpdateControls();
    InactiveTransparencyCheckBox->SetChecked(IsInactiveMode());
    StayOnTopCheckBox->SetChecked(ParamIsYes(Obj.Get(), EnabledPath(kStayOnTopAgent)));
    GhostWindowCheckBox->SetChecked(ParamIsYes(Obj.Get(), EnabledPath(kGhostAction)));
}

void TTransparentWindowActionDetailPanel_GLZ::InactiveTransparencyCheckBoxClick() {
    if (IsUpdatingControls())
        return;
    // The mode follows the model's state, not the box's.
    const bool toAlways = IsInactiveMode();
    SetFlag(EnabledPath(kCreateTrigger), true);
    SetFlag(EnabledPath(kCreateAgent), toAlways);
    SetFlag(EnabledPath(kActivateTrigger), !toAlways);
    SetFlag(EnabledPath(kInActivateTrigger), !toAlways);
}

void TTransparentWindowActionDetailPanel_GLZ::StayOnTopCheckBoxClick() {
    if (IsUpdatingControls())
        return;
    SetFlag(EnabledPath(kStayOnTopAgent), StayOnTopCheckBox->Checked());
    SetFlag(EnabledPath(kStayOnTopAction), StayOnTopCheckBox->Checked());
    UpdateControls();
}

void TTransparentWindowActionDetailPanel_GLZ::GhostWindowCheckBoxClick() {
    if (IsUpdatingControls())
        return;
    SetFlag(EnabledPath(kGhostAction), GhostWindowCheckBox->Checked());
    UpdateControls();
}
