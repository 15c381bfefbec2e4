#pragma once

#include <string>

// The error log of every guard in glzemb. It records nothing in the library, so a host never
// sees a failure; a test program that defines its own LogError takes the place of this one.
void LogError(const std::string& text);
