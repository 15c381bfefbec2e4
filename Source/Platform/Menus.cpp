#include "Menus.h"

#include "Controls.h"
#include "Errors.h"
#include "ImageList.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr UINT kFirstCommand = 0x100;
constexpr UINT kLastCommand = 0x7FFF;

std::unordered_map<UINT, TMenuItem*>& Commands() {
    static thread_local std::unordered_map<UINT, TMenuItem*> commands;
    return commands;
}

std::unordered_map<HMENU, TMenuItem*>& SubMenus() {
    static thread_local std::unordered_map<HMENU, TMenuItem*> menus;
    return menus;
}

UINT NewCommand(TMenuItem* item) {
    static thread_local UINT next = kFirstCommand;
    auto& commands = Commands();
    for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
        const UINT id = next;
        next = next >= kLastCommand ? kFirstCommand : next + 1;
        if (commands.emplace(id, item).second)
            return id;
    }
    throw Exception("No menu command is free");
}

} // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand(this)) {
    SetClassName("TMenuItem");
}

TMenuItem::~TMenuItem() {
    MarkDestroying();
    SetAction(nullptr);
    for (TMenuItem* item : items_)
        item->parent_ = nullptr;
    items_.clear();
    if (parent_ != nullptr)
        parent_->Remove(this);
    Commands().erase(command_);
    if (handle_.Get() != nullptr) {
        SubMenus().erase(handle_.Get());
        // Sub-menus of the items were only attached; they are destroyed by their own items.
        while (GetMenuItemCount(handle_.Get()) > 0)
            RemoveMenu(handle_.Get(), 0, MF_BYPOSITION);
    }
}

void TMenuItem::SetAction(TCommandAction* action) {
    TCommandAction::Bind(action_, action, *this);
}

void TMenuItem::ActionChanged(const TCommandAction& action) {
    Caption = action.Caption;
    Hint = action.Hint;
    ImageIndex = action.ImageIndex;
    Enabled = action.Enabled;
    Checked = action.Checked;
    Visible = action.Visible;
    ShortCut = action.ShortCut;
}

void TMenuItem::ActionDestroyed(const TCommandAction& action) noexcept {
    if (&action == action_)
        action_ = nullptr;
}

TPopupMenu* TMenuItem::GetParentMenu() const noexcept {
    const TMenuItem* item = this;
    while (item->parent_ != nullptr)
        item = item->parent_;
    return item->menu_;
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item == nullptr || item == this)
        return;
    if (item->parent_ != nullptr)
        item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) noexcept {
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end())
        return;
    items_.erase(it);
    item->parent_ = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const noexcept {
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Click() {
    if (action_ != nullptr)
        action_->Execute();
    else if (OnClick)
        OnClick(this);
}

TImageList* TMenuItem::Images() const noexcept {
    for (const TMenuItem* item = parent_; item != nullptr; item = item->parent_) {
        if (item->SubMenuImages != nullptr)
            return item->SubMenuImages;
        if (item->parent_ == nullptr && item->menu_ != nullptr)
            return item->menu_->Images;
    }
    return nullptr;
}

std::string TMenuItem::MenuText() const {
    const std::string shortCut = ShortCutToText(ShortCut);
    return shortCut.empty() ? Caption : Caption + "\t" + shortCut;
}

HMENU TMenuItem::Handle() {
    if (handle_.Get() == nullptr) {
        handle_.Reset(CreatePopupMenu());
        if (handle_.Get() == nullptr)
            throw Exception("CreatePopupMenu failed");
        SubMenus()[handle_.Get()] = this;
    }
    Rebuild();
    return handle_.Get();
}

void TMenuItem::Rebuild() {
    const HMENU menu = handle_.Get();
    while (GetMenuItemCount(menu) > 0)
        RemoveMenu(menu, 0, MF_BYPOSITION);
    UINT position = 0;
    for (TMenuItem* item : items_) {
        if (item->action_ != nullptr)
            item->action_->Update();
        if (!item->Visible)
            continue;
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        info.wID = item->command_;
        if (item->IsSeparator()) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            const std::string text = item->MenuText();
            info.dwTypeData = const_cast<char*>(text.c_str());
            info.fState = (item->Enabled ? MFS_ENABLED : MFS_GRAYED) | (item->Checked ? MFS_CHECKED : 0);
            if (item->Count() > 0) {
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = item->Handle();
            }
            if (item->ImageIndex >= 0 && item->Images() != nullptr) {
                info.fMask |= MIIM_BITMAP;
                info.hbmpItem = HBMMENU_CALLBACK;
            }
            if (!InsertMenuItemA(menu, position++, TRUE, &info))
                throw Exception("InsertMenuItem failed");
            continue;
        }
        if (!InsertMenuItemA(menu, position++, TRUE, &info))
            throw Exception("InsertMenuItem failed");
    }
}

TMenuItem* TMenuItem::Popup(int x, int y, HWND owner) {
    const HMENU menu = Handle();
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, owner, nullptr));
    TMenuItem* chosen = command != 0 ? FindCommand(command) : nullptr;
    if (chosen != nullptr)
        chosen->Click();
    return chosen;
}

TMenuItem* TMenuItem::FindCommand(UINT command) noexcept {
    const auto& commands = Commands();
    const auto it = commands.find(command);
    return it == commands.end() ? nullptr : it->second;
}

bool TMenuItem::HandleOwnerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) noexcept {
    try {
        switch (msg) {
        case WM_INITMENUPOPUP: {
            const auto& menus = SubMenus();
            const auto it = menus.find(reinterpret_cast<HMENU>(wp));
            if (it == menus.end())
                return false;
            it->second->Rebuild();
            result = 0;
            return true;
        }
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (measure == nullptr || measure->CtlType != ODT_MENU)
                return false;
            TMenuItem* item = FindCommand(measure->itemID);
            TImageList* images = item != nullptr ? item->Images() : nullptr;
            if (images == nullptr)
                return false;
            measure->itemWidth = static_cast<UINT>(images->Width());
            measure->itemHeight = static_cast<UINT>(images->Height());
            result = TRUE;
            return true;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (draw == nullptr || draw->CtlType != ODT_MENU)
                return false;
            TMenuItem* item = FindCommand(draw->itemID);
            TImageList* images = item != nullptr ? item->Images() : nullptr;
            if (images == nullptr || item->ImageIndex < 0)
                return false;
            const int top =
                draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - images->Height()) / 2;
            ImageList_Draw(images->Handle(), item->ImageIndex, draw->hDC, draw->rcItem.left, top,
                           item->Enabled ? ILD_TRANSPARENT : ILD_TRANSPARENT | ILD_BLEND50);
            result = TRUE;
            return true;
        }
        default:
            return false;
        }
    } catch (...) {
        HandleException();
        result = 0;
        return true;
    }
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {
    SetClassName("TPopupMenu");
    items_.menu_ = this;
}

TPopupMenu::~TPopupMenu() {
    MarkDestroying();
}

TMenuItem* TPopupMenu::Popup(int x, int y, HWND owner) {
    return items_.Popup(x, y, owner);
}
