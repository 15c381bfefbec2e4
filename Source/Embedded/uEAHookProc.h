#pragma once

#include <windows.h>

#include <string>

// Window classes the library never attaches: system helpers, IME and tool tips.
extern const char* const ExclusionList;
bool IsExcludedClass(const std::string& className);

// The hook handle published by the resident program, read once at start-up.
LONG_PTR ReadHookHandle() noexcept;
// Whether the hook's owner (the resident program) still holds the hook-handle mapping, which it
// keeps from the installation of the hook to its removal.
bool HookOwnerRuns() noexcept;

extern "C" LRESULT CALLBACK CallProcHook(int code, WPARAM wParam, LPARAM lParam);
