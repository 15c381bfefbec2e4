#include "uConditionDetailPanel.h"

#include "BOM_UI.h"
#include "DetailPanelRoutines.h"
#include "Errors.h"
#include "FindWindow.h"
#include "MultiLanguages.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "WinFuncs.h"
#include "uCriterionDetailPanels.h"

#include <algorithm>

namespace {

// Layout of the condition panel, in pixels, as designed. Its rows, top to bottom: the picker,
// then one per criterion in the criteria's order.
constexpr SIZE kFrame{201, 130};
constexpr int kFindWindowPanelHeight = 41;
constexpr TDesignBounds kDescription{40, 0, 148, 41};
constexpr TDesignBounds kFindWindow{4, 5, TFindWindow::Size, TFindWindow::Size};
// The group box's frame and caption around the picker and the criteria, at the least: a caption
// font taller than the designed one takes more, and no criterion may be cut off.
constexpr int kGroupBoxExtra = 10;

constexpr char kDescriptionText[] =
    "Drag target over a window to select it, then release the mouse button. In text boxes of the "
    "Target Window panel you can see values of selected window caption and class.";

// Windows that are no target of a rule: the desktop, the task bar, and the editor's own.
bool IsPickable(HWND wnd) {
    if (wnd == nullptr || wnd == GetDesktopWindow() || wnd == GetShellWindow())
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    if (process == GetCurrentProcessId())
        return false;
    const std::string windowClass = GetWindowClassName(wnd);
    return windowClass != "#32769" && windowClass != "Shell_TrayWnd" && windowClass != "Progman";
}

// The criterion panels inside the group box, in control order.
template <class F> void ForEachCriterionPanel(TGroupBox* box, F f) {
    for (int i = 0; i < box->ControlCount(); ++i)
        if (auto* panel = dynamic_cast<TAbstractCriterionDetailPanel*>(box->Controls(i)))
            f(*panel);
}

} // namespace

TConditionDetailPanel::TConditionDetailPanel(TParent parent)
    : TAbstractDetailPanel(parent.At({0, 0, kFrame.cx, kFrame.cy})) {
    CriterionsGroupBox = CreateClientGroupBox(this, " Target window ");

    FindWindowPanel = Create<TPanel>(this, CriterionsGroupBox);
    FindWindowPanel->SetBevelOuter(TBevelCut::bvNone);
    FindWindowPanel->SetHeight(kFindWindowPanelHeight);
    FindWindowPanel->SetAlign(TAlign::alTop);

    DescriptionLabel = Create<TLabel>(this, FindWindowPanel);
    DescriptionLabel->SetWordWrap(true);
    PlaceAsDesigned(DescriptionLabel, kDescription);
    DescriptionLabel->SetAnchors(akLeft | akTop | akRight | akBottom);
    DescriptionLabel->SetCaption(kDescriptionText);

    FindWindow = Create<TFindWindow>(this, TParent(FindWindowPanel).At(kFindWindow));
    FindWindow->SetSelectedChildWindow(false);
    FindWindow->BeforeSelectWindow = [this](TFindWindow&, HWND& wnd, bool& cancel) {
        FindWindowBeforeSelectWindow(wnd, cancel);
    };
    FindWindow->AfterSelectWindow = [this](TFindWindow&, HWND wnd) { FindWindowAfterSelectWindow(wnd); };
    FindWindow->AfterPick = [this](TFindWindow&, HWND wnd) { FindWindowAfterPick(wnd); };
}

void TConditionDetailPanel::SetObject(IBOMObject* obj) {
    TAbstractDetailPanel::SetObject(obj);
    ComPtr<IBOMCollection> criterions = Supports<IBOMCollection>(Obj->ResolvePath("criterions").Get());
    if (!criterions)
        throw EAssertionFailed("TAbstractCriterionDetailPanel.Init: Coudn\"t find Criterions - "
                               "{7C727E96-36BB-459F-AB6C-00D8C4CC1584}",
                               "uConditionDetailPanel", __LINE__);
    int height = FindWindowPanel->Height();
    for (int i = 0; i < criterions->Count(); ++i) {
        ComPtr<IUIElement> element = AsUIElement(criterions->Item(Variant(i)).Get());
        TAbstractDetailPanel* panel =
            element
                ? AsDetailPanel(element->GetDetailPanel("DefaultDetailPanel", CriterionsGroupBox->Handle()))
                : nullptr;
        if (panel == nullptr)
            continue;
        // Stacked below the picker in the criteria's order.
        ShowAsTopRow(panel);
        height += panel->Height();
    }
    // The frame is as high as the group box needs; the box fills it.
    SetClientSize(ClientWidth(), height + std::max(kGroupBoxExtra, CriterionsGroupBox->FrameHeight()));
}

void TConditionDetailPanel::Localize() {
    TAbstractDetailPanel::Localize();
    CriterionsGroupBox->SetCaption(TranslatePadded("CDP_Caption", CriterionsGroupBox->Caption()));
    FindWindow->SetHint(Translate("CDP_FindWindowHint", FindWindow->Hint()));
    DescriptionLabel->SetCaption(Translate("CDP_Description", DescriptionLabel->Caption()));
}

void TConditionDetailPanel::StoreFocusedControl() {
    ForEachCriterionPanel(CriterionsGroupBox,
                          [](TAbstractCriterionDetailPanel& panel) { panel.StoreFocusedControl(); });
}

bool TConditionDetailPanel::FocusedControlChanged() {
    bool changed = false;
    ForEachCriterionPanel(CriterionsGroupBox, [&changed](TAbstractCriterionDetailPanel& panel) {
        changed |= panel.FocusedControlChanged();
    });
    return changed;
}

void TConditionDetailPanel::FindWindowBeforeSelectWindow(HWND& wnd, bool& cancel) {
    // The configuration program's own window cannot be picked, nor the desktop or task bar.
    cancel = !IsPickable(wnd);
}

// While the user drags, the boxes show each window; the rule changes only when the button is
// released over one, so a drag that ends elsewhere or is cancelled leaves the rule as it was.
void TConditionDetailPanel::FindWindowAfterSelectWindow(HWND wnd) {
    ForEachCriterionPanel(CriterionsGroupBox,
                          [wnd](TAbstractCriterionDetailPanel& panel) { panel.PreviewWindow(wnd); });
}

void TConditionDetailPanel::FindWindowAfterPick(HWND wnd) {
    ForEachCriterionPanel(CriterionsGroupBox, [wnd](TAbstractCriterionDetailPanel& panel) {
        if (wnd != nullptr)
            panel.SetWindow(wnd);
        else
            panel.UpdateControls();
    });
}
