#include "WinFuncs.h"

#include "CodeUnitEscapes.h"

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

} // namespace

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
