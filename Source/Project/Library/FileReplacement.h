#pragma once

#include <string>
#include <string_view>

// Replaces the content of the file by bytes in one step: they go to a temporary file beside it,
// which is then moved over it, so that a write that fails or is killed part-way leaves the old
// file whole. A read-only file is refused and left as it is. Temporary files that an earlier
// write of the same file left behind (it was killed) are removed first; no other file is.
// Failures raise EFileWriteError.
void ReplaceFileContents(const std::string& fileName, std::string_view bytes);

// The temporary files of ReplaceFileContents are named after the file: its full name, the mark,
// eight hex digits, ".tmp" ("Glazlo.ini.glzsave-00A40001.tmp").
inline constexpr const char* ReplacementMark = ".glzsave-";
std::string ReplacementTemporaryName(const std::string& fullPath, unsigned long unique);
