#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text sometimes holds UTF-16 code units that UTF-8 or XML cannot carry: an unpaired surrogate
// from a window's class or caption, U+FFFF pasted into a box. Such a unit is written as
// U+FDD0, a noncharacter that no text needs, followed by the unit's four hex digits
// ("\uFDD0D800" for U+D800). Each use names the units it writes so (escapable); a U+FDD0 of the
// text that the hex digits of such a unit, or "FDD0", follow is written so itself. Any other
// U+FDD0 stays as it is, so that nothing else a user types reads back differently.
inline constexpr wchar_t CodeUnitEscape = 0xFDD0;

using TEscapableUnit = bool (*)(wchar_t unit) noexcept;

bool IsSurrogate(wchar_t unit) noexcept;
// Whether the unit at is a surrogate without its other half.
bool IsUnpairedSurrogate(std::wstring_view text, std::size_t at) noexcept;

// Writes each unit for which mustEscape(text, at) holds as its escape; mustEscape holds only
// for escapable units. Leaves text alone when there is nothing to write so.
void EscapeCodeUnits(std::wstring& text, bool (*mustEscape)(std::wstring_view text, std::size_t at),
                     TEscapableUnit escapable);

// Turns every escape of an escapable unit (or of U+FDD0) back into its unit.
void UnescapeCodeUnits(std::wstring& text, TEscapableUnit escapable);
