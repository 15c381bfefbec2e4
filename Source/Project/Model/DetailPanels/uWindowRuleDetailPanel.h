#pragma once

#include "AbstractDetailPanel.h"

#include <span>

class TEdit;
class TGroupBox;
class TKLVCheckBox;
class TPanel;
class TScrollBox;

// A window rule's name and switch, above the panel of its condition.
class TWindowRuleDetailPanel : public TAbstractDetailPanel {
public:
    explicit TWindowRuleDetailPanel(TParent parent);

    void Localize() override;
    void SetObject(IBOMObject* obj) override;
    // What the user typed into the focused control of the whole page: the name, or a
    // criterion's text.
    void StoreFocusedControl() override;
    // The same, telling a refused name or not (a menu that opens only shows what is typed).
    void StoreTypedValues(bool tellRefusedName);
    bool FocusedControlChanged() override;
    // True when the last StoreFocusedControl met a name the rule cannot take: the user was told
    // why, and the name box keeps the typed text and the focus.
    bool NameRefused() const noexcept { return nameRefused_; }
    // The page goes out of sight: a refused name still in the box is told if it was not, and
    // the box shows the rule's name again.
    void LeavePage();
    // The keyboard in the name box, its whole text selected to be typed over.
    void FocusName();

    TGroupBox* GroupBox = nullptr;
    TScrollBox* ScrollBox = nullptr;
    TPanel* MainPanel = nullptr;
    TKLVCheckBox* EnabledCheckBox = nullptr;
    TEdit* NameEdit = nullptr;

protected:
    void DoUpdateControls() override;
    // The paths of the rule's parts whose pages follow the name row, top to bottom.
    virtual std::span<const char* const> Rows() const;
    // Puts the "DefaultDetailPanel" of the object at path below what the scroll box holds.
    void EmbedPanel(const std::string& path);

    void EnabledCheckBoxClick();
    void NameEditExit();
    void NameEditKeyPress(char& key);

private:
    // Renames the rule to the typed name; a name it cannot take is told (when tell) and left in
    // the box. False when refused.
    bool StoreName(bool tell);
    // The name the box shows, as the model holds it.
    std::string TypedName() const;
    void TellRefusedName(const std::string& why);

    bool nameRefused_ = false;
    // The refused name the user was last told about.
    std::string toldName_;
    bool telling_ = false;
    bool leaving_ = false;
};

// The rule page of the configuration program: name row, target window, transparency.
class TSinglePurposeWindowRuleDetailPanel : public TWindowRuleDetailPanel {
public:
    using TWindowRuleDetailPanel::TWindowRuleDetailPanel;

protected:
    std::span<const char* const> Rows() const override;
};
