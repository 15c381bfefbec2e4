#pragma once

#include "EAInterfaceDeclarations.h"
#include "Errors.h"

#include <windows.h>

#include <functional>

using TWndMethod = std::function<void(TMessage&)>;

// Setting the window procedure failed: the window is not subclassed.
class EWindowHook : public Exception {
public:
    using Exception::Exception;
};

struct THookRecord;

// Subclasses one window: its procedure becomes the library's one window procedure, which finds
// the hook by the window and calls WndMethod. No code is written at run time.
// Unhooking puts the old procedure back only while ours is still the one in place;
// otherwise ours stays behind as a pass-through to the old procedure.
// Nothing here is noexcept on the way to the old procedure: the host's own exceptions pass.
class TWHook {
public:
    TWHook(HWND window, TWndMethod wndMethod); // hooks at once; EWindowHook on failure
    ~TWHook();
    TWHook(const TWHook&) = delete;
    TWHook& operator=(const TWHook&) = delete;

    void Hook();
    void Unhook() noexcept;
    void CallOld(TMessage& message) const;

    HWND Window() const noexcept { return window_; }
    bool Hooked() const noexcept { return hooked_; }
    bool Unicode() const noexcept { return unicode_; }
    WNDPROC OldProc() const noexcept;
    WNDPROC NewProc() const noexcept;
    void SetOldProc(WNDPROC proc) noexcept;

private:
    HWND window_;
    TWndMethod wndMethod_;
    THookRecord* record_ = nullptr;
    bool hooked_ = false;
    bool unicode_ = false;
    WNDPROC oldProc_ = nullptr; // kept after Unhook so that CallOld still works

    static LRESULT CALLBACK StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
};

// Windows whose record is still in use (hooked, a pass-through or in a call), for tests of the
// clean-up.
long LiveHookEntries() noexcept;
