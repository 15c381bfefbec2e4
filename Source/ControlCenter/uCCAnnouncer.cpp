#include "uCCAnnouncer.h"

#include "Declarations.h"

#include <set>

namespace {

// A callback that names an announcer which may already be gone carries only a number, checked
// against the announcer of this thread.
thread_local TWindowAnnouncer* announcing = nullptr;

} // namespace

TWindowAnnouncer::TWindowAnnouncer() : TThread(true), wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

TWindowAnnouncer::~TWindowAnnouncer() {
    Stop();
}

void TWindowAnnouncer::Announce(std::vector<HWND> windows) {
    {
        const std::lock_guard lock(lock_);
        windows_ = std::move(windows);
        next_ = 0;
    }
    SetEvent(wake_.Get());
}

void TWindowAnnouncer::Stop() {
    {
        const std::lock_guard lock(lock_);
        windows_.clear();
        next_ = 0;
    }
    Terminate();
    SetEvent(wake_.Get());
    if (Handle() == nullptr || Finished())
        return;
    // A thread that never ran is let run to its end, so that no suspended thread stays behind.
    if (Suspended())
        Resume();
    if (!Suspended())
        WaitFor();
}

HWND TWindowAnnouncer::Next() {
    const std::lock_guard lock(lock_);
    if (Terminated() || next_ >= windows_.size())
        return nullptr;
    return windows_[next_++];
}

void CALLBACK TWindowAnnouncer::Taken(HWND, UINT, ULONG_PTR data, LRESULT) noexcept {
    if (announcing != nullptr && data > announcing->lastTaken_)
        announcing->lastTaken_ = data;
}

TWindowAnnouncer::TWait TWindowAnnouncer::WaitTaken(ULONG_PTR sent) {
    const ULONGLONG end = GetTickCount64() + AnnounceTimeout;
    HANDLE wake = wake_.Get();
    for (;;) {
        // Peeking delivers the callbacks of the messages taken so far.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (lastTaken_ >= sent)
            return TWait::Taken;
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return TWait::TimedOut;
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &wake, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            // A new list or a stop: Next tells which. The wake is kept for the outer wait.
            SetEvent(wake);
            return TWait::Woken;
        }
        if (woken != WAIT_OBJECT_0 + 1)
            return TWait::TimedOut;
    }
}

void TWindowAnnouncer::Execute() {
    announcing = this;
    ULONG_PTR sent = 0;
    while (!Terminated()) {
        WaitForSingleObject(wake_.Get(), INFINITE);
        // Threads that let a wait run out during this list: busy or hung.
        std::set<DWORD> busy;
        while (HWND window = Next()) {
            const DWORD thread = GetWindowThreadProcessId(window, nullptr);
            if (!SendMessageCallbackA(window, AttachWindowMessage, 0, 0, &TWindowAnnouncer::Taken, ++sent) ||
                busy.contains(thread))
                continue;
            const TWait waited = WaitTaken(sent);
            if (waited == TWait::TimedOut)
                busy.insert(thread);
            else if (waited == TWait::Woken)
                busy.clear(); // a new list, or the end
        }
    }
    announcing = nullptr;
}
