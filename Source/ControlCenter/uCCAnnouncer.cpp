#include "uCCAnnouncer.h"

#include "Declarations.h"

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

void TWindowAnnouncer::Execute() {
    while (!Terminated()) {
        WaitForSingleObject(wake_.Get(), INFINITE);
        while (HWND window = Next()) {
            // The window's thread takes the message (and its process starts fetching the rule) or
            // the bound runs out; either way the next window follows.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(window, AttachWindowMessage, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                                AnnounceTimeout, &ignored);
        }
    }
}
