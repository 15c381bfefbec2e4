#include "Pex.h"

#include <windows.h>

namespace {

// Empty when the text is not valid in the code page or memory runs out.
std::wstring Wide(const std::string& text) noexcept {
    try {
        const int length = static_cast<int>(text.size());
        const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        if (size <= 0)
            return {};
        std::wstring wide(static_cast<size_t>(size), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
        return wide;
    } catch (...) {
        return {};
    }
}

} // namespace

int CompareTextIgnoreCase(const std::string& a, const std::string& b) noexcept {
    if (a.empty() || b.empty())
        return a.empty() ? (b.empty() ? 0 : -1) : 1;
    // The 8-bit compare would read the texts in the locale's own code page, which need not be the
    // program's (a UTF-8 program in an English locale): compare what the program's texts mean.
    const std::wstring wideA = Wide(a);
    const std::wstring wideB = Wide(b);
    const int result =
        wideA.empty() || wideB.empty()
            ? 0
            : CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.data(),
                             static_cast<int>(wideA.size()), wideB.data(), static_cast<int>(wideB.size()));
    // Texts the system cannot compare are told apart by their bytes.
    if (result == 0)
        return a.compare(b);
    return result - CSTR_EQUAL;
}

bool TextEqualsIgnoreCase(const std::string& a, const std::string& b) noexcept {
    return CompareTextIgnoreCase(a, b) == 0;
}
