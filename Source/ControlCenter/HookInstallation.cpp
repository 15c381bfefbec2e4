#include "HookInstallation.h"

#include "AppSpecificConsts.h"

#include <cstdint>
#include <cstring>

bool THookInstallation::Install() noexcept {
    if (hook_ != nullptr)
        return true;
    const DWORD threadId = HookAllThreads ? 0 : GetCurrentThreadId();
    if (library_ == nullptr)
        library_ = LoadLibraryA((ApplicationFolder + HookLibraryName).c_str());
    if (library_ == nullptr)
        return false;
    const auto proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library_, HookProcName)));
    if (proc == nullptr)
        return false;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, proc, library_, threadId);
    if (hook_ == nullptr)
        return false;
    mapping_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, HookMappingName));
    if (!mapping_)
        return false;
    view_ = MappedView::Map(mapping_.Get(), FILE_MAP_ALL_ACCESS, 4);
    if (!view_) {
        mapping_.Reset();
        return false;
    }
    // User handles are 32-bit values on 64-bit Windows; the readers widen them back.
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hook_));
    std::memcpy(view_.Get(), &value, sizeof value);
    return true;
}

void THookInstallation::Unhook() noexcept {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
    SendNotifyMessageA(HWND_BROADCAST, WM_NULL, 0, 0);
    view_.Reset();
    mapping_.Reset();
}

void THookInstallation::Remove() noexcept {
    Unhook();
    if (library_ != nullptr) {
        FreeLibrary(library_);
        library_ = nullptr;
    }
}
