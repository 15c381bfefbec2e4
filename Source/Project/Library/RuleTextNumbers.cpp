#include "RuleTextNumbers.h"

#include <cstdint>

namespace {

constexpr int OpaqueLevel = 100;

} // namespace

std::optional<int> TextToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        // Hexadecimal may fill all 32 bits; decimal must fit the signed range.
        if (value > (base == 16 ? 0xFFFFFFFFull : 0x80000000ull))
            return std::nullopt;
    }
    if (base == 10 && !negative && value > 0x7FFFFFFFull)
        return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(value);
    const auto result = static_cast<std::int32_t>(bits);
    return negative ? static_cast<int>(0u - bits) : result;
}

int TransparencyLevelInForce(const std::string& text) {
    const int level = TextToInt(text).value_or(OpaqueLevel);
    return level < 0 || level > OpaqueLevel ? OpaqueLevel : level;
}
