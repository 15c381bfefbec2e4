#pragma once

#include <windows.h>

#include <string>

// The two window properties that rules look at, read afresh on every call.

// At most 254 characters: a class name is read through a 255-byte buffer.
std::string ReadWindowClassName(HWND window);
// The whole window text; empty when the window has none.
std::string ReadWindowCaption(HWND window);

// Exact: the whole text equals value. Otherwise value occurs anywhere in the text.
// Both case-sensitive.
bool CaptionMatches(const std::string& text, const std::string& value, bool exact) noexcept;
