#pragma once

#include <string>

// True when a and b compare equal in the user's default locale, letter case ignored.
bool TextEqualsIgnoreCase(const std::string& a, const std::string& b);
