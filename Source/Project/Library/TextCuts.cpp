#include "TextCuts.h"

namespace {

bool ContinuesACharacter(char byte) noexcept {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

std::string LeadingBytes(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && ContinuesACharacter(text[end]))
        --end;
    return text.substr(0, end);
}

std::string LeadingCharacters(const std::string& text, std::size_t maxCharacters) {
    // No character is shorter than a byte.
    if (text.size() <= maxCharacters)
        return text;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!ContinuesACharacter(text[i]) && characters++ == maxCharacters)
            return text.substr(0, i);
    return text;
}
