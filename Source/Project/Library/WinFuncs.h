#pragma once

#include <windows.h>

#include <string>

// The window's class name, at most 254 characters; empty when it cannot be read. Unpaired
// surrogates of class names and captions are escaped (CodeUnitEscapes).
std::string GetWindowClassName(HWND window);
// The window's text; empty when it has none.
std::string GetWindowCaption(HWND window);

// A text of the program as a control shows it to be edited: a NUL, which no window text holds,
// shows escaped as an unpaired surrogate already does (U+FDD0 "0000"), and so does a U+FDD0
// that the digits of such a unit follow, so that the whole text shows.
std::string TextForWindow(const std::string& text);
// The program's text that a control shows so: U+FDD0 and the digits of a NUL, a surrogate or
// U+FDD0 stand for that unit.
std::string TextFromWindow(const std::string& shown);
