#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

// Owns one handle of the kind Traits describes and releases it exactly once; movable, not
// copyable. Traits names the handle type (Handle), the value that owns nothing (Empty), which
// values the system hands out as real handles (Owns) and how one is released (Close). A Traits
// with fields carries what the release needs besides the handle: the window of a device context,
// the device context of a selected object.
template <class Traits> class UniqueOwner {
public:
    using Handle = typename Traits::Handle;

    UniqueOwner() noexcept = default;
    explicit UniqueOwner(Handle handle, Traits traits = {}) noexcept
        : handle_(Kept(handle)), traits_(traits) {}
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.Release()), traits_(other.traits_) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            Reset();
            traits_ = other.traits_;
            handle_ = other.Release();
        }
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    ~UniqueOwner() { Reset(); }

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::Owns(handle_); }
    // Gives the handle up without releasing it.
    Handle Release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    // Releases what is held and takes Handle, released the same way later.
    void Reset(Handle handle = Traits::Empty()) noexcept {
        if (Traits::Owns(handle_))
            traits_.Close(handle_);
        handle_ = Kept(handle);
    }

private:
    static Handle Kept(Handle handle) noexcept { return Traits::Owns(handle) ? handle : Traits::Empty(); }

    Handle handle_ = Traits::Empty();
    [[no_unique_address]] Traits traits_{};
};

// Handles for which null is the only empty value, released by one call.
template <class H, auto ReleaseCall> struct NullIsEmpty {
    using Handle = H;
    static H Empty() noexcept { return nullptr; }
    static bool Owns(H handle) noexcept { return handle != nullptr; }
    static void Close(H handle) noexcept { ReleaseCall(handle); }
};

// Kernel handles: some calls fail with null, others with INVALID_HANDLE_VALUE; both own nothing
// and read back as null.
template <auto ReleaseCall> struct KernelObject {
    using Handle = HANDLE;
    static HANDLE Empty() noexcept { return nullptr; }
    static bool Owns(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { ReleaseCall(handle); }
};

// Mutex, event, section, thread, process, file.
using UniqueHandle = UniqueOwner<KernelObject<&CloseHandle>>;
// A FindFirstFile search.
using UniqueFind = UniqueOwner<KernelObject<&FindClose>>;
// A mapped view of a section.
using MappedView = UniqueOwner<NullIsEmpty<void*, &UnmapViewOfFile>>;
using UniqueHook = UniqueOwner<NullIsEmpty<HHOOK, &UnhookWindowsHookEx>>;
// A reference to a loaded library.
using UniqueModule = UniqueOwner<NullIsEmpty<HMODULE, &FreeLibrary>>;
using UniqueMenu = UniqueOwner<NullIsEmpty<HMENU, &DestroyMenu>>;
using UniqueRegKey = UniqueOwner<NullIsEmpty<HKEY, &RegCloseKey>>;
// Memory the system allocated for the caller (FORMAT_MESSAGE_ALLOCATE_BUFFER).
using UniqueLocalMemory = UniqueOwner<NullIsEmpty<HLOCAL, &LocalFree>>;
// An icon or a cursor loaded without LR_SHARED.
using UniqueIcon = UniqueOwner<NullIsEmpty<HICON, &DestroyIcon>>;
// One GDI object (font, bitmap, brush, pen), typed.
template <class H> using UniqueGdiObject = UniqueOwner<NullIsEmpty<H, &DeleteObject>>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
// A device context made by CreateCompatibleDC.
using MemoryDC = UniqueOwner<NullIsEmpty<HDC, &DeleteDC>>;

// A window's device context goes back to the window it came from.
struct WindowDCRelease {
    using Handle = HDC;
    HWND Window = nullptr;
    static HDC Empty() noexcept { return nullptr; }
    static bool Owns(HDC dc) noexcept { return dc != nullptr; }
    void Close(HDC dc) const noexcept { ReleaseDC(Window, dc); }
};
using WindowDC = UniqueOwner<WindowDCRelease>;

// GetDC: the client area of Window (the screen for null).
inline WindowDC GetOwnedDC(HWND window) noexcept {
    return WindowDC(GetDC(window), {window});
}
// GetWindowDC: the whole window, frame included.
inline WindowDC GetOwnedWindowDC(HWND window) noexcept {
    return WindowDC(GetWindowDC(window), {window});
}

// A window's painting between BeginPaint and EndPaint.
struct PaintEnd {
    using Handle = HDC;
    HWND Window = nullptr;
    PAINTSTRUCT Paint{};
    static HDC Empty() noexcept { return nullptr; }
    static bool Owns(HDC dc) noexcept { return dc != nullptr; }
    void Close(HDC) const noexcept { EndPaint(Window, &Paint); }
};
using PaintDC = UniqueOwner<PaintEnd>;

inline PaintDC BeginOwnedPaint(HWND window) noexcept {
    PaintEnd end{window, {}};
    const HDC dc = BeginPaint(window, &end.Paint);
    return PaintDC(dc, end);
}

// What an object's selection replaced is selected again at the end.
struct SelectionRestore {
    using Handle = HGDIOBJ;
    HDC Dc = nullptr;
    static HGDIOBJ Empty() noexcept { return nullptr; }
    static bool Owns(HGDIOBJ old) noexcept { return old != nullptr && old != HGDI_ERROR; }
    void Close(HGDIOBJ old) const noexcept { SelectObject(Dc, old); }
};
using SelectedObject = UniqueOwner<SelectionRestore>;

// SelectObject for a scope; nothing is restored when the selection failed.
inline SelectedObject SelectInto(HDC dc, HGDIOBJ object) noexcept {
    return SelectedObject(SelectObject(dc, object), {dc});
}

// COM of the calling thread; uninitialised at the end only when the initialisation succeeded
// (S_OK, or S_FALSE when the thread had it already).
struct ComUninitialize {
    using Handle = HRESULT;
    static HRESULT Empty() noexcept { return CO_E_NOTINITIALIZED; }
    static bool Owns(HRESULT result) noexcept { return SUCCEEDED(result); }
    static void Close(HRESULT) noexcept { CoUninitialize(); }
};
using ComScope = UniqueOwner<ComUninitialize>;

// A single-threaded apartment, as CoInitialize gives; empty when COM refuses.
inline ComScope InitializeCom() noexcept {
    return ComScope(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

// Maps Size bytes of Section from offset 0; empty when that fails.
inline MappedView MapView(HANDLE section, DWORD access, SIZE_T size) noexcept {
    return MappedView(section != nullptr ? MapViewOfFile(section, access, 0, 0, size) : nullptr);
}

// Takes a mutex for its scope. A mutex abandoned by a holder that ended counts as taken.
class MutexLock {
public:
    explicit MutexLock(HANDLE mutex, DWORD timeout = INFINITE) noexcept {
        if (mutex == nullptr) {
            result_ = WAIT_FAILED;
            return;
        }
        result_ = WaitForSingleObject(mutex, timeout);
        if (result_ == WAIT_OBJECT_0 || result_ == WAIT_ABANDONED)
            mutex_ = mutex;
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock() {
        if (mutex_ != nullptr)
            ReleaseMutex(mutex_);
    }

    bool Acquired() const noexcept { return mutex_ != nullptr; }
    bool TimedOut() const noexcept { return result_ == WAIT_TIMEOUT; }

private:
    HANDLE mutex_ = nullptr;
    DWORD result_ = WAIT_FAILED;
};

// Takes a slim reader/writer lock exclusively for its scope. Unlike a mutex or the run-time's
// mutexes, threads that meet on it cost no kernel object and, under Wine, no server round trip.
class SlimLock {
public:
    explicit SlimLock(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    SlimLock(const SlimLock&) = delete;
    SlimLock& operator=(const SlimLock&) = delete;
    ~SlimLock() { ReleaseSRWLockExclusive(&lock_); }

    // Releases the lock while waiting on Condition, up to Milliseconds; false on a time-out.
    bool Wait(CONDITION_VARIABLE& condition, DWORD milliseconds) noexcept {
        return SleepConditionVariableSRW(&condition, &lock_, milliseconds, 0) != FALSE;
    }

private:
    SRWLOCK& lock_;
};
