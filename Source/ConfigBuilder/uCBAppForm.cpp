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

// Stored sizes come from another screen or a hand-edited key: one that no longer fits would
// hide the page or a bar for good, and be written back as it is at every close.
void TCBAppForm::KeepStoredSizesInside() {
    const int widest = std::max(Splitter->MinSize, ClientWidth() - Splitter->Width() - Splitter->MinSize);
    TreeView->SetWidth(std::clamp(TreeView->Width(), Splitter->MinSize, widest));
    for (TToolBar* bar : {MenuToolBar, ToolBarToolBar}) {
        const int width = std::clamp(bar->Width(), 0, ControlBar->ClientWidth());
        const int height = std::clamp(bar->Height(), 0, ControlBar->ClientHeight());
        bar->SetBounds(std::clamp(bar->Left(), 0, ControlBar->ClientWidth() - width),
                       std::clamp(bar->Top(), 0, ControlBar->ClientHeight() - height), width, height);
    }
}

TCBAppForm::~TCBAppForm() {
    MarkDestroying();
}
