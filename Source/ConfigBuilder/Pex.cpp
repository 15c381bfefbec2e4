#include "Pex.h"

#include <windows.h>

bool TextEqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}
