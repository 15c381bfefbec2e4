#pragma once

#include <windows.h>

#include <string>

// One tooltip window per thread shows the hints of every control.

// Shows text while the mouse rests on control; empty text removes its hint.
void SetControlHint(HWND control, const std::string& text);
void RemoveControlHint(HWND control) noexcept;
// A mouse message of a control with a hint, for the tooltip to tell when the mouse rests on it.
void RelayHintMessage(HWND control, UINT msg, WPARAM wp, LPARAM lp) noexcept;
