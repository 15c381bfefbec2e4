#include "uCBAppForm.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The form's layout, as designed.
struct TLayout {
    int FormWidth = 608;
    int FormHeight = 467;
    int ControlBarHeight = 56;
    int BarLeft = 11;
    int MenuBarTop = 2;
    int ToolBarTop = 28;
    int MenuButtonWidth = 43;
    int TreeWidth = 161;
    int SplitterWidth = 5;
    int TreeIndent = 19;
    // The page stays usable: its level row whole, its text boxes with room to type, the name
    // row and the target below the bars.
    int PageMinWidth = 250;
    int PageMinHeight = 150;
};
constexpr TLayout Layout;

constexpr const char* PlacementKey = "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows";
const std::vector<std::string> StoredProperties = {
    "TreeView.Width",       "MenuToolBar.Height",  "MenuToolBar.Left",
    "MenuToolBar.Top",      "MenuToolBar.Width",   "ToolBarToolBar.Top",
    "ToolBarToolBar.Width", "ToolBarToolBar.Left", "ToolBarToolBar.Height",
};

// The pictures' mask colour: magenta pixels are transparent.
constexpr COLORREF PictureMask = RGB(255, 0, 255);

// The right edge of the last button of a bar: its width when all its buttons show.
int ButtonsWidth(const TToolBar* bar) {
    int right = 0;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        right = std::max(right, static_cast<int>(bar->Buttons(i)->BoundsRect().right));
    return right;
}

} // namespace

TCBAppForm::TCBAppForm(TComponent* owner) : TForm(owner, "TCBAppForm") {
    SetName("CBAppForm");
    SetBounds(0, 0, Layout.FormWidth, Layout.FormHeight);
    SetPosition(TPosition::poScreenCenter);

    TreeViewImages.AddResource("TREEVIEWIMAGES", PictureMask);
    TreeViewStateImages.AddResource("TREEVIEWSTATEIMAGES", PictureMask);
    ToolBarImages.AddResource("TOOLBARIMAGES", PictureMask);

    ControlBar = Create<TControlBar>(this, this);
    ControlBar->SetName("ControlBar");
    ControlBar->SetHeight(Layout.ControlBarHeight);
    ControlBar->SetAlign(TAlign::alTop);

    MenuToolBar = Create<TToolBar>(this, ControlBar);
    MenuToolBar->SetName("MenuToolBar");
    MenuToolBar->SetShowCaptions(true);
    MenuToolBar->SetButtonWidth(Layout.MenuButtonWidth);
    MenuToolBar->SetImages(&ToolBarImages);
    MenuToolBar->SetLeft(Layout.BarLeft);
    MenuToolBar->SetTop(Layout.MenuBarTop);
    SetMenuBar(MenuToolBar);

    ToolBarToolBar = Create<TToolBar>(this, ControlBar);
    ToolBarToolBar->SetName("ToolBarToolBar");
    ToolBarToolBar->SetImages(&ToolBarImages);
    ToolBarToolBar->SetLeft(Layout.BarLeft);
    ToolBarToolBar->SetTop(Layout.ToolBarTop);

    TreeView = Create<TTreeView>(this, this);
    TreeView->SetName("TreeView");
    TreeView->SetWidth(Layout.TreeWidth);
    TreeView->SetAlign(TAlign::alLeft);
    TreeView->SetImages(&TreeViewImages);
    TreeView->SetStateImages(&TreeViewStateImages);
    TreeView_SetIndent(TreeView->Handle(), Layout.TreeIndent);

    Splitter = Create<TSplitter>(this, this);
    Splitter->SetName("Splitter");
    Splitter->SetAlign(TAlign::alLeft);
    // Made after the tree, it sits right of it.
    Splitter->SetWidth(Layout.SplitterWidth);
    Splitter->MinRestSize = Layout.PageMinWidth;

    DetailPanel = Create<TPanel>(this, this);
    DetailPanel->SetName("DetailPanel");
    DetailPanel->SetBevelOuter(TBevelCut::bvNone);
    DetailPanel->SetAlign(TAlign::alClient);

    // Made while the form loads, so that it chains itself into the form's events.
    FormStorage = Create<TFormStorage>(this);
    FormStorage->SetName("FormStorage");
    BeginLoading();
    FormStorage->SetUseRegistry(true);
    FormStorage->SetIniFileName(PlacementKey);
    FormStorage->SetStoredProps(StoredProperties);
    FormStorage->OnRestorePlacement = [this](TComponent*) { KeepStoredSizesInside(); };
    EndLoading();
}

// The least size of the window: the whole of both bars, the tree and the page side by side at
// their floors, and the page at its floor below the bars.
SIZE TCBAppForm::LeastSize() const {
    const int bars = Layout.BarLeft + std::max(ButtonsWidth(MenuToolBar), ButtonsWidth(ToolBarToolBar)) +
                     ControlBar->Width() - ControlBar->ClientWidth();
    const int client = std::max(bars, Splitter->MinSize + Splitter->Width() + Layout.PageMinWidth);
    return {client + Width() - ClientWidth(),
            ControlBar->Height() + Layout.PageMinHeight + Height() - ClientHeight()};
}

// Stored sizes come from another screen or a hand-edited key: one that no longer fits would
// hide the page, a menu or a bar for good, and be written back as it is at every close.
void TCBAppForm::KeepStoredSizesInside() {
    // The bars first, in their two rows and whole: the control bar's height and the window's
    // floor follow from them.
    for (TToolBar* bar : {MenuToolBar, ToolBarToolBar})
        bar->SetBounds(bar->Left(), std::clamp(bar->Top(), 0, Layout.ToolBarTop),
                       std::max(bar->Width(), ButtonsWidth(bar)), bar->Height());
    const SIZE least = LeastSize();
    FormStorage->MinMaxInfo().SetMinTrackWidth(least.cx);
    FormStorage->MinMaxInfo().SetMinTrackHeight(least.cy);
    if (Width() < least.cx || Height() < least.cy)
        SetBounds(Left(), Top(), std::max<int>(Width(), least.cx), std::max<int>(Height(), least.cy));
    FitTreeBesidePage(ClientWidth());
    for (TToolBar* bar : {MenuToolBar, ToolBarToolBar}) {
        const int width = std::clamp(bar->Width(), 0, ControlBar->ClientWidth());
        const int height = std::clamp(bar->Height(), 0, ControlBar->ClientHeight());
        bar->SetBounds(std::clamp(bar->Left(), 0, ControlBar->ClientWidth() - width),
                       std::clamp(bar->Top(), 0, ControlBar->ClientHeight() - height), width, height);
    }
}

void TCBAppForm::FitTreeBesidePage(int clientWidth) {
    const int widest = std::max(Splitter->MinSize, clientWidth - Splitter->Width() - Splitter->MinRestSize);
    const int width = std::clamp(TreeView->Width(), Splitter->MinSize, widest);
    if (width != TreeView->Width())
        TreeView->SetWidth(width);
}

LRESULT TCBAppForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    // While the window is made narrower the page keeps its floor, as at the start: the tree
    // gives way first, before the page is laid out at the new size. A minimised window has no
    // width to fit.
    if (msg == WM_SIZE && wp != SIZE_MINIMIZED && Splitter != nullptr)
        FitTreeBesidePage(LOWORD(lp));
    return TForm::WndProc(msg, wp, lp);
}

TCBAppForm::~TCBAppForm() {
    MarkDestroying();
}
