#include "WinFuncs.h"

#include "CodeUnitEscapes.h"
#include "TextConversion.h"

#include <string_view>
#include <vector>

namespace {

// The window system's wide text in this process's 8-bit strings. A character the code page lacks
// becomes "?" rather than a look-alike: a fullwidth letter must not pass for the plain one. An
// unpaired surrogate is escaped: as U+FFFD, classes that differ only there would read the same.
std::string NarrowText(const wchar_t* text, int length) {
    if (length <= 0)
        return {};
    std::wstring wide(text, static_cast<size_t>(length));
    EscapeCodeUnits(wide, IsUnpairedSurrogate, IsSurrogate);
    const int wideLength = static_cast<int>(wide.size());
    const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// What a control cannot show besides unpaired surrogates: the NUL that would end its text.
bool IsEscapedInWindow(wchar_t unit) noexcept {
    return unit == 0 || IsSurrogate(unit);
}

bool MustEscapeInWindow(std::wstring_view text, std::size_t at) noexcept {
    return text[at] == 0 || IsUnpairedSurrogate(text, at);
}

// Whether text may hold a unit that one of the two forms writes otherwise: most text holds
// neither a NUL nor U+FDD0.
bool MayHoldEscapes(const std::string& text) noexcept {
    return text.find('\0') != std::string::npos || text.find("\xEF\xB7\x90") != std::string::npos;
}

// The text written anew: escapes of the units readAs holds for read as those units, then
// each unit for which mustEscape holds written as its escape.
std::string Reescaped(const std::string& text, TEscapableUnit readAs,
                      bool (*mustEscape)(std::wstring_view, std::size_t), TEscapableUnit escapable) {
    if (!MayHoldEscapes(text))
        return text;
    std::wstring wide = AnsiToWide(text);
    UnescapeCodeUnits(wide, readAs);
    EscapeCodeUnits(wide, mustEscape, escapable);
    return WideToAnsi(wide);
}

} // namespace

std::string TextForWindow(const std::string& text) {
    return Reescaped(text, IsSurrogate, MustEscapeInWindow, IsEscapedInWindow);
}

std::string TextFromWindow(const std::string& shown) {
    return Reescaped(shown, IsEscapedInWindow, IsUnpairedSurrogate, IsSurrogate);
}

std::string GetWindowClassName(HWND window) {
    wchar_t buffer[255];
    return NarrowText(buffer, GetClassNameW(window, buffer, 255));
}

std::string GetWindowCaption(HWND window) {
    // Read from what the window system keeps, never by a message: the resident program asks
    // from its server thread, and a hung or busy window thread would hold up every client.
    std::vector<wchar_t> wide(256);
    int copied = 0;
    for (;;) {
        copied = InternalGetWindowText(window, wide.data(), static_cast<int>(wide.size()));
        if (copied < static_cast<int>(wide.size()) - 1 || wide.size() >= 65536)
            break;
        wide.resize(wide.size() * 2);
    }
    return NarrowText(wide.data(), copied);
}
