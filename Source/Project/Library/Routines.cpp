#include "Routines.h"

#include <windows.h>

int FindClosingBrace(const std::string& s, int from) {
    if (from > static_cast<int>(s.size()) || from < 1)
        return 0;
    int depth = 0;
    for (int i = from; i <= static_cast<int>(s.size()); ++i) {
        const char c = s[i - 1];
        if (c == '{')
            ++depth;
        else if (c == '}')
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

    TOneArrayOfString pieces;
    int p = 0;
    do {
        const auto sepAt = text.find(sep);
        const auto braceAt = text.find('{');
        p = sepAt == std::string::npos ? 0 : static_cast<int>(sepAt) + 1;
        const int b = braceAt == std::string::npos ? 0 : static_cast<int>(braceAt) + 1;
        if (b > 0 && b < p) {
            const int c = FindClosingBrace(text, b);
            if (c > 0) {
                const auto after = text.find(sep, c);
                p = after == std::string::npos ? 0 : static_cast<int>(after) + 1;
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
            pieces.push_back(std::move(piece));
    } while (p != 0);

    const int count = static_cast<int>(pieces.size());
    if (count > 0)
        parts = std::move(pieces);
    return count;
}

int SplitNameValues(const std::string& s, TTwoArrayOfString& pairs, char sep, char eq) {
    TOneArrayOfString pieces;
    const int n = SplitString(s, pieces, sep);
    if (n <= 0)
        return n;
    pairs.assign(n, {});
    std::size_t row = 0;
    for (const std::string& piece : pieces) {
        const auto e = piece.find(eq);
        if (e == std::string::npos)
            continue;
        std::string value = piece.substr(e + 1);
        if (value.size() >= 2 && value.front() == '{' && value.back() == '}')
            value = value.substr(1, value.size() - 2);
        pairs[row][0] = piece.substr(0, e);
        pairs[row][1] = std::move(value);
        ++row;
    }
    return n;
}

bool GetNameValue(const std::string& s, const std::string& name, char sep, std::string& value, char eq) {
    value.clear();
    TTwoArrayOfString pairs;
    const int n = SplitNameValues(s, pairs, sep, eq);
    const std::string wanted = LocaleUpper(name);
    for (int i = 0; i < n; ++i) {
        if (LocaleUpper(pairs[i][0]) == wanted) {
            value = pairs[i][1];
            return true;
        }
    }
    return false;
}

std::string LocaleUpper(std::string text) {
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}
