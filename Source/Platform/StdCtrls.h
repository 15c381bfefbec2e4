#pragma once

#include "Controls.h"

#include <string>
#include <vector>

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// A single-line edit (EDIT). OnChange is the user's edit only.
class TEdit : public TWinControl {
public:
    TEdit(TComponent* owner, TParent parent);

    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    int SelStart() const;
    void SetSelStart(int start);
    void SelectAll();

protected:
    TEdit(TComponent* owner, TParent parent, DWORD style);
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// A multi-line edit with a vertical scroll bar; its lines are the text split at line ends.
class TMemo : public TEdit {
public:
    TMemo(TComponent* owner, TParent parent);
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);
};

// Static text (STATIC). With AutoSize it takes the size of its text; it reports clicks, so a
// label can serve as a link (hand cursor, blue underlined font).
class TLabel : public TWinControl {
public:
    TLabel(TComponent* owner, TParent parent);

    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool autoSize);
    void SetWordWrap(bool wordWrap);
    void SetAlignment(TAlignment alignment);
    // The control that a click on the label focuses.
    TWinControl* FocusControl = nullptr;
    // Sizes the label to its text when AutoSize is on.
    void AdjustBounds();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void SetStaticStyle(DWORD mask, DWORD bits);
    bool autoSize_ = true;
};

// A push button. Default: Enter on its form clicks it; Cancel: Esc does. A click with a
// ModalResult other than mrNone sets its form's.
class TButton : public TWinControl {
public:
    TButton(TComponent* owner, TParent parent);

    bool Default() const noexcept { return default_; }
    void SetDefault(bool value);
    bool Cancel = false;
    int ModalResult = 0;
    void Click() override;

protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool default_ = false;
};

// A check box. The user's click toggles it and raises OnClick; SetChecked from code raises
// nothing.
class TCheckBox : public TWinControl {
public:
    TCheckBox(TComponent* owner, TParent parent);
    bool Checked() const;
    virtual void SetChecked(bool checked);

protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// A radio button; the radio buttons of one parent form a group: checking one unchecks the
// others. The user's click raises OnClick; SetChecked from code raises nothing.
class TRadioButton : public TWinControl {
public:
    TRadioButton(TComponent* owner, TParent parent);
    bool Checked() const;
    void SetChecked(bool checked);

protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

// A combo box (COMBOBOX): editable (csDropDown) or a drop-down list, optionally sorted. Each
// item may carry an object pointer (not owned). Keys and focus of the edit part count as the
// combo box's own (KeyDown, KeyPress, DoExit).
class TComboBox : public TWinControl, private TWindowWatcher {
public:
    TComboBox(TComponent* owner, TParent parent, TComboBoxStyle style = TComboBoxStyle::csDropDown,
              bool sorted = false);
    ~TComboBox() override;

    TComboBoxStyle Style() const noexcept { return style_; }
    // The edit part (null for a drop-down list).
    HWND EditHandle() const noexcept { return edit_; }

    int Count() const;
    std::string Item(int index) const;
    void* Object(int index) const;
    // Answers the index the item got (its sorted place in a sorted list).
    int Add(const std::string& text, void* object = nullptr);
    void Insert(int index, const std::string& text, void* object = nullptr);
    void Delete(int index);
    void Clear();
    // Exact, case-sensitive; -1 when absent.
    int IndexOf(const std::string& text) const;
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);

    int ItemIndex() const;
    // From code: raises nothing.
    void SetItemIndex(int index);
    void SetSel(int start, int length);
    int SelStart() const;
    bool DroppedDown() const;

protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void HandleDestroyed() override;
    // A message of the edit part; derived combo boxes extend it and pass on what they leave.
    virtual LRESULT EditMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    LRESULT WatchedMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    bool OwnsWindow(HWND hwnd) const noexcept;

    TComboBoxStyle style_;
    HWND edit_ = nullptr;
};
