#pragma once

#include <string>

// Exact: the whole text equals value. Otherwise value occurs anywhere in the text.
// Both case-sensitive.
bool CaptionMatches(const std::string& text, const std::string& value, bool exact) noexcept;
