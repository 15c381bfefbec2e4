#pragma once

#include <windows.h>

#include <utility>

// Owns a kernel handle (mutex, event, section, thread, process); closed exactly once.
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(HANDLE handle) noexcept : handle_(Valid(handle) ? handle : nullptr) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    HANDLE Release() noexcept { return std::exchange(handle_, nullptr); }
    void Reset(HANDLE handle = nullptr) noexcept {
        if (handle_ != nullptr)
            CloseHandle(handle_);
        handle_ = Valid(handle) ? handle : nullptr;
    }

private:
    static bool Valid(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    HANDLE handle_ = nullptr;
};

// Owns a mapped view of a section; unmapped exactly once.
class MappedView {
public:
    MappedView() noexcept = default;
    explicit MappedView(void* address) noexcept : address_(address) {}
    MappedView(MappedView&& other) noexcept : address_(std::exchange(other.address_, nullptr)) {}
    MappedView& operator=(MappedView&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.address_, nullptr));
        return *this;
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    ~MappedView() { Reset(); }

    void* Get() const noexcept { return address_; }
    template <class T> T* As() const noexcept { return static_cast<T*>(address_); }
    explicit operator bool() const noexcept { return address_ != nullptr; }
    void Reset(void* address = nullptr) noexcept {
        if (address_ != nullptr)
            UnmapViewOfFile(address_);
        address_ = address;
    }

    // Maps Size bytes of Section from offset 0; empty when that fails.
    static MappedView Map(HANDLE section, DWORD access, SIZE_T size) noexcept {
        return MappedView(section != nullptr ? MapViewOfFile(section, access, 0, 0, size) : nullptr);
    }

private:
    void* address_ = nullptr;
};

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
