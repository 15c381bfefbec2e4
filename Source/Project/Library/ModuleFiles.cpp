#include "ModuleFiles.h"

#include "TextConversion.h"

namespace {
// Longer than any path the system accepts: a buffer this size that is still filled means failure.
constexpr DWORD LongestPath = 32768;
} // namespace

std::string ModuleFileName(HMODULE module) {
    // Asked in UTF-16: the 8-bit call cuts a path whose bytes do not fit its buffer where its
    // characters would (UTF-8 takes up to three bytes for one), and answers that cut path as the
    // whole, without an error.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A path that does not fit comes back cut to the buffer's size.
        if (length < path.size()) {
            path.resize(length);
            return WideToAnsi(path);
        }
        if (path.size() > LongestPath)
            return {};
        path.resize(path.size() * 2);
    }
}

std::string ModuleFolder(HMODULE module) {
    const std::string path = ModuleFileName(module);
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}
