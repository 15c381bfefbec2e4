#pragma once

#include <string>

// UTF-8 and UTF-16, whatever the code page of the process; bytes that are no UTF-8 become
// U+FFFD.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// The process's 8-bit texts (its ANSI code page) and UTF-16, converted as the system's 8-bit
// calls convert them: for the wide calls that take what those cannot (paths longer than their
// buffers).
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
