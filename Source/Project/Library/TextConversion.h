#pragma once

#include <string>

// UTF-8 and UTF-16, whatever the code page of the process; bytes that are no UTF-8 become
// U+FFFD.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// The process's code page (the program's 8-bit texts) and UTF-16.
std::wstring CodePageToWide(const std::string& text);
std::string WideToCodePage(const std::wstring& text);
