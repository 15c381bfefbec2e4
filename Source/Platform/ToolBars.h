#pragma once

#include "CommandAction.h"
#include "Controls.h"

#include <commctrl.h>

#include <string>
#include <vector>

class TImageList;
class TMenuItem;
class TPopupMenu;
class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// One button of a tool bar. Bound to an action it shows the action's caption, image, hint and
// state and runs it when pressed. With a menu item, pressing drops the item's sub-menu down
// (a menu bar's button); with a drop-down menu, that menu.
class TToolButton : public TComponent, public TActionClient {
public:
    explicit TToolButton(TComponent* owner = nullptr);
    ~TToolButton() override;

    // Places the button on bar at index (-1: last); null takes it off.
    void SetToolBar(TToolBar* bar, int index = -1);
    int Index() const;
    int Command() const noexcept { return command_; }
    RECT BoundsRect() const;

    TToolButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TToolButtonStyle style);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& caption);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& hint);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Grouped = false;
    // A separator's width; other buttons size by their bar.
    int Width() const noexcept { return width_; }
    void SetWidth(int width);

    TCommandAction* Action() const noexcept { return action_; }
    void SetAction(TCommandAction* action);
    TMenuItem* MenuItem() const noexcept { return menuItem_; }
    void SetMenuItem(TMenuItem* item);
    TPopupMenu* DropdownMenu() const noexcept { return dropdown_; }
    void SetDropdownMenu(TPopupMenu* menu);

    TNotifyEvent OnClick;
    // The drop-down if there is one, else the action, else OnClick.
    virtual void Click();
    // Drops the menu item's sub-menu or the drop-down menu under the button; false if none.
    bool CheckMenuDropdown();

    void ActionChanged(const TCommandAction& action) override;
    void ActionDestroyed(const TCommandAction& action) noexcept override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TToolBar;
    TBBUTTON Describe() const;
    void Refresh();

    TToolBar* bar_ = nullptr;
    int command_;
    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    std::string caption_;
    std::string hint_;
    int imageIndex_ = -1;
    bool enabled_ = true;
    bool autoSize_ = false;
    int width_ = 0;
    TCommandAction* action_ = nullptr;
    TMenuItem* menuItem_ = nullptr;
    TPopupMenu* dropdown_ = nullptr;
};

// A flat, list-style tool bar without a divider, with tooltips. Its buttons are
// TToolButton components. With captions shown and buttons that carry menu items it serves as
// a form's menu bar (TForm::SetMenuBar). With AutoSize it takes the size of its buttons.
class TToolBar : public TWinControl {
public:
    TToolBar(TComponent* owner, TParent parent);
    ~TToolBar() override;

    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    TToolButton* Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    TToolButton* FindButton(int command) const noexcept;

    TImageList* Images() const noexcept { return images_; }
    void SetImages(TImageList* images);
    void SetShowCaptions(bool show);
    void SetButtonWidth(int width);
    bool AutoSize = true;
    // Sizes the bar to its buttons (with AutoSize).
    void AdjustSize();

    // Drops down the button whose caption marks letter with "&"; false when none does.
    bool TrackAccelerator(char letter);

    // The keyboard's way into a menu bar (F10 or a lone Alt): the first menu's button turns
    // hot; Left and Right move between the menus, Enter, Down or Up drop the hot one (and Left
    // and Right in a dropped menu go on to the next), Esc, F10, Alt or a click leave.
    void EnterMenuMode();
    void LeaveMenuMode() noexcept;
    bool InMenuMode() const noexcept { return hotMenu_ >= 0; }
    // A key message while in menu mode; true when it was used up.
    bool MenuKey(const MSG& msg);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    friend class TToolButton;
    void InsertButton(TToolButton* button, int index);
    void RemoveButton(TToolButton* button) noexcept;
    void UpdateButton(TToolButton* button);
    // The next enabled button with a menu from index in direction step (1 or -1), round the
    // bar; -1 when there is none.
    int NextMenuButton(int index, int step) const noexcept;
    void SetHotMenu(int index) noexcept;
    // Drops the menu of the button at index; Left and Right in it drop the neighbours' in turn.
    // From the keyboard the menu opens with its first item highlighted.
    void DropMenus(int index, bool fromKeyboard);
    static LRESULT CALLBACK MenuFilter(int code, WPARAM wp, LPARAM lp) noexcept;

    std::vector<TToolButton*> buttons_;
    TImageList* images_ = nullptr;
    bool showCaptions_ = false;
    int hotMenu_ = -1;
    // Set by Left (-1) or Right (1) in a dropped menu: the neighbour's menu comes next.
    int menuStep_ = 0;
    // The last item highlighted in a dropped menu: its flags and the menu it is in.
    UINT selectedFlags_ = 0;
    HMENU selectedMenu_ = nullptr;
    HMENU droppedMenu_ = nullptr;
};
