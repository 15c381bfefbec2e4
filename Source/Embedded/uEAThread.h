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
// nothing when the server did not answer in time or a lock of the channel did not come free.
std::optional<std::string> AskWindowRule(TProcessesCommunication& channel, HWND window);
// The worker's query on its own channel: it queues for its turn and, after each time-out, asks
// again for as long as KeepAsking answers true, pausing first when the server had the request.
std::string FetchWindowRule(HWND window, const std::function<bool()>& keepAsking);

// Pauses between the sends of one fetch after the server took a request and did not answer:
// doubled after each such time-out up to the last.
inline constexpr DWORD FirstRetryPause = 25;
inline constexpr DWORD LastRetryPause = 1000;
// The worker's wait for its turn on the command lock before it looks again whether the window
// still wants its rule and the resident program still runs.
inline constexpr DWORD TurnTimeout = 2000;
