#pragma once

#include <optional>
#include <string>

// Integer as the rule text writes it: leading blanks, a sign, decimal or hexadecimal after
// "$", "x" or "0x"; nothing else may follow. Empty when the text is no 32-bit integer.
std::optional<int> TextToInt(const std::string& text);

// The transparency level (0 to 100) that a rule's level text puts in force on a window: text
// that is no integer, or one below 0 or above 100, leaves the window opaque (100). The editor
// shows what the window library applies.
int TransparencyLevelInForce(const std::string& text);
