#include "PexControls.h"

#include <commctrl.h>

#include <algorithm>

std::vector<std::string> AddTextToHistory(std::vector<std::string> items, const std::string& text,
                                          int capacity) {
    if (text.empty())
        return items;
    // The last exact match wins.
    const auto found = std::find(items.rbegin(), items.rend(), text);
    if (found == items.rend())
        items.insert(items.begin(), text);
    else
        std::rotate(items.begin(), std::prev(found.base()), found.base());
    if (capacity > 0 && items.size() > static_cast<std::size_t>(capacity))
        items.resize(static_cast<std::size_t>(capacity));
    return items;
}

std::optional<std::size_t> FindCompletion(const std::vector<std::string>& items, const std::string& typed) {
    // In the typed letter case only: a class or caption matches only in its own, and an entry
    // of another case would replace the letters the user typed.
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].compare(0, typed.size(), typed) == 0)
            return i;
    return std::nullopt;
}

namespace {

// An edit counts its text in UTF-16 units, the program's texts are in its code page (UTF-8):
// a character of another script is one unit but several bytes.
int EditLength(const std::string& text) noexcept {
    return text.empty()
               ? 0
               : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
}

} // namespace

THistoryComboBox::THistoryComboBox(TComponent* owner, TParent parent) : TComboBox(owner, parent) {
    SetClassName("THistoryComboBox");
}

void THistoryComboBox::SetCapacity(int value) {
    if (value == capacity_)
        return;
    capacity_ = value;
    if (capacity_ > 0)
        while (Count() > capacity_)
            Delete(Count() - 1);
}

bool THistoryComboBox::CanAddHistory(const std::string& text) {
    bool canAdd = true;
    if (OnCanAddHistory)
        OnCanAddHistory(*this, text, canAdd);
    return canAdd;
}

void THistoryComboBox::AddToHistory() {
    const std::string text = Text();
    if (!CanAddHistory(text) || text.empty())
        return;
    const std::vector<std::string> items = Items();
    const std::vector<std::string> updated = AddTextToHistory(items, text, capacity_);
    if (updated == items)
        return;
    // Emptying the list empties the edit part too: keep its text and selection.
    DWORD from = 0, to = 0;
    if (EditHandle() != nullptr)
        SendMessageA(EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    SetItems(updated);
    SetText(text);
    if (EditHandle() != nullptr)
        SendMessageA(EditHandle(), EM_SETSEL, from, to);
}

void THistoryComboBox::Change() {
    TComboBox::Change();
    const std::string typed = Text();
    // Only text added at the end is completed: a tail added behind text typed or pasted in the
    // middle would take the caret away from where the user is typing.
    if (AutoCompletion && !IsSilent() && static_cast<int>(typed.size()) > lastTextLength_ &&
        SelStart() == EditLength(typed)) {
        const std::vector<std::string> items = Items();
        // The whole text of an entry is what the user means, even when a longer entry that
        // starts with it comes first: it is never turned into that one.
        const bool typedAnEntry = std::find(items.begin(), items.end(), typed) != items.end();
        if (const std::optional<std::size_t> found =
                typedAnEntry ? std::nullopt : FindCompletion(items, typed)) {
            const std::string& entry = items[*found];
            SetText(entry);
            const int start = EditLength(entry.substr(0, typed.size()));
            SetSel(start, EditLength(entry) - start);
            // What the user typed is what counts: typing on over the selected tail completes
            // again, while deleting that tail does not.
            lastTextLength_ = static_cast<int>(typed.size());
            return;
        }
    }
    lastTextLength_ = static_cast<int>(typed.size());
}

void THistoryComboBox::DoExit() {
    if (AutoHistory)
        AddToHistory();
    TComboBox::DoExit();
}

void THistoryComboBox::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_APPS && PopupMenu != nullptr) {
        ShowPopupMenu();
        key = 0;
        return;
    }
    TComboBox::KeyDown(key, shift);
}

void THistoryComboBox::ShowPopupMenu() {
    RECT r = BoundsRect();
    MapWindowPoints(GetParent(Handle()), nullptr, reinterpret_cast<POINT*>(&r), 2);
    TrackPopupMenuEx(PopupMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, (r.left + r.right) / 2,
                     (r.top + r.bottom) / 2, Handle(), nullptr);
}

LRESULT THistoryComboBox::EditMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Every text the edit part gets from code moves the remembered length too.
    if (msg == WM_SETTEXT) {
        const LRESULT result = TComboBox::EditMessage(msg, wp, lp);
        lastTextLength_ = GetWindowTextLengthA(EditHandle());
        return result;
    }
    // The keyboard's own context-menu request is answered by the key above.
    if (msg == WM_CONTEXTMENU && lp == -1 && PopupMenu != nullptr)
        return 0;
    return TComboBox::EditMessage(msg, wp, lp);
}
