#include "CodeUnitEscapes.h"

#include <utility>

namespace {

constexpr std::size_t HexDigits = 4;

int HexValue(wchar_t c) noexcept {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

// The unit that the escape at at stands for, or -1 when no escape of this use starts there.
int EscapedUnitAt(std::wstring_view text, std::size_t at, TEscapableUnit escapable) noexcept {
    if (text[at] != CodeUnitEscape || text.size() - at <= HexDigits)
        return -1;
    int unit = 0;
    for (std::size_t i = 1; i <= HexDigits; ++i) {
        const int digit = HexValue(text[at + i]);
        if (digit < 0)
            return -1;
        unit = unit * 16 + digit;
    }
    const auto c = static_cast<wchar_t>(unit);
    return c == CodeUnitEscape || escapable(c) ? unit : -1;
}

bool MustEscapeAt(std::wstring_view text, std::size_t at, bool (*mustEscape)(std::wstring_view, std::size_t),
                  TEscapableUnit escapable) noexcept {
    // An escape character that would read as the start of an escape is escaped itself.
    return mustEscape(text, at) || EscapedUnitAt(text, at, escapable) >= 0;
}

} // namespace

bool IsSurrogate(wchar_t unit) noexcept {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

bool IsUnpairedSurrogate(std::wstring_view text, std::size_t at) noexcept {
    const wchar_t c = text[at];
    if (c >= 0xD800 && c <= 0xDBFF)
        return at + 1 >= text.size() || text[at + 1] < 0xDC00 || text[at + 1] > 0xDFFF;
    if (c >= 0xDC00 && c <= 0xDFFF)
        return at == 0 || text[at - 1] < 0xD800 || text[at - 1] > 0xDBFF;
    return false;
}

void EscapeCodeUnits(std::wstring& text, bool (*mustEscape)(std::wstring_view, std::size_t),
                     TEscapableUnit escapable) {
    const std::wstring_view view(text);
    std::size_t first = 0;
    while (first < view.size() && !MustEscapeAt(view, first, mustEscape, escapable))
        ++first;
    if (first == view.size())
        return;
    static constexpr wchar_t Digits[] = L"0123456789ABCDEF";
    std::wstring escaped(view.substr(0, first));
    for (std::size_t i = first; i < view.size(); ++i) {
        if (!MustEscapeAt(view, i, mustEscape, escapable)) {
            escaped += view[i];
            continue;
        }
        const unsigned unit = view[i];
        escaped += CodeUnitEscape;
        for (int shift = 12; shift >= 0; shift -= 4)
            escaped += Digits[(unit >> shift) & 0xF];
    }
    text = std::move(escaped);
}

void UnescapeCodeUnits(std::wstring& text, TEscapableUnit escapable) {
    if (text.find(CodeUnitEscape) == std::wstring::npos)
        return;
    std::wstring plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int unit = EscapedUnitAt(text, i, escapable);
        if (unit < 0) {
            plain += text[i];
            continue;
        }
        plain += static_cast<wchar_t>(unit);
        i += HexDigits;
    }
    text = std::move(plain);
}
