#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

// A set of 8-bit characters, tested by character code.
using TCharSet = std::bitset<256>;

TCharSet CharSet(std::string_view members);
inline bool InSet(const TCharSet& set, char c) {
    return set.test(static_cast<unsigned char>(c));
}

// Separators of the numbers of a stored window position, and of a stored set's member names.
extern const TCharSet PositionDelimiters;
extern const TCharSet SetDelimiters;

// Every occurrence of find replaced, left to right; the inserted text is never searched again.
std::string ReplaceAll(const std::string& s, const std::string& find, const std::string& replacement);

// Words are maximal runs of characters outside delimiters; positions count from 1.
int CountWords(const std::string& s, const TCharSet& delimiters);
// 0 when s has fewer than n words or n < 1.
int WordStart(int n, const std::string& s, const TCharSet& delimiters);
std::string NthWord(int n, const std::string& s, const TCharSet& delimiters);

// Reversible scrambling of a stored text: each character XOR the key's character at the same
// position (the key repeats; an empty key leaves the codes), as two lower-case hex digits.
std::string XorToHex(const std::string& key, const std::string& source);
// The reverse; a pair that is not hexadecimal gives a blank, an odd last character is ignored.
std::string XorFromHex(const std::string& key, const std::string& source);

// Decimal digits with an optional sign and nothing else; nothing for any other text.
std::optional<long long> ParseDecimal(const std::string& text);
