#pragma once

#include "Handles.h"
#include "uRGLThreads.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

// How long the announcement waits for one window's thread to take its attach message before it
// goes on to the next window; the message stays queued for that thread meanwhile.
inline constexpr UINT AnnounceTimeout = 2000;

// Sends the attach message to the windows that have a rule, one after the other, on a thread of
// its own: a window whose thread is slow to take the message must not keep the server from
// answering the queries that the message itself triggers. Each message is queued for the
// window's thread and never withdrawn, so a window whose thread is busy gets it once the thread
// runs again; the next window follows once the last one took its message or the wait for it ran
// out, and the windows of a thread that let the wait run out follow without any wait. A newer
// list replaces the one in progress between two windows.
class TWindowAnnouncer : public TThread {
public:
    TWindowAnnouncer();
    ~TWindowAnnouncer() override;

    // Starts announcing Windows in order, dropping what is left of an earlier list.
    void Announce(std::vector<HWND> windows);
    // Ends the announcement and the thread at once; no attach message goes out afterwards.
    void Stop();

protected:
    void Execute() override;

private:
    // The next window to announce, or null when the list is done or a stop was asked.
    HWND Next();
    enum class TWait { Taken, TimedOut, Woken };
    // Waits until the message numbered Sent was taken, the wait runs out, or a new list or a stop
    // wakes it.
    TWait WaitTaken(ULONG_PTR sent);
    static void CALLBACK Taken(HWND window, UINT message, ULONG_PTR data, LRESULT result) noexcept;

    UniqueHandle wake_;
    std::mutex lock_;
    std::vector<HWND> windows_;
    size_t next_ = 0;
    // Set on this thread only, by the callbacks its waits deliver.
    ULONG_PTR lastTaken_ = 0;
};
