#pragma once

#include <windows.h>

#include <string>

inline constexpr const char* ConfigBuilderInstanceName = "{DD7BAB85-6836-427A-9FB7-180303AE4A74}";
inline constexpr const char* ControlCenterInstanceName = "{135DB17B-7438-4F64-A705-66815D6B17A4}";

// At most one running instance per name: the first one keeps a small named section with its
// process and thread ids open until it ends. Never raises; every failure answers false.
class TSingleAppInstance {
public:
    explicit TSingleAppInstance(std::string name);

    // True when another process owns the section; creates it when there is none.
    bool CheckInstance() noexcept;
    // The same test without creating anything.
    bool IsOtherInstanceRunning() noexcept;
    // Brings the owner thread's first visible top-level window to the front, restored.
    void ActivateOtherInstance() noexcept;

    const std::string& Name() const { return name_; }
    DWORD OwnerProcessId() const { return ownerProcessId_; }
    DWORD OwnerThreadId() const { return ownerThreadId_; }

private:
    void InitIds() noexcept;
    // Reads the owner's ids from an open section; false when it cannot be mapped.
    bool ReadOwner(HANDLE section) noexcept;
    bool OpenAndReadOwner() noexcept;

    DWORD ownProcessId_ = 0;
    DWORD ownThreadId_ = 0;
    std::string name_;
    DWORD ownerProcessId_ = 0;
    DWORD ownerThreadId_ = 0;
};
