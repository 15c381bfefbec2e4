#pragma once

#include <windows.h>

#include <memory>

class TEmbededApplication;
using TEmbededApplicationPtr = std::shared_ptr<TEmbededApplication>;

// Start-up runs on the first hook call, never under the loader lock.
TEmbededApplicationPtr EmbededApplication() noexcept;
LONG_PTR HookHandle() noexcept;
// Private: a worker hands a fetched rule to the window's own thread with it.
UINT ApplyRuleMessage() noexcept;

// The module this code lives in; set by DllMain, or the program itself when linked in.
HMODULE ThisModule() noexcept;
// Once a window procedure of ours is in place the code must never be unmapped.
void PinModule() noexcept;

// At an unload by FreeLibrary (nothing is subclassed then: the module would be pinned).
void ReleaseApplication() noexcept;
