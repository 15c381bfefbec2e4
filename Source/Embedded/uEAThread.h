#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// One short-lived worker per window: fetches the window's rule and hands it to the window's
// own thread. Each worker holds a reference to the library and ends with
// FreeLibraryAndExitThread, so the code cannot be unmapped under it; workers are never killed.
class TEAThread {
public:
    static bool Start(HWND window);
    static long RunningWorkers() noexcept { return workers_.load(); }

    static constexpr int MaxSends = 5;

private:
    static DWORD WINAPI Entry(void* parameter) noexcept;
    static void Execute(HWND window) noexcept;

    static std::atomic<long> workers_;
};

class TProcessesCommunication;

// Asks the resident program for the rule text of a window, sending again after a time-out up
// to Sends times; empty when there is no rule or no answer.
std::string QueryWindowRule(TProcessesCommunication& channel, HWND window, int sends);
// The worker's query: its own channel with the default wait, up to MaxSends sends.
std::string FetchWindowRule(HWND window);
