#include "SingleAppInstance.h"

#include "Handles.h"

#include <mutex>
#include <vector>

namespace {

constexpr DWORD SectionSize = 8;

// Sections this process created; they stay open until the process ends.
void KeepForProcessLifetime(UniqueHandle section) {
    static std::mutex guard;
    static std::vector<UniqueHandle> kept;
    std::lock_guard lock(guard);
    kept.push_back(std::move(section));
}

} // namespace

TSingleAppInstance::TSingleAppInstance(std::string name) : name_(std::move(name)) {
    InitIds();
}

void TSingleAppInstance::InitIds() noexcept {
    if (ownProcessId_ == 0)
        ownProcessId_ = GetCurrentProcessId();
    if (ownThreadId_ == 0)
        ownThreadId_ = GetCurrentThreadId();
}

bool TSingleAppInstance::ReadOwner(HANDLE section) noexcept {
    const MappedView view = MapView(section, FILE_MAP_READ, SectionSize);
    if (!view)
        return false;
    const auto* ids = static_cast<const volatile DWORD*>(view.Get());
    ownerProcessId_ = ids[0];
    ownerThreadId_ = ids[1];
    return true;
}

bool TSingleAppInstance::OpenAndReadOwner() noexcept {
    const UniqueHandle section(OpenFileMappingA(FILE_MAP_READ, FALSE, name_.c_str()));
    return section && ReadOwner(section.Get());
}

bool TSingleAppInstance::CheckInstance() noexcept {
    try {
        InitIds();
        const UniqueHandle existing(OpenFileMappingA(FILE_MAP_READ, FALSE, name_.c_str()));
        if (existing)
            return ReadOwner(existing.Get()) && ownerProcessId_ != ownProcessId_;

        UniqueHandle section(
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, SectionSize, name_.c_str()));
        if (!section)
            return false;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            // Another instance created it between our open and create: it owns the section,
            // even when it has not written its ids yet (then they read 0).
            if (!ReadOwner(section.Get()))
                return false;
            return ownerProcessId_ != ownProcessId_;
        }
        {
            const MappedView view = MapView(section.Get(), FILE_MAP_WRITE, SectionSize);
            if (!view)
                return false;
            auto* ids = static_cast<volatile DWORD*>(view.Get());
            ids[0] = ownProcessId_;
            ids[1] = ownThreadId_;
        }
        KeepForProcessLifetime(std::move(section));
        return false;
    } catch (...) {
        return false;
    }
}

bool TSingleAppInstance::IsOtherInstanceRunning() noexcept {
    InitIds();
    return OpenAndReadOwner() && ownerProcessId_ != ownProcessId_;
}

namespace {

BOOL CALLBACK FindFirstVisible(HWND window, LPARAM found) noexcept {
    if (!IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

} // namespace

void TSingleAppInstance::ActivateOtherInstance() noexcept {
    if (ownerThreadId_ == 0)
        return;
    HWND window = nullptr;
    EnumThreadWindows(ownerThreadId_, FindFirstVisible, reinterpret_cast<LPARAM>(&window));
    if (window == nullptr)
        return;
    SetForegroundWindow(window);
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
}
