#pragma once

#include <array>
#include <string>
#include <vector>

// Pieces of a split.
using TOneArrayOfString = std::vector<std::string>;
// Rows of name (first) and value (second).
using TTwoArrayOfString = std::vector<std::array<std::string, 2>>;

// Positions count from 1. The position that closes the brace group opening at from; 0 when
// it never closes.
int FindClosingBrace(const std::string& s, int from);

// Brace-aware split of the trimmed text; empty pieces are dropped. Parts is replaced only
// when at least one piece was found. Returns the number of pieces.
int SplitString(const std::string& s, TOneArrayOfString& parts, char sep);

// One row per piece; a piece without eq leaves an empty row at the end. A value in one
// brace group loses those braces. Returns the number of pieces.
int SplitNameValues(const std::string& s, TTwoArrayOfString& pairs, char sep, char eq);

// The first value whose name equals name in the locale's upper case.
bool GetNameValue(const std::string& s, const std::string& name, char sep, std::string& value, char eq);

// Upper case by the rules of the user's locale.
std::string LocaleUpper(std::string text);
// Upper case of the ASCII letters only.
std::string AsciiUpper(std::string text);
