#pragma once

#include <string>

// Texts compared as the user reads them: in the user's default locale with letter case ignored,
// over the whole of both (an empty text is allowed). The texts are in the program's code page,
// whatever it is, so a letter outside ASCII matches its other case too.
// Less than zero, zero or greater than zero as a sorts before, with or after b.
int CompareTextIgnoreCase(const std::string& a, const std::string& b) noexcept;
bool TextEqualsIgnoreCase(const std::string& a, const std::string& b) noexcept;
