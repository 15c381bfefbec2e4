#pragma once

#include <windows.h>

// Waits until Done answers true, checking every few milliseconds; false after Timeout.
template <class Condition> bool WaitUntil(Condition done, DWORD timeout = 5000) {
    const ULONGLONG end = GetTickCount64() + timeout;
    while (!done()) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(5);
    }
    return true;
}
