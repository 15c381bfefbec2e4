#include "WindowProperties.h"

bool CaptionMatches(const std::string& text, const std::string& value, bool exact) noexcept {
    return exact ? text == value : text.find(value) != std::string::npos;
}
