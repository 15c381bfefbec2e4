#pragma once

#include "AbstractDetailPanel.h"

#include <optional>
#include <string>

class TCheckBox;
class TEdit;
class TGroupBox;
class TKLVCheckBox;
class TLabel;
class TTrackBar;
class TUpDown;

// The level a change of the level edit stands for. A digit typed in front of a shown "0"
// (text d + "0", caret after the digit) means that digit; any other text means its number.
// None when the text is no level.
std::optional<int> LevelFromEditText(const std::string& shownBefore, const std::string& text, int caret);

// Edits the transparency level of a transparency action (0 to 100).
class TTransparentWindowActionDetailPanel_ZEP : public TAbstractDetailPanel {
public:
    explicit TTransparentWindowActionDetailPanel_ZEP(TParent parent);

    void Localize() override;

    // "transparency_level" as a whole number; 100 when it is missing or no number.
    int GetLevel();
    void SetLevel(int level);
    // The typed level, when the level box has the focus.
    void StoreFocusedControl() override;

    TGroupBox* GroupBox = nullptr;
    TLabel* TransparencyLevelLabel = nullptr;
    TTrackBar* TransparencyLevelTrackBar = nullptr;
    TEdit* TransparencyLevelEdit = nullptr;
    TUpDown* TransparencyLevelUpDown = nullptr;

protected:
    void DoUpdateControls() override;

    void TransparencyLevelTrackBarChange();
    void TransparencyLevelUpDownClick();
    void TransparencyLevelEditChange();
    // Stores the box's text when it is a level; either way the box then shows the level held.
    void StoreLevelText();

    // The edit's text as the panel last showed it.
    std::string shownLevelText_;
};

// The level and three switches of the rule's template: transparent only while inactive,
// ghost mode, stay on top.
class TTransparentWindowActionDetailPanel_GLZ : public TTransparentWindowActionDetailPanel_ZEP {
public:
    explicit TTransparentWindowActionDetailPanel_GLZ(TParent parent);

    void Localize() override;
    void SetObject(IBOMObject* obj) override;

    void SetFlag(const std::string& path, bool flag);
    bool IsInactiveMode();

    TKLVCheckBox* InactiveTransparencyCheckBox = nullptr;
    TKLVCheckBox* StayOnTopCheckBox = nullptr;
    TKLVCheckBox* GhostWindowCheckBox = nullptr;

protected:
    void DoUpdateControls() override;

    void InactiveTransparencyCheckBoxClick();
    void StayOnTopCheckBoxClick();
    void GhostWindowCheckBoxClick();
};
