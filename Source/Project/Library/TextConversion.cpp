#include "TextConversion.h"

#include <windows.h>

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty())
        return {};
    const int input = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), input, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), input, wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& text) {
    if (text.empty())
        return {};
    const int input = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, 0, text.data(), input, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), input, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace

std::wstring Utf8ToWide(const std::string& text) {
    return ToWide(CP_UTF8, text);
}

std::string WideToUtf8(const std::wstring& text) {
    return FromWide(CP_UTF8, text);
}

std::wstring CodePageToWide(const std::string& text) {
    return ToWide(CP_ACP, text);
}

std::string WideToCodePage(const std::wstring& text) {
    return FromWide(CP_ACP, text);
}
