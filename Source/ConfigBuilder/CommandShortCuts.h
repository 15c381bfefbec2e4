#pragma once

#include "CommandAction.h"

#include <string>

// "Ctrl+S", "Shift+Ctrl+F1", "F1", "Del"; 0 for an empty or unknown text.
TShortCut TextToShortCut(const std::string& text);
// The short-cut of a key message: its virtual key with the modifiers held.
TShortCut ShortCutFromKey(WPARAM virtualKey, LPARAM keyData);
