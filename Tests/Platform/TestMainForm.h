#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Frame.h"
#include "ImageList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "ToolBars.h"
#include "TreeView.h"

// A main window built the way the configuration program's is: a control bar with a menu bar
// and a tool bar, a tree, a splitter and a detail area that hosts a frame.
struct TTestMainForm {
    struct TRulePanel : TFrame {
        TGroupBox* Group = Create<TGroupBox>(this, this);
        TCheckBox* Enabled = Create<TCheckBox>(this, Group);
        TEdit* Name = Create<TEdit>(this, Group);
        TLabel* Level = Create<TLabel>(this, Group);
        TTrackBar* Track = Create<TTrackBar>(this, Group);
        explicit TRulePanel(TParent parent) : TFrame(nullptr, parent) {
            SetBounds(0, 0, 420, 150);
            Group->SetAlign(TAlign::alClient);
            Group->SetText(" Window rule ");
            Enabled->SetBounds(8, 22, 17, 17);
            Enabled->SetChecked(true);
            Name->SetBounds(27, 20, 380, 21);
            Name->SetAnchors(akLeft | akTop | akRight);
            Name->SetText("Window Rule 1");
            Level->SetBounds(15, 55, 0, 0);
            Level->SetText("Transparency level:");
            Track->SetBounds(8, 75, 400, 45);
            Track->SetAnchors(akLeft | akTop | akRight);
            Track->SetRange(0, 100);
            Track->SetFrequency(10);
            Track->SetPosition(70);
        }
    };

    TImageList Images{16, 16};
    TForm Form{nullptr, "TTestMainForm"};
    TControlBar* Bar = Create<TControlBar>(&Form, Form);
    TToolBar* MenuBar = Create<TToolBar>(&Form, Bar);
    TToolBar* Tools = Create<TToolBar>(&Form, Bar);
    TTreeView* Tree = Create<TTreeView>(&Form, Form);
    TSplitter* Splitter = Create<TSplitter>(&Form, Form);
    TPanel* Detail = Create<TPanel>(&Form, Form);
    TRulePanel Panel{Detail};
    TCommandAction FileMenu, Save, Exit, RuleMenu, Add, Delete;
    TToolButton* FileButton = nullptr;
    TToolButton* Separator = nullptr;
    int Saved = 0;

    TTestMainForm() {
        Form.SetText("Layer test");
        Form.SetClientSize(608, 400);
        Form.SetPosition(TPosition::poScreenCenter);
        Images.AddResource("TESTSTRIP", RGB(255, 0, 255));

        Bar->SetAlign(TAlign::alTop);
        MenuBar->SetLeft(11);
        MenuBar->SetTop(2);
        MenuBar->SetShowCaptions(true);
        MenuBar->SetImages(&Images);
        Tools->SetLeft(11);
        Tools->SetTop(28);
        Tools->SetImages(&Images);
        Form.SetMenuBar(MenuBar);

        Define(FileMenu, "AppFilesMenu", "&File", -1, "");
        Define(Save, "AppSave", "Save", 0, "Ctrl+S");
        Define(Exit, "AppExit", "Exit", -1, "");
        Define(RuleMenu, "WindowRuleMenu", "&Rule", -1, "");
        Define(Add, "WindowRuleAdd", "Add rule", 1, "Ctrl+A");
        Define(Delete, "WindowRuleDelete", "Delete rule", 2, "Ctrl+D");
        Save.OnExecute = [this](TCommandAction&) { ++Saved; };
        FileButton = AddGroup(FileMenu, {&Save, nullptr, &Exit});
        AddGroup(RuleMenu, {&Add, &Delete});
        for (TCommandAction* action : {&Save, static_cast<TCommandAction*>(nullptr), &Add, &Delete}) {
            auto* button = Create<TToolButton>(&Form);
            button->SetToolBar(Tools);
            if (action == nullptr) {
                button->SetStyle(TToolButtonStyle::tbsSeparator);
                Separator = button;
            } else {
                button->SetAction(action);
            }
        }
        for (TCommandAction* action : {&Save, &Add, &Delete})
            Form.AddAction(action);

        Tree->SetWidth(161);
        Tree->SetAlign(TAlign::alLeft);
        Tree->SetImages(&Images);
        TTreeNode root = Tree->InsertItem({}, "Window rules");
        root.SetImageIndex(0);
        root.AddChild("Window Rule 1").SetImageIndex(1);
        root.AddChild("Window Rule 2").SetImageIndex(2);
        root.Expand();
        Splitter->SetLeft(161);
        Detail->SetAlign(TAlign::alClient);
        Detail->SetBevelOuter(TBevelCut::bvNone);
        Panel.SetAlign(TAlign::alTop);
        Panel.Show();
    }

    void Define(TCommandAction& action, const char* name, const char* caption, int image,
                const char* shortCut) {
        action.Name = name;
        action.Caption = caption;
        action.Hint = caption;
        action.ImageIndex = image;
        action.SetShortCutText(shortCut);
    }

    // A menu-bar button that drops the group's items down (null: a separator).
    TToolButton* AddGroup(TCommandAction& group, std::initializer_list<TCommandAction*> items) {
        auto* button = Create<TToolButton>(&Form);
        button->SetToolBar(MenuBar);
        button->SetAutoSize(true);
        button->Grouped = true;
        button->SetAction(&group);
        auto* item = Create<TMenuItem>(button);
        item->SetAction(&group);
        item->SubMenuImages = &Images;
        for (TCommandAction* action : items) {
            auto* child = Create<TMenuItem>(item);
            if (action != nullptr)
                child->SetAction(action);
            else
                child->Caption.assign(1, '-'); // a separator
            item->Add(child);
        }
        button->SetMenuItem(item);
        return button;
    }
};
