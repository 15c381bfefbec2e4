#pragma once

#include <windows.h>

#include <string>

// The notification-area calls of the resident program; each answers the shell's result.
bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const std::string& tip);
// Tip empty: the tip is left as it is (icon-only change).
bool ModifyTrayIcon(HWND window, UINT id, UINT flags, HICON icon, const std::string& tip = {});
bool DeleteTrayIcon(HWND window, UINT id);

// The tip as the shell gets it: at most 63 bytes, never half a character.
std::string TrayTip(const std::string& tip);
// The handler window's title: a translated title of any length still gives the program its
// window (the system refuses a window whose title it cannot hold).
std::string WindowTitle(const std::string& title);
