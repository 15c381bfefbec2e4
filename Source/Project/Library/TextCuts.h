#pragma once

#include <cstddef>
#include <string>

// The programs' texts are UTF-8: a cut goes back to the start of the character it would split.
// The leading part of Text that fits in MaxBytes bytes.
std::string LeadingBytes(const std::string& text, std::size_t maxBytes);
// The leading part of Text that holds at most MaxCharacters characters.
std::string LeadingCharacters(const std::string& text, std::size_t maxCharacters);
