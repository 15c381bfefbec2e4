#include "ToolBars.h"

#include "Errors.h"
#include "ImageList.h"
#include "Menus.h"

#include <algorithm>
#include <cctype>

namespace {

int NextButtonCommand() noexcept {
    static thread_local int next = 100;
    if (next >= 0x7FFF)
        next = 100;
    return next++;
}

// The letter after a single "&" of caption, upper-cased; 0 when there is none.
char AcceleratorOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

} // namespace

TToolButton::TToolButton(TComponent* owner) : TComponent(owner), command_(NextButtonCommand()) {
    SetClassName("TToolButton");
}

TToolButton::~TToolButton() {
    MarkDestroying();
    SetAction(nullptr);
    if (bar_ != nullptr)
        bar_->RemoveButton(this);
}

void TToolButton::SetToolBar(TToolBar* bar, int index) {
    if (bar_ != nullptr) {
        RemoveFreeNotification(bar_);
        bar_->RemoveButton(this);
    }
    bar_ = bar;
    if (bar_ != nullptr) {
        FreeNotification(bar_);
        bar_->InsertButton(this, index);
    }
}

int TToolButton::Index() const {
    if (bar_ == nullptr)
        return -1;
    const auto& buttons = bar_->buttons_;
    const auto it = std::find(buttons.begin(), buttons.end(), this);
    return it == buttons.end() ? -1 : static_cast<int>(it - buttons.begin());
}

RECT TToolButton::BoundsRect() const {
    RECT r{};
    if (bar_ != nullptr)
        SendMessageA(bar_->Handle(), TB_GETRECT, static_cast<WPARAM>(command_), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TToolButton::Refresh() {
    if (bar_ != nullptr)
        bar_->UpdateButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle style) {
    style_ = style;
    if (style == TToolButtonStyle::tbsSeparator || style == TToolButtonStyle::tbsDivider) {
        autoSize_ = false;
        if (width_ == 0)
            width_ = 8;
    }
    Refresh();
}

void TToolButton::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    Refresh();
}

void TToolButton::SetImageIndex(int index) {
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    Refresh();
}

void TToolButton::SetHint(const std::string& hint) {
    hint_ = hint;
}

void TToolButton::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (bar_ != nullptr)
        SendMessageA(bar_->Handle(), TB_ENABLEBUTTON, static_cast<WPARAM>(command_),
                     MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void TToolButton::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    Refresh();
}

void TToolButton::SetWidth(int width) {
    width_ = width;
    Refresh();
}

void TToolButton::SetAction(TCommandAction* action) {
    TCommandAction::Bind(action_, action, *this);
}

void TToolButton::ActionChanged(const TCommandAction& action) {
    hint_ = action.Hint;
    const bool changed = caption_ != action.Caption || imageIndex_ != action.ImageIndex;
    caption_ = action.Caption;
    imageIndex_ = action.ImageIndex;
    if (changed)
        Refresh();
    SetEnabled(action.Enabled);
}

void TToolButton::ActionDestroyed(const TCommandAction& action) noexcept {
    if (&action == action_)
        action_ = nullptr;
}

void TToolButton::SetMenuItem(TMenuItem* item) {
    if (menuItem_ != nullptr)
        RemoveFreeNotification(menuItem_);
    menuItem_ = item;
    if (item != nullptr)
        FreeNotification(item);
    Refresh();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    if (dropdown_ != nullptr)
        RemoveFreeNotification(dropdown_);
    dropdown_ = menu;
    if (menu != nullptr)
        FreeNotification(menu);
    Refresh();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == bar_)
        bar_ = nullptr;
    if (component == menuItem_)
        menuItem_ = nullptr;
    if (component == dropdown_)
        dropdown_ = nullptr;
}

bool TToolButton::CheckMenuDropdown() {
    if (bar_ == nullptr || (menuItem_ == nullptr && dropdown_ == nullptr))
        return false;
    // The items show the state of what the user typed so far.
    if (action_ != nullptr)
        action_->Prepare();
    RECT r = BoundsRect();
    MapWindowPoints(bar_->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    SendMessageA(bar_->Handle(), TB_PRESSBUTTON, static_cast<WPARAM>(command_), MAKELPARAM(TRUE, 0));
    // The button stays pressed while its menu is open, also when the chosen item raises.
    struct Release {
        HWND bar;
        int command;
        ~Release() { SendMessageA(bar, TB_PRESSBUTTON, static_cast<WPARAM>(command), MAKELPARAM(FALSE, 0)); }
    } release{bar_->Handle(), command_};
    if (menuItem_ != nullptr)
        menuItem_->Popup(r.left, r.bottom, bar_->Handle());
    else
        dropdown_->Popup(r.left, r.bottom, bar_->Handle());
    return true;
}

void TToolButton::Click() {
    if (CheckMenuDropdown())
        return;
    if (action_ != nullptr)
        action_->Execute();
    else if (OnClick)
        OnClick(this);
}

TBBUTTON TToolButton::Describe() const {
    TBBUTTON button{};
    button.idCommand = command_;
    button.fsState = enabled_ ? TBSTATE_ENABLED : 0;
    if (style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider) {
        button.fsStyle = BTNS_SEP;
        button.iBitmap = width_ > 0 ? width_ : 8;
        return button;
    }
    BYTE style = style_ == TToolButtonStyle::tbsCheck ? BTNS_CHECK : BTNS_BUTTON;
    // A menu bar's button is an ordinary one, without an arrow: pressing it drops its menu.
    if (dropdown_ != nullptr || style_ == TToolButtonStyle::tbsDropDown)
        style |= BTNS_WHOLEDROPDOWN;
    if (autoSize_)
        style |= BTNS_AUTOSIZE;
    if (Grouped)
        style |= BTNS_GROUP;
    if (bar_ != nullptr && bar_->showCaptions_)
        style |= BTNS_SHOWTEXT;
    button.fsStyle = style;
    button.iBitmap =
        imageIndex_ >= 0 && bar_ != nullptr && bar_->images_ != nullptr ? imageIndex_ : I_IMAGENONE;
    button.iString =
        bar_ != nullptr && bar_->showCaptions_ ? reinterpret_cast<INT_PTR>(caption_.c_str()) : -1;
    return button;
}

TToolBar::TToolBar(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TToolBar");
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    CreateSystemWindow(parent, TOOLBARCLASSNAMEA,
                       WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                           TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                       0, 150, 22);
    SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(Handle(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(Handle(), TB_SETIMAGELIST, 0, 0);
}

TToolBar::~TToolBar() {
    MarkDestroying();
    for (TToolButton* button : buttons_)
        button->bar_ = nullptr;
    buttons_.clear();
}

TToolButton* TToolBar::FindButton(int command) const noexcept {
    for (TToolButton* button : buttons_)
        if (button->command_ == command)
            return button;
    return nullptr;
}

void TToolBar::SetImages(TImageList* images) {
    images_ = images;
    SendMessageA(Handle(), TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images != nullptr ? images->Handle() : nullptr));
    for (TToolButton* button : std::vector<TToolButton*>(buttons_))
        UpdateButton(button);
}

void TToolBar::SetShowCaptions(bool show) {
    showCaptions_ = show;
    for (TToolButton* button : std::vector<TToolButton*>(buttons_))
        UpdateButton(button);
}

void TToolBar::SetButtonWidth(int width) {
    SendMessageA(Handle(), TB_SETBUTTONWIDTH, 0, MAKELPARAM(width, width));
    AdjustSize();
}

void TToolBar::InsertButton(TToolButton* button, int index) {
    if (index < 0 || index > ButtonCount())
        index = ButtonCount();
    buttons_.insert(buttons_.begin() + index, button);
    const TBBUTTON description = button->Describe();
    if (!SendMessageA(Handle(), TB_INSERTBUTTONA, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&description))) {
        buttons_.erase(buttons_.begin() + index);
        throw Exception("TB_INSERTBUTTON failed");
    }
    AdjustSize();
}

void TToolBar::RemoveButton(TToolButton* button) noexcept {
    const auto it = std::find(buttons_.begin(), buttons_.end(), button);
    if (it == buttons_.end())
        return;
    const int index = static_cast<int>(it - buttons_.begin());
    buttons_.erase(it);
    if (Handle() != nullptr) {
        SendMessageA(Handle(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
        try {
            AdjustSize();
        } catch (...) {
            HandleException();
        }
    }
}

void TToolBar::UpdateButton(TToolButton* button) {
    const int index = button->Index();
    if (index < 0)
        return;
    // Style, width and text are fixed at insertion: the button goes in again in its place.
    SendMessageA(Handle(), TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    const TBBUTTON description = button->Describe();
    SendMessageA(Handle(), TB_INSERTBUTTONA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&description));
    AdjustSize();
}

void TToolBar::AdjustSize() {
    if (!AutoSize || Handle() == nullptr)
        return;
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
    SIZE size{};
    if (ButtonCount() == 0 || !SendMessageA(Handle(), TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size)))
        return;
    const RECT r = TWinControl::BoundsRect();
    if (size.cx != r.right - r.left || size.cy != r.bottom - r.top) {
        SetBounds(r.left, r.top, size.cx, size.cy);
        if (Parent() != nullptr)
            Parent()->Realign();
    }
}

bool TToolBar::TrackAccelerator(char letter) {
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (TToolButton* button : std::vector<TToolButton*>(buttons_))
        if (AcceleratorOf(button->caption_) == wanted && button->enabled_) {
            if (button->menuItem_ != nullptr)
                DropMenus(button->Index(), true);
            else
                button->Click();
            return true;
        }
    return false;
}

int TToolBar::NextMenuButton(int index, int step) const noexcept {
    const int count = ButtonCount();
    for (int i = 1; i <= count; ++i) {
        const int at = ((index + step * i) % count + count) % count;
        const TToolButton* button = buttons_[static_cast<size_t>(at)];
        if (button->menuItem_ != nullptr && button->enabled_)
            return at;
    }
    return -1;
}

void TToolBar::SetHotMenu(int index) noexcept {
    hotMenu_ = index;
    if (Handle() != nullptr)
        SendMessageA(Handle(), TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
}

void TToolBar::EnterMenuMode() {
    SetHotMenu(NextMenuButton(-1, 1));
}

void TToolBar::LeaveMenuMode() noexcept {
    if (hotMenu_ >= 0)
        SetHotMenu(-1);
}

bool TToolBar::MenuKey(const MSG& msg) {
    if (!InMenuMode() || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN))
        return false;
    switch (msg.wParam) {
    case VK_LEFT:
    case VK_RIGHT:
        if (const int next = NextMenuButton(hotMenu_, msg.wParam == VK_LEFT ? -1 : 1); next >= 0)
            SetHotMenu(next);
        return true;
    case VK_RETURN:
    case VK_DOWN:
    case VK_UP:
        DropMenus(hotMenu_, true);
        return true;
    case VK_SHIFT:
    case VK_CONTROL:
        return true;
    default:
        break;
    }
    // A letter drops its menu; Esc, F10, Alt and every other key leave the menu bar.
    const UINT character = MapVirtualKeyA(static_cast<UINT>(msg.wParam), MAPVK_VK_TO_CHAR);
    LeaveMenuMode();
    if (character != 0 && std::isalnum(static_cast<int>(character)))
        TrackAccelerator(static_cast<char>(character));
    return true;
}

namespace {
// The bar whose menu is dropped on this thread; its filter sees the menu's keys.
thread_local TToolBar* droppingBar = nullptr;
} // namespace

LRESULT CALLBACK TToolBar::MenuFilter(int code, WPARAM wp, LPARAM lp) noexcept {
    auto* msg = reinterpret_cast<MSG*>(lp);
    TToolBar* bar = droppingBar;
    if (code == MSGF_MENU && bar != nullptr && msg != nullptr && msg->message == WM_KEYDOWN) {
        // Left out of the dropped menu itself (not out of a sub-menu), Right from an item
        // without a sub-menu: on to the neighbour's menu.
        const bool left = msg->wParam == VK_LEFT &&
                          (bar->selectedMenu_ == nullptr || bar->selectedMenu_ == bar->droppedMenu_);
        const bool right = msg->wParam == VK_RIGHT && (bar->selectedFlags_ & MF_POPUP) == 0;
        if (left || right) {
            bar->menuStep_ = left ? -1 : 1;
            EndMenu();
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void TToolBar::DropMenus(int index, bool fromKeyboard) {
    TToolBar* const outer = droppingBar;
    struct TRestore {
        TToolBar* bar;
        TToolBar* outer;
        UniqueHook hook;
        ~TRestore() {
            hook.Reset();
            droppingBar = outer;
            bar->droppedMenu_ = nullptr;
        }
    } restore{this, outer,
              UniqueHook(SetWindowsHookExA(WH_MSGFILTER, MenuFilter, nullptr, GetCurrentThreadId()))};
    droppingBar = this;
    for (int tries = 0; index >= 0 && tries < 64; ++tries) {
        TToolButton* button = buttons_[static_cast<size_t>(index)];
        menuStep_ = 0;
        selectedFlags_ = 0;
        selectedMenu_ = nullptr;
        droppedMenu_ = button->menuItem_ != nullptr ? button->menuItem_->Handle() : nullptr;
        SetHotMenu(index);
        // The menu's own loop takes this key first: its first item is highlighted.
        if (fromKeyboard)
            PostMessageA(Handle(), WM_KEYDOWN, VK_DOWN, 0);
        button->CheckMenuDropdown();
        if (menuStep_ == 0)
            break;
        index = NextMenuButton(index, menuStep_);
        fromKeyboard = true;
    }
    LeaveMenuMode();
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN: {
        // A menu button drops its menu as the button goes down, as a menu bar does.
        POINT point{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        const int index =
            static_cast<int>(SendMessageA(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        if (index >= 0 && index < ButtonCount()) {
            TToolButton* button = buttons_[static_cast<size_t>(index)];
            if (button->menuItem_ != nullptr) {
                if (button->enabled_)
                    DropMenus(index, false);
                return 0;
            }
        }
        break;
    }
    case WM_MENUSELECT:
        selectedFlags_ = HIWORD(wp);
        selectedMenu_ = reinterpret_cast<HMENU>(lp);
        break;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

bool TToolBar::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND) {
        if (TToolButton* button = FindButton(LOWORD(wp))) {
            button->Click();
            result = 0;
            return true;
        }
        return false;
    }
    if (msg != WM_NOTIFY)
        return TWinControl::Reflected(msg, wp, lp, result);
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    switch (header->code) {
    case TBN_DROPDOWN: {
        const auto* notify = reinterpret_cast<const NMTOOLBARA*>(lp);
        if (TToolButton* button = FindButton(notify->iItem))
            button->Click();
        result = TBDDRET_DEFAULT;
        return true;
    }
    case TBN_GETINFOTIPA: {
        auto* tip = reinterpret_cast<NMTBGETINFOTIPA*>(lp);
        if (TToolButton* button = FindButton(tip->iItem); button != nullptr && tip->pszText != nullptr)
            lstrcpynA(tip->pszText, button->hint_.c_str(), tip->cchTextMax);
        result = 0;
        return true;
    }
    case TBN_GETINFOTIPW: {
        auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(lp);
        if (TToolButton* button = FindButton(tip->iItem);
            button != nullptr && tip->pszText != nullptr && tip->cchTextMax > 0)
            MultiByteToWideChar(CP_ACP, 0, button->hint_.c_str(), -1, tip->pszText, tip->cchTextMax);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}
