#include "HookInstallation.h"

#include "AppSpecificConsts.h"

#include <cstdint>
#include <cstring>

bool THookInstallation::Install() noexcept {
    if (hook_)
        return true;
    const DWORD threadId = HookAllThreads ? 0 : GetCurrentThreadId();
    if (!library_)
        library_.Reset(LoadLibraryA((ApplicationFolder + HookLibraryName).c_str()));
    if (!library_)
        return false;
    const auto proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library_.Get(), HookProcName)));
    if (proc == nullptr)
        return false;
    hook_.Reset(SetWindowsHookExA(WH_CALLWNDPROC, proc, library_.Get(), threadId));
    if (!hook_)
        return false;
    mapping_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, HookMappingName));
    if (!mapping_)
        return false;
    view_ = MapView(mapping_.Get(), FILE_MAP_ALL_ACCESS, 4);
    if (!view_) {
        mapping_.Reset();
        return false;
    }
    // User handles are 32-bit values on 64-bit Windows; the readers widen them back.
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hook_.Get()));
    std::memcpy(view_.Get(), &value, sizeof value);
    return true;
}

void THookInstallation::Unhook() noexcept {
    hook_.Reset();
    SendNotifyMessageA(HWND_BROADCAST, WM_NULL, 0, 0);
    view_.Reset();
    mapping_.Reset();
}

void THookInstallation::Remove() noexcept {
    Unhook();
    library_.Reset();
}
