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
// (text d + "0", caret after the digit) means that digit; any other whole number (a sign or
// none, digits of any length) means its number within 0 to 100. None when the text is no level.
std::optional<int> LevelFromEditText(const std::string& shownBefore, const std::string& text, int caret);

// Edits the transparency level of a transparency action (0 to 100).
class TTransparentWindowActionDetailPanel_ZEP : public TAbstractDetailPanel {
public:
    explicit TTransparentWindowActionDetailPanel_ZEP(TParent parent);

    void Localize() override;

    // The level "transparency_level" puts in force on a window, as the window library reads it;
    // 100 when it is missing or no level.
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
    // Once the user typed in the box: stores its text when it is a level, else gives back the
    // level held before the typing; either way the box then shows the level held.
    void StoreLevelText();

    // The edit's text as the panel last showed it.
    std::string shownLevelText_;
    // The user changed the box's text since entering it or since it was last stored.
    bool levelTyped_ = false;
    // The level text the action held before that change, and whether the configuration counted
    // as changed then.
    std::optional<std::string> levelTextBefore_;
    bool modifiedBefore_ = false;
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
