#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text sometimes holds UTF-16 code units that UTF-8 or XML cannot carry: an unpaired surrogate
// from a window's class or caption, U+FFFF pasted into a box. Such a unit is written as
// U+FDD0, a noncharacter that no text needs, followed by the unit's four hex digits
// ("\uFDD0D800" for U+D800). A U+FDD0 of the text that four hex digits follow is written so
// itself ("\uFDD0FDD0"), so that every text comes back exactly.
inline constexpr wchar_t CodeUnitEscape = 0xFDD0;

// Whether the unit at is a surrogate without its other half.
bool IsUnpairedSurrogate(std::wstring_view text, std::size_t at) noexcept;

// Writes each unit for which mustEscape(text, at) holds as its escape. Leaves text alone when
// there is nothing to write so.
void EscapeCodeUnits(std::wstring& text, bool (*mustEscape)(std::wstring_view text, std::size_t at));

// Turns every escape back into its unit; a U+FDD0 without four hex digits after it stays.
void UnescapeCodeUnits(std::wstring& text);
