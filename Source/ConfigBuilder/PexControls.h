#pragma once

#include "StdCtrls.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The history after text was entered: an exact match moves to the front, a new text is
// inserted there; with a positive capacity the oldest entries beyond it are dropped.
std::vector<std::string> AddTextToHistory(std::vector<std::string> items, const std::string& text,
                                          int capacity);
// The first entry that starts with typed, in its letter case; none when there is none.
std::optional<std::size_t> FindCompletion(const std::vector<std::string>& items, const std::string& typed);

// An editable combo box whose drop-down list holds the texts entered before, and which
// completes what the user types from that list.
class THistoryComboBox : public TComboBox {
public:
    THistoryComboBox(TComponent* owner, TParent parent);

    // Add the text to the history when the control loses the focus.
    bool AutoHistory = false;
    // Complete the typed text from the history.
    bool AutoCompletion = false;
    // At most this many entries; 0 or less: any number.
    int Capacity() const noexcept { return capacity_; }
    void SetCapacity(int value);
    // Opened by the context-menu key at the control's centre; not owned.
    HMENU PopupMenu = nullptr;

    std::function<void(THistoryComboBox& sender, const std::string& text, bool& canAdd)> OnCanAddHistory;

    virtual bool CanAddHistory(const std::string& text);
    virtual void AddToHistory();

    void Change() override;
    void DoExit() override;
    void KeyDown(WORD& key, TShiftState shift) override;

protected:
    LRESULT EditMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowPopupMenu();

    int capacity_ = 0;
    // Length of the text after the last change, from the user or from code.
    int lastTextLength_ = 0;
};
