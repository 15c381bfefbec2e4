#pragma once

#include <windows.h>

#include <string>

// The window's class name, at most 254 characters; empty when it cannot be read. Unpaired
// surrogates of class names and captions are escaped (CodeUnitEscapes).
std::string GetWindowClassName(HWND window);
// The window's text; empty when it has none.
std::string GetWindowCaption(HWND window);
