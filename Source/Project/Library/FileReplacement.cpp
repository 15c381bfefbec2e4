#include "FileReplacement.h"

#include "Errors.h"
#include "Handles.h"
#include "TextConversion.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

constexpr size_t UniqueDigits = 8;
constexpr wchar_t LongPathPrefix[] = L"\\\\?\\";

// The same path in the form the wide file functions take at any length up to the system's 32,767
// characters: a temporary name longer than MAX_PATH must not fail where the file itself is
// written. Full is a full path (GetFullPathName).
std::wstring LongForm(const std::wstring& full) {
    if (full.rfind(LongPathPrefix, 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0)
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return std::wstring(LongPathPrefix) + L"UNC\\" + full.substr(2);
    return LongPathPrefix + full;
}

// The full path of the file, however long; empty when the system cannot make one.
std::wstring FullPathOf(const std::wstring& fileName) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(fileName.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return {};
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::wstring FolderOf(const std::wstring& fullPath) {
    const auto slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : fullPath.substr(0, slash);
}

std::wstring FileNameOf(const std::wstring& fullPath) {
    const auto slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? fullPath : fullPath.substr(slash + 1);
}

bool SameIgnoringCase(const wchar_t* a, const wchar_t* b, size_t length) {
    return CompareStringOrdinal(a, static_cast<int>(length), b, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// Only a name that a replacement of this very file makes: a user's own files stay, whatever
// they are called.
bool IsReplacementLeftover(const std::wstring& name, const std::wstring& fileName) {
    const std::wstring stem = fileName + AnsiToWide(ReplacementMark);
    constexpr size_t Extension = 4;
    if (name.size() != stem.size() + UniqueDigits + Extension ||
        !SameIgnoringCase(name.c_str(), stem.c_str(), stem.size()) ||
        !SameIgnoringCase(name.c_str() + name.size() - Extension, L".tmp", Extension))
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()),
                       name.end() - static_cast<std::ptrdiff_t>(Extension), [](wchar_t c) {
                           return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') ||
                                  (c >= L'a' && c <= L'f');
                       });
}

void RemoveLeftovers(const std::wstring& longPath) {
    const std::wstring folder = FolderOf(longPath);
    const std::wstring fileName = FileNameOf(longPath);
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + L"\\" + fileName + AnsiToWide(ReplacementMark) + L"*.tmp";
    const UniqueFind search(FindFirstFileW(pattern.c_str(), &found));
    if (!search)
        return;
    do {
        // A save still running elsewhere holds its file open, and the deletion fails.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsReplacementLeftover(found.cFileName, fileName))
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search.Get(), &found));
}

// A new temporary file beside the file, open for writing; its name goes to path.
UniqueHandle CreateTemporary(const std::wstring& longPath, std::wstring& path) {
    static std::atomic<DWORD> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const DWORD unique = GetCurrentProcessId() * 0x10000u + (counter++ & 0xFFFFu);
        path = longPath + AnsiToWide(ReplacementTemporaryName({}, unique));
        UniqueHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return UniqueHandle();
}

void WriteAll(const UniqueHandle& file, const std::string& fileName, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr))
            throw EFileWriteError(GetLastError(), fileName);
        if (written == 0)
            throw EFileWriteError(ERROR_DISK_FULL, fileName);
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file.Get()))
        throw EFileWriteError(GetLastError(), fileName);
}

// Why the file could not be replaced. Some systems answer "access denied" for a file that
// another program holds open; asking for it with every sharing allowed tells the two apart.
DWORD MoveFailure(const std::wstring& longPath) {
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED)
        return error;
    UniqueHandle probe(CreateFileW(longPath.c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

// Moves the written temporary file over the file. A reader that has the file open only for a
// moment (GlazloCenter reading the previous save, a virus scanner) is waited for, briefly: a save
// must not be refused for that.
bool MoveOver(const std::wstring& tempPath, const std::wstring& longPath) {
    constexpr int Tries = 40;
    constexpr DWORD Pause = 50;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(tempPath.c_str(), longPath.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt == Tries || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return false;
        Sleep(Pause);
    }
}

} // namespace

std::string ReplacementTemporaryName(const std::string& fullPath, unsigned long unique) {
    char digits[UniqueDigits + 1];
    std::snprintf(digits, sizeof digits, "%08lX", unique & 0xFFFFFFFFul);
    return fullPath + ReplacementMark + digits + ".tmp";
}

void ReplaceFileContents(const std::string& fileName, std::string_view bytes) {
    const std::wstring full = FullPathOf(AnsiToWide(fileName));
    if (full.empty())
        throw EFileWriteError(ERROR_INVALID_NAME, fileName);
    const std::string fullPath = WideToAnsi(full);
    // A file that no 8-bit file call can open again (the programs read with those) is not written.
    if (full.size() >= MAX_PATH)
        throw EFileWriteError(ERROR_FILENAME_EXCED_RANGE, fullPath);
    const std::wstring longPath = LongForm(full);
    // Moving a file over a read-only one would take its place, and its attribute with it.
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        throw EFileWriteError(ERROR_ACCESS_DENIED, fullPath);
    RemoveLeftovers(longPath);
    std::wstring tempPath;
    UniqueHandle file = CreateTemporary(longPath, tempPath);
    if (!file)
        throw EFileWriteError(GetLastError(), fullPath);
    // What fails is told of the file the caller named, whichever of the two steps it was.
    try {
        WriteAll(file, fullPath, bytes);
        file.Reset();
        if (!MoveOver(tempPath, longPath))
            throw EFileWriteError(MoveFailure(longPath), fullPath);
    } catch (...) {
        file.Reset();
        DeleteFileW(tempPath.c_str());
        throw;
    }
}
