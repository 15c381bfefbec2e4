#pragma once

#include "CommandAction.h"
#include "Components.h"
#include "Handles.h"

#include <windows.h>

#include <string>
#include <vector>

class TImageList;
class TPopupMenu;

// One item of a pop-up menu; the items under it form its sub-menu. The list of sub-items does
// not own them (their owners do). A caption of "-" makes a separator. Bound to an action, the
// item shows the action's caption, short-cut, image and state and runs the action when chosen.
// The sub-menu is built again each time it opens (WM_INITMENUPOPUP), after its actions updated.
class TMenuItem : public TComponent, public TActionClient {
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    ~TMenuItem() override;

    std::string Caption;
    std::string Hint;
    int ImageIndex = -1;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    TShortCut ShortCut = 0;
    TNotifyEvent OnClick;
    // Images of the sub-menu's items; when none, the parent's (or the pop-up menu's).
    TImageList* SubMenuImages = nullptr;

    bool IsSeparator() const noexcept { return Caption == "-"; }
    TCommandAction* Action() const noexcept { return action_; }
    void SetAction(TCommandAction* action);

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const noexcept { return parent_; }
    // The pop-up menu whose top item this is (through the parents), or null.
    TPopupMenu* GetParentMenu() const noexcept;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item) noexcept;
    int IndexOf(const TMenuItem* item) const noexcept;

    // The action's Execute, else OnClick.
    virtual void Click();
    // Shows the sub-menu at the screen point (owner: a window of this thread that gets the
    // menu messages); runs the chosen item after the menu has closed and answers it.
    TMenuItem* Popup(int x, int y, HWND owner);
    // The sub-menu, filled with the items as they are now.
    HMENU Handle();
    UINT Command() const noexcept { return command_; }
    TImageList* Images() const noexcept;

    // Menu messages that reach any window of the layer: WM_INITMENUPOPUP, and
    // WM_MEASUREITEM/WM_DRAWITEM of item images. True when one was handled.
    static bool HandleOwnerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) noexcept;
    static TMenuItem* FindCommand(UINT command) noexcept;

    void ActionChanged(const TCommandAction& action) override;
    void ActionDestroyed(const TCommandAction& action) noexcept override;

private:
    void Rebuild();
    std::string MenuText() const;

    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TPopupMenu* menu_ = nullptr;
    TCommandAction* action_ = nullptr;
    UniqueMenu handle_;
    UINT command_ = 0;

    friend class TPopupMenu;
};

// A pop-up menu: its top item's sub-items, shown by Popup.
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner = nullptr);
    ~TPopupMenu() override;

    TMenuItem& Items() noexcept { return items_; }
    TImageList* Images = nullptr;

    // Shows the menu at the screen point (owner: a window of this thread that gets the menu
    // messages); runs the chosen item after the menu has closed. Answers the chosen item.
    TMenuItem* Popup(int x, int y, HWND owner);

private:
    TMenuItem items_;
};
