#pragma once

#include "ExtCtrls.h"
#include "FormPlacement.h"
#include "Forms.h"
#include "ImageList.h"
#include "ToolBars.h"
#include "TreeView.h"

// The configuration program's main window: a control bar with the menu bar and the tool bar,
// the rule tree, a splitter and the detail area. What it shows is the root's doing.
class TCBAppForm : public TForm {
public:
    explicit TCBAppForm(TComponent* owner = nullptr);
    ~TCBAppForm() override;

    TControlBar* ControlBar = nullptr;
    TToolBar* MenuToolBar = nullptr;
    TToolBar* ToolBarToolBar = nullptr;
    TTreeView* TreeView = nullptr;
    TSplitter* Splitter = nullptr;
    TPanel* DetailPanel = nullptr;
    // The window's placement and the bars' and tree's sizes, under the program's key.
    TFormStorage* FormStorage = nullptr;

    // The node images the model classes name by index, the enabled check states, and the
    // commands' images: 0 save, 1 add rule, 2 delete rule, 3 help contents, 4 launch.
    TImageList TreeViewImages{16, 16};
    TImageList TreeViewStateImages{16, 16};
    TImageList ToolBarImages{16, 16};

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    SIZE LeastSize() const;
    void KeepStoredSizesInside();
    // The tree narrowed, down to its floor, where the page would fall below its own beside it
    // in a client area that wide.
    void FitTreeBesidePage(int clientWidth);
};
