#pragma once

#include <array>
#include <string>
#include <vector>

// Flat parameter text: NAME=value pieces joined by one separator character; a value may be
// a brace group holding separators of its own. Nothing is escaped.
using TOneArrayOfString = std::vector<std::string>;
using TTwoArrayOfString = std::vector<std::array<std::string, 2>>; // name, value

// Positions count from 1. The position closing the group opening at from, 0 when none.
int FindClosingBrace(const std::string& s, int from);
// The number of pieces; parts is left as it was when there are none.
int SplitString(const std::string& s, TOneArrayOfString& parts, char sep);
// The number of pieces (not of pairs); rows of pieces without eq stay empty at the end.
int SplitNameValues(const std::string& s, TTwoArrayOfString& pairs, char sep, char eq);
// Names compare after locale upper-casing; the first match wins.
bool GetNameValue(const std::string& s, const std::string& name, char sep, std::string& value, char eq);
