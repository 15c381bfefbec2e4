#include "FileReplacement.h"

#include "Errors.h"
#include "Handles.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

std::string FolderOf(const std::string& fullPath) {
    const auto slash = fullPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : fullPath.substr(0, slash);
}

// What GetTempFileNameA makes with the prefix: the prefix, 1 to 4 hex digits, ".tmp".
bool IsReplacementLeftover(const char* name) {
    const size_t prefix = std::strlen(ReplacementPrefix);
    const size_t length = std::strlen(name);
    if (length < prefix + 5 || length > prefix + 8 || _strnicmp(name, ReplacementPrefix, prefix) != 0 ||
        _stricmp(name + length - 4, ".tmp") != 0)
        return false;
    for (size_t i = prefix; i < length - 4; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

void RemoveLeftovers(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + "\\" + ReplacementPrefix + "*.tmp";
    const UniqueFind search(FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsReplacementLeftover(found.cFileName))
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search.Get(), &found));
}

void WriteAll(const std::string& fileName, std::string_view bytes) {
    UniqueHandle file(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EFileWriteError(GetLastError(), fileName);
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
    const std::string folder = FolderOf(fullPath);
    RemoveLeftovers(folder);
    char tempPath[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), ReplacementPrefix, 0, tempPath) == 0)
        throw EFileWriteError(GetLastError(), fullPath);
    try {
        WriteAll(tempPath, bytes);
        if (!MoveFileExA(tempPath, fullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw EFileWriteError(MoveFailure(fullPath), fullPath);
    } catch (const EFileWriteError& error) {
        DeleteFileA(tempPath);
        // What failed is the file the caller named, whichever of the two steps it was.
        throw EFileWriteError(error.ErrorCode(), fullPath);
    } catch (...) {
        DeleteFileA(tempPath);
        throw;
    }
}
