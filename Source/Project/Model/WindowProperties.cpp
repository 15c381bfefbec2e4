#include "WindowProperties.h"

#include "WinFuncs.h"

bool CaptionMatches(const std::string& text, const std::string& value, bool exact) noexcept {
    return exact ? text == value : text.find(value) != std::string::npos;
}

const std::string& TWindowProperties::ClassName() {
    if (!className_)
        className_ = GetWindowClassName(window_);
    return *className_;
}

const std::string& TWindowProperties::Caption() {
    if (!caption_)
        caption_ = GetWindowCaption(window_);
    return *caption_;
}
