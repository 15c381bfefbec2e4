#include "uCBAppForm.h"

#include <commctrl.h>

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

    ControlBar = Create<TControlBar>(this);
    ControlBar->SetName("ControlBar");
    ControlBar->SetParent(this);
    ControlBar->SetHeight(Layout.ControlBarHeight);
    ControlBar->SetAlign(TAlign::alTop);

    MenuToolBar = Create<TToolBar>(this);
    MenuToolBar->SetName("MenuToolBar");
    MenuToolBar->SetParent(ControlBar);
    MenuToolBar->SetShowCaptions(true);
    MenuToolBar->SetButtonWidth(Layout.MenuButtonWidth);
    MenuToolBar->SetImages(&ToolBarImages);
    MenuToolBar->SetLeft(Layout.BarLeft);
    MenuToolBar->SetTop(Layout.MenuBarTop);
    SetMenuBar(MenuToolBar);

    ToolBarToolBar = Create<TToolBar>(this);
    ToolBarToolBar->SetName("ToolBarToolBar");
    ToolBarToolBar->SetParent(ControlBar);
    ToolBarToolBar->SetImages(&ToolBarImages);
    ToolBarToolBar->SetLeft(Layout.BarLeft);
    ToolBarToolBar->SetTop(Layout.ToolBarTop);

    TreeView = Create<TTreeView>(this);
    TreeView->SetName("TreeView");
    TreeView->SetParent(this);
    TreeView->SetWidth(Layout.TreeWidth);
    TreeView->SetAlign(TAlign::alLeft);
    TreeView->SetImages(&TreeViewImages);
    TreeView->SetStateImages(&TreeViewStateImages);
    TreeView_SetIndent(TreeView->Handle(), Layout.TreeIndent);

    Splitter = Create<TSplitter>(this);
    Splitter->SetName("Splitter");
    Splitter->SetParent(this);
    Splitter->SetAlign(TAlign::alLeft);
    // Right of the tree: of two controls at one place on a side, the one placed last would come
    // first, and the splitter would sit at the window's edge with nothing to resize.
    Splitter->SetBounds(Layout.TreeWidth, 0, Layout.SplitterWidth, Splitter->Height());

    DetailPanel = Create<TPanel>(this);
    DetailPanel->SetName("DetailPanel");
    DetailPanel->SetParent(this);
    DetailPanel->SetBevelOuter(TBevelCut::bvNone);
    DetailPanel->SetAlign(TAlign::alClient);

    // Made while the form loads, so that it chains itself into the form's events.
    FormStorage = Create<TFormStorage>(this);
    FormStorage->SetName("FormStorage");
    BeginLoading();
    FormStorage->SetUseRegistry(true);
    FormStorage->SetIniFileName(PlacementKey);
    FormStorage->SetStoredProps(StoredProperties);
    EndLoading();
}

TCBAppForm::~TCBAppForm() {
    MarkDestroying();
}
