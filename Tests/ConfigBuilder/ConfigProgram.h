#pragma once

#include "Handles.h"

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// GlazloConfig.exe (and, on request, GlazloCenter.exe and glzemb.dll) from the build folder,
// laid out with a Glazlo.ini of the test's own in a product folder of its own.
class TConfigProgram {
public:
    explicit TConfigProgram(bool withCenter = false);
    ~TConfigProgram();
    TConfigProgram(const TConfigProgram&) = delete;
    TConfigProgram& operator=(const TConfigProgram&) = delete;

    void WriteConfiguration(const std::string& text) const;
    std::string ReadConfiguration() const;
    // Starts one more GlazloConfig.exe; its process handle.
    HANDLE Start();
    // The visible main window of the last started process, waited for up to timeout.
    HWND MainWindow(DWORD timeout = 10000) const;
    // Closes what is still running, answering no question.
    void Kill();

    const std::filesystem::path& Folder() const { return folder_; }
    HANDLE Process() const { return processes_.empty() ? nullptr : processes_.back().Get(); }
    DWORD ProcessId() const;

private:
    std::filesystem::path folder_;
    std::vector<UniqueHandle> processes_;
};

// Starts program with arguments in folder (null: this one's); its process handle.
UniqueHandle StartProgram(const std::string& program, const std::string& arguments = "",
                          const std::string& folder = "");

// Windows of another process.
HWND FindChild(HWND parent, const std::string& className, const std::string& text = "", bool anyText = true);
// The same among the windows that show (a page kept hidden holds boxes of the same texts).
HWND FindVisibleChild(HWND parent, const std::string& className, const std::string& text = "",
                      bool anyText = true);
// The window that has the keyboard focus in the thread of window.
HWND FocusOf(HWND window);
// The top-level window of that class and process, visible; null when there is none.
HWND FindProcessWindow(DWORD processId, const std::string& className);
std::string WindowText(HWND window);

// Tree view items of another process.
HTREEITEM TreeRoot(HWND tree);
HTREEITEM TreeChild(HWND tree, HTREEITEM item, int index);
std::string TreeItemText(HWND tree, HTREEITEM item);
HTREEITEM TreeSelection(HWND tree);
void SelectTreeItem(HWND tree, HTREEITEM item);

// Input as the user gives it: to the foreground window.
void BringToFront(HWND window);
void ClickAt(POINT screen);
void ClickWindow(HWND window);
// Clicks into a control until it has the focus (no click when it has it); false when it never
// gets it.
bool FocusByClick(HWND control);
void PressKeys(std::initializer_list<WORD> keys);
// Each key down (false) or up (true), in the order given.
void PressKeysInOrder(std::initializer_list<std::pair<WORD, bool>> keys);
void TypeText(const std::string& text);
// Characters of any script, as an input method gives them (KEYEVENTF_UNICODE).
void TypeUnicode(const std::wstring& text);
void PressShortCut(WORD modifier, WORD key);
// Opens a drop-down of the menu bar (tool bar button index) and chooses the item that Down
// pressed downs times reaches (separators are skipped).
bool ChooseMenuItem(HWND menuBar, int button, int downs);
