#pragma once

#include "AbstractDetailPanel.h"

#include <windows.h>

#include <string>

class TKLVCheckBox;
class THistoryComboBox;
class TLabel;
class TRadioButton;

// A criterion's switch "enabled"; the picker hands it the window the user points at.
class TAbstractCriterionDetailPanel : public TAbstractDetailPanel {
public:
    // parent carries the frame's designed place.
    explicit TAbstractCriterionDetailPanel(TParent parent);

    virtual void SetWindow(HWND wnd);
    // Shows what SetWindow would store, without storing it.
    virtual void PreviewWindow(HWND wnd);

    TKLVCheckBox* EnabledCheckBox = nullptr;

protected:
    void DoUpdateControls() override;
    void EnabledCheckBoxClick();
};

// A criterion on one text of the window: a label, the text with its history, and the
// parameter that holds it.
class TTextCriterionDetailPanel : public TAbstractCriterionDetailPanel {
public:
    void Localize() override;
    void SetWindow(HWND wnd) override;
    void PreviewWindow(HWND wnd) override;
    // The typed text, when the text box has the focus.
    void StoreFocusedControl() override;
    bool FocusedControlChanged() override;

protected:
    struct TTexts {
        const char* Param;
        const char* CaptionKey;
        const char* HintKey;
    };
    TTexts texts_;

    TTextCriterionDetailPanel(TParent parent, const TTexts& texts, const char* caption, SIZE frame,
                              int comboWidth);
    // The criterion's label and text box; each panel publishes them under its own names.
    TLabel* const textLabel_;
    THistoryComboBox* const textBox_;
    void DoUpdateControls() override;
    // The window's text that this criterion matches.
    virtual std::string WindowText(HWND wnd) = 0;
    void StoreText();
    void EditKeyPress(char& key);
};

class TWindowCaptionCriterionDetailPanel : public TTextCriterionDetailPanel {
public:
    explicit TWindowCaptionCriterionDetailPanel(TParent parent);
    void Localize() override;

    TLabel* const WindowCaptionLabel;
    THistoryComboBox* const WindowCaptionComboBox;
    TRadioButton* ExactSearchTrueRadioButton = nullptr;
    TRadioButton* ExactSearchFalseRadioButton = nullptr;

    void StoreCaption() { StoreText(); }
    void StoreExactSearch();

protected:
    void DoUpdateControls() override;
    std::string WindowText(HWND wnd) override;
};

class TWindowClassCriterionDetailPanel : public TTextCriterionDetailPanel {
public:
    explicit TWindowClassCriterionDetailPanel(TParent parent);

    TLabel* const WindowClassLabel;
    THistoryComboBox* const WindowClassComboBox;

    void StoreClassName() { StoreText(); }

protected:
    std::string WindowText(HWND wnd) override;
};
