#pragma once

#include "EAErrorLog.h"

#include <string>

// "Where: Err = " and the message of the exception being handled, to the error log; for use in
// catch blocks.
void LogCurrentError(const char* where) noexcept;

// Runs Body; a failure of ours ends there and its text goes to the error log. Every entry point
// of the library runs its own work behind this guard, so that nothing of ours reaches a host;
// the methods below let failures pass up to it. A loop whose items must each get their turn
// (every part detached, every agent fired) guards each item with it too.
template <class Body> bool Guarded(const char* where, Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        LogCurrentError(where);
        return false;
    }
}

// "yes" in any ASCII letter case, and nothing else.
bool IsYes(const std::string& value);

#include <windows.h>

// The module that holds glzemb's code (the DLL, or the program in tests).
HINSTANCE ThisModule() noexcept;
