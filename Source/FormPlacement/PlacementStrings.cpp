#include "PlacementStrings.h"

#include <charconv>

TCharSet CharSet(std::string_view members) {
    TCharSet set;
    for (const char c : members)
        set.set(static_cast<unsigned char>(c));
    return set;
}

const TCharSet PositionDelimiters = CharSet(" ,");
const TCharSet SetDelimiters = CharSet(" ,[]");

std::string ReplaceAll(const std::string& s, const std::string& find, const std::string& replacement) {
    if (find.empty())
        return s;
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = s.find(find); at != std::string::npos; at = s.find(find, from)) {
        result.append(s, from, at - from).append(replacement);
        from = at + find.size();
    }
    return result.append(s, from, std::string::npos);
}

int CountWords(const std::string& s, const TCharSet& delimiters) {
    int count = 0;
    bool inWord = false;
    for (const char c : s) {
        const bool delimiter = InSet(delimiters, c);
        if (!delimiter && !inWord)
            ++count;
        inWord = !delimiter;
    }
    return count;
}

int WordStart(int n, const std::string& s, const TCharSet& delimiters) {
    if (n < 1)
        return 0;
    int count = 0;
    bool inWord = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool delimiter = InSet(delimiters, s[i]);
        if (!delimiter && !inWord && ++count == n)
            return static_cast<int>(i) + 1;
        inWord = !delimiter;
    }
    return 0;
}

std::string NthWord(int n, const std::string& s, const TCharSet& delimiters) {
    const int start = WordStart(n, s, delimiters);
    if (start == 0)
        return {};
    std::size_t end = static_cast<std::size_t>(start) - 1;
    while (end < s.size() && !InSet(delimiters, s[end]))
        ++end;
    return s.substr(static_cast<std::size_t>(start) - 1, end - (static_cast<std::size_t>(start) - 1));
}

namespace {

unsigned char KeyCode(const std::string& key, std::size_t index) {
    return key.empty() ? 0 : static_cast<unsigned char>(key[index % key.size()]);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string XorToHex(const std::string& key, const std::string& source) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string result;
    result.reserve(source.size() * 2);
    for (std::size_t i = 0; i < source.size(); ++i) {
        const unsigned code = static_cast<unsigned char>(source[i]) ^ KeyCode(key, i);
        result += Digits[code >> 4];
        result += Digits[code & 15];
    }
    return result;
}

std::string XorFromHex(const std::string& key, const std::string& source) {
    std::string result;
    result.reserve(source.size() / 2);
    for (std::size_t i = 0; i + 1 < source.size(); i += 2) {
        const int high = HexDigit(source[i]);
        const int low = HexDigit(source[i + 1]);
        unsigned code = (high < 0 || low < 0) ? ' ' : static_cast<unsigned>(high * 16 + low);
        if (!key.empty())
            code ^= KeyCode(key, i / 2);
        result += static_cast<char>(code);
    }
    return result;
}

std::optional<long long> ParseDecimal(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}
