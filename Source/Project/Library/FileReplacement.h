#pragma once

#include <string>
#include <string_view>

// Replaces the content of the file by bytes in one step: they go to a temporary file beside it,
// which is then moved over it, so that a write that fails or is killed part-way leaves the old
// file whole. A read-only file is refused and left as it is. Temporary files that an earlier
// write left behind (it was killed) are removed first. Failures raise EFileWriteError.
void ReplaceFileContents(const std::string& fileName, std::string_view bytes);

// The temporary files of ReplaceFileContents are named so: the prefix, up to four hex digits, ".tmp".
inline constexpr const char* ReplacementPrefix = "glz";
