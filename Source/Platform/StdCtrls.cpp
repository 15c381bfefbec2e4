#include "StdCtrls.h"

#include "Errors.h"
#include "Forms.h"

#include <commctrl.h>

#include <algorithm>

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

} // namespace

TEdit::TEdit(TComponent* owner, TParent parent) : TEdit(owner, parent, ES_AUTOHSCROLL) {}

TEdit::TEdit(TComponent* owner, TParent parent, DWORD style) : TWinControl(owner) {
    SetClassName("TEdit");
    CreateSystemWindow(parent, "EDIT", WS_VISIBLE | WS_TABSTOP | style, WS_EX_CLIENTEDGE, 121, 21);
}

bool TEdit::ReadOnly() const {
    return (GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

void TEdit::SetReadOnly(bool readOnly) {
    SendMessageA(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

int TEdit::SelStart() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TEdit::SetSelStart(int start) {
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start);
}

void TEdit::SelectAll() {
    SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

bool TEdit::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
        Change();
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

TMemo::TMemo(TComponent* owner, TParent parent)
    : TEdit(owner, parent, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL) {
    SetClassName("TMemo");
    SetBounds(0, 0, 185, 89);
}

std::vector<std::string> TMemo::Lines() const {
    return SplitLines(Text());
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i == 0 ? "" : "\r\n") + lines[i];
    SetText(text);
}

TLabel::TLabel(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TLabel");
    CreateSystemWindow(parent, "STATIC", WS_VISIBLE | SS_NOTIFY | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 65, 13);
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::SetStaticStyle(DWORD mask, DWORD bits) {
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(mask)) | static_cast<LONG_PTR>(bits);
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
    Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
    const DWORD typeMask = SS_TYPEMASK;
    const DWORD current = static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)) & typeMask;
    if (wordWrap && current == SS_LEFTNOWORDWRAP)
        SetStaticStyle(typeMask, SS_LEFT);
    else if (!wordWrap && current == SS_LEFT)
        SetStaticStyle(typeMask, SS_LEFTNOWORDWRAP);
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment alignment) {
    const DWORD type = alignment == TAlignment::taCenter         ? SS_CENTER
                       : alignment == TAlignment::taRightJustify ? SS_RIGHT
                                                                 : SS_LEFTNOWORDWRAP;
    SetStaticStyle(SS_TYPEMASK, type);
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || Handle() == nullptr)
        return;
    const DWORD type = static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)) & SS_TYPEMASK;
    if (type != SS_LEFTNOWORDWRAP)
        return; // wrapped or aligned text keeps the size it was given
    const std::string text = Text().empty() ? std::string(" ") : Text();
    RECT r{0, 0, 0, 0};
    {
        const WindowDC dc = GetOwnedDC(Handle());
        const SelectedObject font = SelectInto(dc.Get(), FontHandle());
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    }
    const RECT bounds = BoundsRect();
    SetBounds(bounds.left, bounds.top, r.right, r.bottom);
}

LRESULT TLabel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = TWinControl::WndProc(msg, wp, lp);
    if (msg == WM_SETTEXT || msg == WM_SETFONT)
        AdjustBounds();
    return result;
}

bool TLabel::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == STN_CLICKED) {
        if (FocusControl != nullptr && FocusControl->CanFocus())
            FocusControl->SetFocus();
        Click();
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FocusControl)
        FocusControl = nullptr;
}

TButton::TButton(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TButton");
    CreateSystemWindow(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
    default_ = value;
    SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    TWinControl::Click();
    if (ModalResult != mrNone)
        if (TForm* form = GetParentForm(this))
            form->SetModalResult(ModalResult);
}

bool TButton::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Click();
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

TCheckBox::TCheckBox(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TCheckBox");
    CreateSystemWindow(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 97, 17);
}

bool TCheckBox::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    Silently([&] { SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); });
}

bool TCheckBox::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        if (!IsSilent())
            Click();
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

TRadioButton::TRadioButton(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TRadioButton");
    // Not an automatic radio button: the group is the parent's radio buttons, kept by us.
    CreateSystemWindow(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON, 0, 113, 17);
}

bool TRadioButton::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TRadioButton::SetChecked(bool checked) {
    Silently([&] { SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); });
    if (!checked || Parent() == nullptr)
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
            other != nullptr && other != this)
            other->SetChecked(false);
}

bool TRadioButton::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        if (!IsSilent()) {
            SetChecked(true);
            Click();
        }
        result = 0;
        return true;
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}

TComboBox::TComboBox(TComponent* owner, TParent parent, TComboBoxStyle style, bool sorted)
    : TWinControl(owner), style_(style) {
    SetClassName("TComboBox");
    const DWORD kind = style == TComboBoxStyle::csDropDown ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
    CreateSystemWindow(
        parent, "COMBOBOX",
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | kind | (sorted ? CBS_SORT : 0), 0, 145, 200);
    SetBounds(0, 0, 145, 21);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (style == TComboBoxStyle::csDropDown && GetComboBoxInfo(Handle(), &info))
        edit_ = info.hwndItem;
    if (edit_ != nullptr && !WatchWindow(edit_, this))
        edit_ = nullptr;
}

TComboBox::~TComboBox() {
    HandleDestroyed();
}

void TComboBox::HandleDestroyed() {
    if (edit_ != nullptr)
        UnwatchWindow(edit_);
    edit_ = nullptr;
}

bool TComboBox::OwnsWindow(HWND hwnd) const noexcept {
    return hwnd != nullptr && (hwnd == Handle() || IsChild(Handle(), hwnd));
}

LRESULT TComboBox::WatchedMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCDESTROY) {
        edit_ = nullptr;
        return CallPrevious(hwnd, msg, wp, lp);
    }
    if (InDestruction())
        return CallPrevious(hwnd, msg, wp, lp);
    try {
        return EditMessage(msg, wp, lp);
    } catch (...) {
        HandleException();
        return 0;
    }
}

LRESULT TComboBox::EditMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (KeyMessage(msg, wp, lp))
            return 0;
        break;
    case WM_KILLFOCUS: {
        const LRESULT r = CallPrevious(edit_, msg, wp, lp);
        if (!OwnsWindow(reinterpret_cast<HWND>(wp)))
            DoExit();
        return r;
    }
    default:
        break;
    }
    return CallPrevious(edit_, msg, wp, lp);
}

int TComboBox::Count() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

std::string TComboBox::Item(int index) const {
    const LRESULT length = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        throw Exception("Combo box index out of range");
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void* TComboBox::Object(int index) const {
    const LRESULT data = SendMessageA(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<void*>(data);
}

int TComboBox::Add(const std::string& text, void* object) {
    const LRESULT index = SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0)
        throw Exception("CB_ADDSTRING failed");
    SendMessageA(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
    return static_cast<int>(index);
}

void TComboBox::Insert(int index, const std::string& text, void* object) {
    const LRESULT at = SendMessageA(Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0)
        throw Exception("CB_INSERTSTRING failed");
    SendMessageA(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(object));
}

void TComboBox::Delete(int index) {
    SendMessageA(Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBox::Clear() {
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

int TComboBox::IndexOf(const std::string& text) const {
    for (int i = 0; i < Count(); ++i)
        if (Item(i) == text)
            return i;
    return -1;
}

std::vector<std::string> TComboBox::Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < Count(); ++i)
        items.push_back(Item(i));
    return items;
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
    // The text stays: replacing the list must not look like an edit.
    const std::string text = Text();
    Silently([&] {
        Clear();
        for (const std::string& item : items)
            Insert(-1, item);
        if (style_ == TComboBoxStyle::csDropDown)
            SetWindowTextA(Handle(), text.c_str());
    });
}

int TComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) {
    Silently([&] { SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); });
}

void TComboBox::SetSel(int start, int length) {
    SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + length));
}

int TComboBox::SelStart() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

bool TComboBox::DroppedDown() const {
    return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

bool TComboBox::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND) {
        const WORD code = HIWORD(wp);
        if (code == CBN_EDITCHANGE) {
            Change();
            result = 0;
            return true;
        }
        if (code == CBN_SELCHANGE) {
            if (!IsSilent()) {
                // The edit shows the new choice only after this notification: put it there
                // first so that the handlers read the chosen text.
                const int index = ItemIndex();
                if (index >= 0 && style_ == TComboBoxStyle::csDropDown)
                    Silently([&] { SetWindowTextA(Handle(), Item(index).c_str()); });
                Change();
            }
            result = 0;
            return true;
        }
    }
    return TWinControl::Reflected(msg, wp, lp, result);
}
