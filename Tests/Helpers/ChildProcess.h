#pragma once

#include "Handles.h"

#include <windows.h>

#include <string>

// A process that was started, with its first thread; Error is why a start failed (0 when it ran).
struct TStartedProcess {
    UniqueHandle Process;
    UniqueHandle Thread;
    DWORD Error = 0;
    explicit operator bool() const { return static_cast<bool>(Process); }
};

// Starts Program (empty: the command line's first word) with CommandLine, in Folder (empty: this
// one's), with the creation Flags. Under load, Wine now and then loses a new
// process before its start-up is done and answers ERROR_INTERNAL_ERROR: such a start is tried
// once more. The output tells each start that failed, with its error.
TStartedProcess StartProcess(const std::string& program, const std::string& commandLine,
                             const std::string& folder = "", DWORD flags = 0);
// The same in UTF-16, for paths that the 8-bit calls of this program cannot carry.
TStartedProcess StartProcess(const std::wstring& program, const std::wstring& commandLine,
                             const std::wstring& folder, DWORD flags = 0);
// This program started again with Arguments, for the roles of a second process.
UniqueHandle StartSelf(const std::string& arguments);
// Waits up to Timeout for the process; its exit code, or WAIT_TIMEOUT when it still runs.
DWORD WaitForExit(HANDLE process, DWORD timeout = 10000);
// The same, delivering sent messages and posted input of this thread meanwhile.
DWORD WaitForExitPumping(HANDLE process, DWORD timeout = 10000);
// A name unique to this process and call, for kernel objects of one test.
std::string UniqueName(const std::string& stem);
