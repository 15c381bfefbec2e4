#pragma once

#include "Errors.h"

#include <windows.h>

#include <functional>

// The window message as a subclassing procedure received it.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

using TWndMethod = std::function<void(TMessage&)>;

// Setting the window procedure failed: the window is not subclassed.
class EWindowHook : public Exception {
public:
    using Exception::Exception;
};

struct THookEntry;

// Subclasses one window: its procedure becomes an entry that calls WndMethod.
// Unhooking puts the old procedure back only while ours is still the one in place;
// otherwise the entry stays behind as a pass-through to the old procedure.
class TWHook {
public:
    TWHook(HWND window, TWndMethod wndMethod); // hooks at once; EWindowHook on failure
    ~TWHook();
    TWHook(const TWHook&) = delete;
    TWHook& operator=(const TWHook&) = delete;

    void Hook();
    void Unhook() noexcept;
    void CallOld(TMessage& message) const noexcept;

    HWND Window() const noexcept { return window_; }
    bool Hooked() const noexcept { return hooked_; }
    bool Unicode() const noexcept { return unicode_; }
    WNDPROC OldProc() const noexcept;
    WNDPROC NewProc() const noexcept;
    void SetOldProc(WNDPROC proc) noexcept;

private:
    HWND window_;
    TWndMethod wndMethod_;
    THookEntry* entry_ = nullptr;
    bool hooked_ = false;
    bool unicode_ = false;
    WNDPROC oldProc_ = nullptr; // kept after Unhook so that CallOld still works

    friend struct THookEntry;
};

// Entries still in use as pass-throughs or in a call, for tests of the clean-up.
long LiveHookEntries() noexcept;
