#pragma once

#include <string>

// The user's chosen language id, "" for the built-in language. A value that is missing,
// unreadable or not a string counts as "".
std::string ReadLanguageSetting();
