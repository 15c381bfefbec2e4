#include "Routines.h"

#include <windows.h>

namespace {

std::string LocaleUpper(std::string text) {
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// 1-based position of ch in s, 0 when absent.
std::size_t Pos(const std::string& s, char ch) {
    const std::size_t i = s.find(ch);
    return i == std::string::npos ? 0 : i + 1;
}

} // namespace

int FindClosingBrace(const std::string& s, int from) {
    if (from < 1 || from > static_cast<int>(s.size()))
        return 0;
    int depth = 0;
    for (int i = from; i <= static_cast<int>(s.size()); ++i) {
        if (s[i - 1] == '{')
            ++depth;
        else if (s[i - 1] == '}')
            --depth;
        if (depth == 0)
            return i;
    }
    return 0;
}

int SplitString(const std::string& s, TOneArrayOfString& parts, char sep) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= 32)
        --last;
    std::string text = s.substr(first, last - first);
    TOneArrayOfString found;
    std::size_t p = 0;
    do {
        p = Pos(text, sep);
        const std::size_t b = Pos(text, '{');
        if (b > 0 && b < p) {
            const int c = FindClosingBrace(text, static_cast<int>(b));
            if (c > 0) {
                const std::size_t r = text.find(sep, static_cast<std::size_t>(c));
                p = r == std::string::npos ? 0 : r + 1;
            }
        }
        std::string piece;
        if (p == 0) {
            piece = std::move(text);
            text.clear();
        } else {
            piece = text.substr(0, p - 1);
            text.erase(0, p);
        }
        if (!piece.empty())
            found.push_back(std::move(piece));
    } while (p != 0);
    const int count = static_cast<int>(found.size());
    if (count > 0)
        parts = std::move(found);
    return count;
}

int SplitNameValues(const std::string& s, TTwoArrayOfString& pairs, char sep, char eq) {
    TOneArrayOfString pieces;
    const int n = SplitString(s, pieces, sep);
    if (n <= 0)
        return n;
    TTwoArrayOfString rows(static_cast<std::size_t>(n));
    std::size_t row = 0;
    for (const std::string& piece : pieces) {
        const std::size_t e = piece.find(eq);
        if (e == std::string::npos)
            continue;
        std::string value = piece.substr(e + 1);
        if (value.size() >= 2 && value.front() == '{' && value.back() == '}')
            value = value.substr(1, value.size() - 2);
        rows[row][0] = piece.substr(0, e);
        rows[row][1] = std::move(value);
        ++row;
    }
    pairs = std::move(rows);
    return n;
}

bool GetNameValue(const std::string& s, const std::string& name, char sep, std::string& value, char eq) {
    value.clear();
    TTwoArrayOfString pairs;
    const int n = SplitNameValues(s, pairs, sep, eq);
    const std::string wanted = LocaleUpper(name);
    for (int i = 0; i < n; ++i)
        if (LocaleUpper(pairs[i][0]) == wanted) {
            value = pairs[i][1];
            return true;
        }
    return false;
}
