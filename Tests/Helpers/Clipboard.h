#pragma once

#include <string>

// Puts text on the clipboard, as a copy in another program does: of the process's code page,
// or UTF-16. False when the clipboard could not be had.
bool PutTextOnClipboard(const std::string& text);
bool PutOnClipboard(const std::wstring& text);
