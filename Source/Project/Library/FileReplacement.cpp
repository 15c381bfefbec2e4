#include "FileReplacement.h"

#include "Errors.h"
#include "Handles.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

std::string FolderOf(const std::string& fullPath) {
    const auto slash = fullPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : fullPath.substr(0, slash);
}

constexpr size_t UniqueDigits = 8;

std::string FileNameOf(const std::string& fullPath) {
    const auto slash = fullPath.find_last_of("\\/");
    return slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
}

// Only a name that a replacement of this very file makes: a user's own files stay, whatever
// they are called.
bool IsReplacementLeftover(const std::string& name, const std::string& fileName) {
    const std::string stem = fileName + ReplacementMark;
    constexpr size_t Extension = 4;
    if (name.size() != stem.size() + UniqueDigits + Extension ||
        _strnicmp(name.c_str(), stem.c_str(), stem.size()) != 0 ||
        _stricmp(name.c_str() + name.size() - Extension, ".tmp") != 0)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()),
                       name.end() - static_cast<std::ptrdiff_t>(Extension),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

void RemoveLeftovers(const std::string& fullPath) {
    const std::string folder = FolderOf(fullPath);
    const std::string fileName = FileNameOf(fullPath);
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + "\\" + fileName + ReplacementMark + "*.tmp";
    const UniqueFind search(FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return;
    do {
        // A save still running elsewhere holds its file open, and the deletion fails.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsReplacementLeftover(found.cFileName, fileName))
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search.Get(), &found));
}

// A new temporary file beside the file, open for writing; its name goes to path.
UniqueHandle CreateTemporary(const std::string& fullPath, std::string& path) {
    static std::atomic<DWORD> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const DWORD unique = GetCurrentProcessId() * 0x10000u + (counter++ & 0xFFFFu);
        path = ReplacementTemporaryName(fullPath, unique);
        UniqueHandle file(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
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
DWORD MoveFailure(const char* fullPath) {
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED)
        return error;
    UniqueHandle probe(CreateFileA(fullPath, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

} // namespace

std::string ReplacementTemporaryName(const std::string& fullPath, unsigned long unique) {
    char digits[UniqueDigits + 1];
    std::snprintf(digits, sizeof digits, "%08lX", unique & 0xFFFFFFFFul);
    return fullPath + ReplacementMark + digits + ".tmp";
}

void ReplaceFileContents(const std::string& fileName, std::string_view bytes) {
    char fullPath[MAX_PATH];
    const DWORD length = GetFullPathNameA(fileName.c_str(), MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH)
        throw EFileWriteError(ERROR_INVALID_NAME, fileName);
    // Moving a file over a read-only one would take its place, and its attribute with it.
    const DWORD attributes = GetFileAttributesA(fullPath);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        throw EFileWriteError(ERROR_ACCESS_DENIED, fullPath);
    RemoveLeftovers(fullPath);
    std::string tempPath;
    UniqueHandle file = CreateTemporary(fullPath, tempPath);
    if (!file)
        throw EFileWriteError(GetLastError(), fullPath);
    try {
        WriteAll(file, tempPath, bytes);
        file.Reset();
        if (!MoveFileExA(tempPath.c_str(), fullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw EFileWriteError(MoveFailure(fullPath), fullPath);
    } catch (const EFileWriteError& error) {
        file.Reset();
        DeleteFileA(tempPath.c_str());
        // What failed is the file the caller named, whichever of the two steps it was.
        throw EFileWriteError(error.ErrorCode(), fullPath);
    } catch (...) {
        file.Reset();
        DeleteFileA(tempPath.c_str());
        throw;
    }
}
