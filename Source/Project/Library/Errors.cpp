#include "Errors.h"

#include <cstdio>

namespace {

std::string BaseName(const char* path) {
    std::string name(path ? path : "");
    const auto slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string HexCode(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(code));
    return text;
}

} // namespace

EAssertionFailed::EAssertionFailed(const std::string& message, std::string unit, int line)
    : Exception(message + " (" + unit + ", line " + std::to_string(line) + ")"), assertMessage_(message),
      unit_(std::move(unit)), line_(line) {}

EOleSysError::EOleSysError(HRESULT code, const std::string& context)
    : Exception((context.empty() ? std::string() : context + ": ") + "OLE error " + HexCode(code)),
      code_(code) {}

EFileWriteError::EFileWriteError(DWORD code, const std::string& fileName)
    : Exception(fileName + ": write error " + std::to_string(code)), code_(code), fileName_(fileName) {}

std::string CurrentExceptionText() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            return e.what();
        }
    } catch (...) {
        // Of another kind, or no memory left for the copy of its message.
    }
    return "Unknown error";
}

void TraceFailure(const char* where) noexcept {
    TraceFailure(where, CurrentExceptionText());
}

void TraceFailure(const char* where, const std::string& cause) noexcept {
    try {
        const std::string line = std::string("Glazlo: ") + where + ": " + cause + "\n";
        OutputDebugStringA(line.c_str());
    } catch (...) {
        // No memory left for the line: the plainest trace there is.
        OutputDebugStringA("Glazlo: a failure was dropped\n");
    }
}

void AssertionFailed(const std::string& message, const char* file, int line) {
    throw EAssertionFailed(message, BaseName(file), line);
}

void OleCheck(HRESULT code, const char* context) {
    if (FAILED(code))
        throw EOleSysError(code, context ? context : "");
}
