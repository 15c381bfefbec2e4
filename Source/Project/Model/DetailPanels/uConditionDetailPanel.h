#pragma once

#include "AbstractDetailPanel.h"

#include <windows.h>

class TFindWindow;
class TGroupBox;
class TLabel;
class TPanel;

// The target window of a rule: the picker above the condition's criterion panels.
class TConditionDetailPanel : public TAbstractDetailPanel {
public:
    explicit TConditionDetailPanel(TParent parent);

    void Localize() override;
    void SetObject(IBOMObject* obj) override;
    // What the user typed into a focused criterion.
    void StoreFocusedControl() override;
    bool FocusedControlChanged() override;

    TGroupBox* CriterionsGroupBox = nullptr;
    TPanel* FindWindowPanel = nullptr;
    TLabel* DescriptionLabel = nullptr;
    TFindWindow* FindWindow = nullptr;

protected:
    void FindWindowBeforeSelectWindow(HWND& wnd, bool& cancel);
    void FindWindowAfterSelectWindow(HWND wnd);
    void FindWindowAfterPick(HWND wnd);
};
