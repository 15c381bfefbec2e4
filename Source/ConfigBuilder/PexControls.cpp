#include "PexControls.h"

#include "Errors.h"
#include "Pex.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr int kDropDownHeight = 160;
constexpr UINT_PTR kSubclassId = 0x48434258; // "HCBX"

std::string WindowText(HWND w) {
    const int length = GetWindowTextLengthA(w);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(w, text.data(), length + 1)));
    return text;
}

} // namespace

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
    for (std::size_t i = 0; i < items.size(); ++i)
        if (TextEqualsIgnoreCase(items[i].substr(0, typed.size()), typed))
            return i;
    return std::nullopt;
}

THistoryComboBox::THistoryComboBox(HWND parent, int left, int top, int width) {
    combo_ = CreateWindowExA(
        0, WC_COMBOBOXA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        left, top, width, kDropDownHeight, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (combo_ == nullptr)
        throw Exception("Combo box could not be created");
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(combo_, &info);
    edit_ = info.hwndItem;
    list_ = info.hwndList;
    if (edit_ == nullptr ||
        !SetWindowSubclass(combo_, ComboProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) ||
        !SetWindowSubclass(edit_, EditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        DestroyWindow(combo_);
        throw Exception("Combo box could not be subclassed");
    }
}

THistoryComboBox::~THistoryComboBox() {
    if (combo_ == nullptr)
        return;
    RemoveWindowSubclass(edit_, EditProc, kSubclassId);
    RemoveWindowSubclass(combo_, ComboProc, kSubclassId);
    DestroyWindow(combo_);
}

void THistoryComboBox::SetCapacity(int value) {
    if (value == capacity_)
        return;
    capacity_ = value;
    if (capacity_ > 0)
        while (SendMessageA(combo_, CB_GETCOUNT, 0, 0) > capacity_)
            SendMessageA(combo_, CB_DELETESTRING, SendMessageA(combo_, CB_GETCOUNT, 0, 0) - 1, 0);
}

std::string THistoryComboBox::Text() const {
    return WindowText(combo_);
}

void THistoryComboBox::SetText(const std::string& text) {
    if (Text() != text)
        SetWindowTextA(combo_, text.c_str());
}

std::vector<std::string> THistoryComboBox::Items() const {
    std::vector<std::string> items;
    const auto count = SendMessageA(combo_, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageA(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        const auto got =
            SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        items.push_back(std::move(item));
    }
    return items;
}

void THistoryComboBox::SetItems(const std::vector<std::string>& items) {
    // Emptying the list empties the edit part too: keep its text and selection.
    const std::string text = Text();
    DWORD start = 0, end = 0;
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageA(combo_, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(item.c_str()));
    SetText(text);
    SendMessageA(edit_, EM_SETSEL, start, end);
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
    std::vector<std::string> updated = AddTextToHistory(items, text, capacity_);
    if (updated != items)
        SetItems(updated);
}

void THistoryComboBox::Change() {
    const std::string typed = Text();
    if (AutoCompletion && static_cast<int>(typed.size()) > lastTextLength_) {
        const std::vector<std::string> items = Items();
        if (const std::optional<std::size_t> found = FindCompletion(items, typed)) {
            const std::string& entry = items[*found];
            SetText(entry);
            SendMessageA(edit_, EM_SETSEL, typed.size(), entry.size());
            // What the user typed is what counts: typing on over the selected tail completes
            // again, while deleting that tail does not.
            lastTextLength_ = static_cast<int>(typed.size());
            return;
        }
    }
    lastTextLength_ = GetWindowTextLengthA(combo_);
}

bool THistoryComboBox::IsOwnWindow(HWND w) const noexcept {
    return w == combo_ || w == edit_ || w == list_;
}

void THistoryComboBox::FocusLost(HWND next) {
    if (IsOwnWindow(next))
        return;
    if (AutoHistory)
        AddToHistory();
    if (OnExit && next != nullptr && GetAncestor(next, GA_ROOT) == GetAncestor(combo_, GA_ROOT))
        OnExit(*this);
}

void THistoryComboBox::ShowPopupMenu() {
    RECT r{};
    GetWindowRect(combo_, &r);
    TrackPopupMenuEx(PopupMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, (r.left + r.right) / 2,
                     (r.top + r.bottom) / 2, combo_, nullptr);
}

LRESULT THistoryComboBox::OnComboMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lp) == edit_ && HIWORD(wp) == EN_CHANGE) {
        const LRESULT result = DefSubclassProc(combo_, msg, wp, lp);
        // A change from code only moves the remembered length; only typing completes.
        if (settingText_ > 0)
            lastTextLength_ = GetWindowTextLengthA(combo_);
        else
            Change();
        return result;
    }
    return DefSubclassProc(combo_, msg, wp, lp);
}

LRESULT THistoryComboBox::OnEditMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETTEXT: {
        ++settingText_;
        const LRESULT result = DefSubclassProc(edit_, msg, wp, lp);
        --settingText_;
        lastTextLength_ = GetWindowTextLengthA(edit_);
        return result;
    }
    case WM_CHAR:
        if (OnKeyPress) {
            char key = static_cast<char>(wp);
            OnKeyPress(*this, key);
            if (key == 0)
                return 0;
            wp = static_cast<unsigned char>(key);
        }
        break;
    case WM_KEYDOWN:
        if (wp == VK_APPS && PopupMenu != nullptr) {
            ShowPopupMenu();
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        // The keyboard's own context menu request is answered by the key above.
        if (lp == -1 && PopupMenu != nullptr)
            return 0;
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = DefSubclassProc(edit_, msg, wp, lp);
        FocusLost(reinterpret_cast<HWND>(wp));
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(edit_, msg, wp, lp);
}

LRESULT CALLBACK THistoryComboBox::ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<THistoryComboBox*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, ComboProc, kSubclassId);
        self->combo_ = nullptr;
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        return self->OnComboMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
        return 0;
    }
}

LRESULT CALLBACK THistoryComboBox::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                            DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<THistoryComboBox*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, EditProc, kSubclassId);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        return self->OnEditMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
        return 0;
    }
}
