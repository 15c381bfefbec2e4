#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The history after text was entered: an exact match moves to the front, a new text is
// inserted there; with a positive capacity the oldest entries beyond it are dropped.
std::vector<std::string> AddTextToHistory(std::vector<std::string> items, const std::string& text,
                                          int capacity);
// The first entry that starts with typed, letter case ignored; none when there is none.
std::optional<std::size_t> FindCompletion(const std::vector<std::string>& items, const std::string& typed);

// An editable combo box whose drop-down list holds the texts entered before, and which
// completes what the user types from that list.
class THistoryComboBox {
public:
    THistoryComboBox(HWND parent, int left, int top, int width);
    virtual ~THistoryComboBox();
    THistoryComboBox(const THistoryComboBox&) = delete;
    THistoryComboBox& operator=(const THistoryComboBox&) = delete;

    HWND Handle() const noexcept { return combo_; }
    HWND EditHandle() const noexcept { return edit_; }

    bool AutoHistory = false;
    bool AutoCompletion = false;
    int Capacity() const noexcept { return capacity_; }
    void SetCapacity(int value);
    // Opened by the context-menu key at the control's centre; not owned.
    HMENU PopupMenu = nullptr;

    std::function<void(THistoryComboBox& sender, const std::string& text, bool& canAdd)> OnCanAddHistory;
    // Focus moved to another control of the same window.
    std::function<void(THistoryComboBox& sender)> OnExit;
    // A character typed into the edit part; setting key to 0 swallows it.
    std::function<void(THistoryComboBox& sender, char& key)> OnKeyPress;

    std::string Text() const;
    void SetText(const std::string& text);
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);

    virtual bool CanAddHistory(const std::string& text);
    virtual void AddToHistory();

private:
    static LRESULT CALLBACK ComboProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    LRESULT OnComboMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnEditMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Change();
    void FocusLost(HWND next);
    bool IsOwnWindow(HWND w) const noexcept;
    void ShowPopupMenu();

    HWND combo_ = nullptr;
    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    int capacity_ = 0;
    // Length of the text after the last change, from the user or from code.
    int lastTextLength_ = 0;
    int settingText_ = 0;
};
