#pragma once

#include "Handles.h"
#include "uRGLThreads.h"

#include <windows.h>

#include <mutex>
#include <vector>

// A hung window must not stop the announcement for good.
inline constexpr UINT AnnounceTimeout = 2000;

// Sends the attach message to the windows that have a rule, one after the other, on a thread of
// its own: a window whose thread is slow to take the message must not keep the server from
// answering the queries that the message itself triggers. A newer list replaces the one in
// progress between two windows.
class TWindowAnnouncer : public TThread {
public:
    TWindowAnnouncer();
    ~TWindowAnnouncer() override;

    // Starts announcing Windows in order, dropping what is left of an earlier list.
    void Announce(std::vector<HWND> windows);
    // Ends the announcement and the thread; no attach message goes out afterwards.
    void Stop();

protected:
    void Execute() override;

private:
    // The next window to announce, or null when the list is done or a stop was asked.
    HWND Next();

    UniqueHandle wake_;
    std::mutex lock_;
    std::vector<HWND> windows_;
    size_t next_ = 0;
};
