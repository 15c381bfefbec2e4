#pragma once

#include "Handles.h"

#include <windows.h>

inline constexpr const char* HookLibraryName = "glzemb.dll";
inline constexpr const char* HookProcName = "CallProcHook";

// glzemb's hook for the desktop and its handle published in the 4-byte mapping that every copy
// of the library reads. Each part is released exactly once, in the order the library needs.
class THookInstallation {
public:
    THookInstallation() = default;
    THookInstallation(const THookInstallation&) = delete;
    THookInstallation& operator=(const THookInstallation&) = delete;
    ~THookInstallation() { Remove(); }

    // True when the hook is installed and its handle published (also when it already was).
    bool Install() noexcept;
    // Unhooks, wakes every thread so that hooked processes let the library go, unpublishes.
    void Unhook() noexcept;
    // Unhook, then frees this process's reference to the library.
    void Remove() noexcept;

    HHOOK Hook() const noexcept { return hook_.Get(); }
    HMODULE Library() const noexcept { return library_.Get(); }
    bool Published() const noexcept { return static_cast<bool>(view_); }

private:
    UniqueModule library_;
    UniqueHook hook_;
    UniqueHandle mapping_;
    MappedView view_;
};
