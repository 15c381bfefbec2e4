#pragma once

#include <windows.h>

#include <exception>
#include <string>

// The one base of every failure the system raises.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// Internal consistency failure; what() reads "message (unit, line N)".
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const std::string& message, std::string unit, int line);
    const std::string& AssertMessage() const noexcept { return assertMessage_; }
    const std::string& Unit() const noexcept { return unit_; }
    int Line() const noexcept { return line_; }

private:
    std::string assertMessage_;
    std::string unit_;
    int line_;
};

// A failed call on a COM interface; carries its result code.
class EOleSysError : public Exception {
public:
    EOleSysError(HRESULT code, const std::string& context);
    HRESULT ErrorCode() const noexcept { return code_; }

private:
    HRESULT code_;
};

// A file that could not be written; carries the system's error code (ERROR_FILE_TOO_LARGE when
// what was to be written is larger than its readers take).
class EFileWriteError : public Exception {
public:
    EFileWriteError(DWORD code, const std::string& fileName);
    DWORD ErrorCode() const noexcept { return code_; }
    const std::string& FileName() const noexcept { return fileName_; }

private:
    DWORD code_;
    std::string fileName_;
};

// An interface asked for with a cast that must succeed is missing.
class EIntfCastError : public Exception {
public:
    EIntfCastError() : Exception("Interface not supported") {}
};

// The message of the exception being handled ("Unknown error" for one of no known kind); for
// catch blocks only.
std::string CurrentExceptionText() noexcept;

// Records the exception being handled, with Where it was caught, for a developer's debugger
// (OutputDebugString): for catch blocks that go on without it.
void TraceFailure(const char* where) noexcept;
// The same for a failure that raised nothing, told by its Cause.
void TraceFailure(const char* where, const std::string& cause) noexcept;

[[noreturn]] void AssertionFailed(const std::string& message, const char* file, int line);

// Raises EOleSysError for a failed HRESULT.
void OleCheck(HRESULT code, const char* context = "");

#define GLZ_ASSERT(condition, message)                                                                       \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::AssertionFailed((message), __FILE__, __LINE__);                                                \
    } while (false)
