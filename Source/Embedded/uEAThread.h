#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

// One short-lived worker per announced window: fetches the window's rule and hands it to the
// window's own thread. Each worker holds a reference to the library and ends with
// FreeLibraryAndExitThread, so the code cannot be unmapped under it; workers are never killed.
class TEAThread {
public:
    static bool Start(HWND window, unsigned long long fetch);
    static long RunningWorkers() noexcept { return workers_.load(); }

private:
    static DWORD WINAPI Entry(void* parameter) noexcept;
    static void Execute(HWND window, unsigned long long fetch) noexcept;

    static std::atomic<long> workers_;
};

class TProcessesCommunication;

// One window query: the rule text (empty when there is none or the answer was refused), or
// nothing when the server did not answer in time.
std::optional<std::string> AskWindowRule(TProcessesCommunication& channel, HWND window);
// The worker's query on its own channel with the default wait: after each time-out it asks
// again, pausing longer each time, for as long as KeepAsking answers true.
std::string FetchWindowRule(HWND window, const std::function<bool()>& keepAsking);

// Pauses between the sends of one fetch: doubled after each time-out up to the last.
inline constexpr DWORD FirstRetryPause = 25;
inline constexpr DWORD LastRetryPause = 1000;
