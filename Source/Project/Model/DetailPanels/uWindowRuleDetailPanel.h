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
    bool FocusedControlChanged() override;
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
};

// The rule page of the configuration program: name row, target window, transparency.
class TSinglePurposeWindowRuleDetailPanel : public TWindowRuleDetailPanel {
public:
    using TWindowRuleDetailPanel::TWindowRuleDetailPanel;

protected:
    std::span<const char* const> Rows() const override;
};
