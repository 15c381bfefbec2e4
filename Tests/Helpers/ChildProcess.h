#pragma once

#include "Handles.h"

#include <windows.h>

#include <string>

// This program started again with Arguments, for the roles of a second process.
UniqueHandle StartSelf(const std::string& arguments);
// Waits up to Timeout for the process; its exit code, or WAIT_TIMEOUT when it still runs.
DWORD WaitForExit(HANDLE process, DWORD timeout = 10000);
// The same, delivering sent messages and posted input of this thread meanwhile.
DWORD WaitForExitPumping(HANDLE process, DWORD timeout = 10000);
// A name unique to this process and call, for kernel objects of one test.
std::string UniqueName(const std::string& stem);
