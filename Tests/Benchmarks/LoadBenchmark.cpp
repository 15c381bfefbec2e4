// How many windows get their rule when many programs open many windows at once, through the real
// GlazloCenter.exe and glzemb.dll, and how long from CreateWindowEx to the rule's alpha: median
// and 95th percentile beside the latency of a single window, measured in the same run.
//   LoadBenchmark                         the benchmark
//   LoadBenchmark --host T W READY GO OUT one host program: T threads of W windows each (T 0: one
//                                         window after the other, each once the last has its rule)
#include "CenterTestSupport.h"
#include "ChildProcess.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* BenchClass = "GlzLoadBench";
constexpr int BenchLevel = 50;
constexpr BYTE BenchAlpha = 127;
// A window that has no rule by then is counted as missed.
constexpr DWORD HostDeadline = 30000;

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// When a window turned layered, kept by the window itself in a property, so that the threads
// need not poll the window server without pause (which would slow down what is measured).
constexpr const char* LayeredAtProperty = "GlzLoadBenchLayeredAt";

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STYLECHANGED && static_cast<int>(wParam) == GWL_EXSTYLE &&
        (reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew & WS_EX_LAYERED) != 0 &&
        GetPropA(window, LayeredAtProperty) == nullptr)
        SetPropA(window, LayeredAtProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(Now())));
    if (message == WM_NCDESTROY)
        RemovePropA(window, LayeredAtProperty);
    return DefWindowProcA(window, message, wParam, lParam);
}

bool HasRule(HWND window) {
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0)
        return false;
    BYTE alpha = 0;
    DWORD flags = 0;
    return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) != 0 &&
           alpha == BenchAlpha;
}

HWND CreateBenchWindow() {
    return CreateWindowExA(0, BenchClass, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Handles this thread's messages until each window has its rule or the deadline passed; fills in
// the latency (ms) of each that got it.
void WaitForRules(const std::vector<HWND>& windows, const std::vector<LONGLONG>& start,
                  std::vector<double>& latency, DWORD timeout) {
    size_t open = 0;
    for (double value : latency)
        open += value < 0 ? 1 : 0;
    const ULONGLONG deadline = GetTickCount64() + timeout;
    while (open > 0 && GetTickCount64() < deadline) {
        // The layering arrives as a sent message, which ends the wait; the bound only looks at the clock.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        for (size_t i = 0; i < windows.size(); ++i) {
            const auto layeredAt = reinterpret_cast<INT_PTR>(GetPropA(windows[i], LayeredAtProperty));
            if (latency[i] < 0 && layeredAt != 0 && HasRule(windows[i])) {
                latency[i] = Milliseconds(layeredAt - start[i]);
                --open;
            }
        }
    }
}

// One host thread: waits for the start, creates its windows as fast as it can, then waits for
// their rules. Latencies in ms, -1 for none.
std::vector<double> HostThread(int windows, HANDLE ready, HANDLE go) {
    ReleaseSemaphore(ready, 1, nullptr);
    WaitForSingleObject(go, INFINITE);
    std::vector<HWND> created(static_cast<size_t>(windows));
    std::vector<LONGLONG> start(created.size());
    std::vector<double> latency(created.size(), -1);
    for (size_t i = 0; i < created.size(); ++i) {
        start[i] = Now();
        created[i] = CreateBenchWindow();
    }
    WaitForRules(created, start, latency, HostDeadline);
    for (HWND window : created)
        DestroyWindow(window);
    return latency;
}

// One window at a time: the latency of a window that meets no other.
std::vector<double> SingleWindows(int windows, HANDLE ready, HANDLE go) {
    ReleaseSemaphore(ready, 1, nullptr);
    WaitForSingleObject(go, INFINITE);
    std::vector<double> latencies;
    for (int i = 0; i < windows; ++i) {
        std::vector<LONGLONG> start{Now()};
        const std::vector<HWND> window{CreateBenchWindow()};
        std::vector<double> latency{-1};
        WaitForRules(window, start, latency, 3000);
        DestroyWindow(window.front());
        latencies.push_back(latency.front());
    }
    return latencies;
}

int RunHost(int threads, int windows, const char* ready, const char* go, const char* out) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BenchProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = BenchClass;
    RegisterClassA(&windowClass);
    const UniqueHandle readySemaphore(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, ready));
    const UniqueHandle goEvent(OpenEventA(SYNCHRONIZE, FALSE, go));
    if (!readySemaphore || !goEvent)
        return 2;
    std::vector<std::vector<double>> results(static_cast<size_t>(std::max(threads, 1)));
    std::vector<std::thread> running;
    for (auto& result : results)
        running.emplace_back([&, windows] {
            result = threads > 0 ? HostThread(windows, readySemaphore.Get(), goEvent.Get())
                                 : SingleWindows(windows, readySemaphore.Get(), goEvent.Get());
        });
    for (std::thread& thread : running)
        thread.join();
    std::ofstream file(out);
    for (const auto& result : results)
        for (double latency : result)
            file << latency << "\n";
    return file ? 0 : 1;
}

struct Figures {
    int windows = 0;
    int got = 0;
    double median = 0;
    double p95 = 0;
};

Figures Summarise(std::vector<double> latencies) {
    Figures figures;
    figures.windows = static_cast<int>(latencies.size());
    std::erase_if(latencies, [](double latency) { return latency < 0; });
    figures.got = static_cast<int>(latencies.size());
    if (latencies.empty())
        return figures;
    std::sort(latencies.begin(), latencies.end());
    figures.median = latencies[latencies.size() / 2];
    figures.p95 = latencies[std::min(latencies.size() - 1, latencies.size() * 95 / 100)];
    return figures;
}

// P host programs of T threads with W windows each, started together; every window's latency.
std::vector<double> Burst(int processes, int threads, int windows) {
    const std::string readyName = UniqueName("GlzLoadReady");
    const std::string goName = UniqueName("GlzLoadGo");
    const int waiting = processes * std::max(threads, 1);
    const int perHost = std::max(threads, 1) * windows;
    const UniqueHandle ready(CreateSemaphoreA(nullptr, 0, waiting, readyName.c_str()));
    const UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, goName.c_str()));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> outputs;
    std::vector<UniqueHandle> hosts;
    for (int p = 0; p < processes; ++p) {
        outputs.push_back(std::string(temp) + UniqueName("GlzLoadResult") + ".txt");
        hosts.push_back(StartSelf("--host " + std::to_string(threads) + " " + std::to_string(windows) + " " +
                                  readyName + " " + goName + " \"" + outputs.back() + "\""));
    }
    for (int i = 0; i < waiting; ++i)
        if (WaitForSingleObject(ready.Get(), 20000) != WAIT_OBJECT_0)
            break;
    SetEvent(go.Get());
    std::vector<double> latencies;
    for (size_t p = 0; p < hosts.size(); ++p) {
        WaitForExit(hosts[p].Get(), HostDeadline + 30000);
        std::ifstream file(outputs[p]);
        int read = 0;
        for (double latency = 0; file >> latency; ++read)
            latencies.push_back(latency);
        // A host that wrote nothing counts all its windows as missed.
        for (; read < perHost; ++read)
            latencies.push_back(-1);
        file.close();
        DeleteFileA(outputs[p].c_str());
    }
    return latencies;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::string(argv[1]) == "--host")
        return RunHost(std::atoi(argv[2]), std::atoi(argv[3]), argv[4], argv[5], argv[6]);

    CenterSandbox center;
    center.WriteConfiguration({{"LoadBench", BenchClass, BenchLevel}});
    if (!center.Start()) {
        std::printf("GlazloCenter did not start\n");
        return 1;
    }
    const Figures single = Summarise(Burst(1, 0, 20));
    std::printf("Single window, CreateWindowEx to WS_EX_LAYERED at alpha %d: median %.1f ms of %d (%d got "
                "their rule)\n",
                BenchAlpha, single.median, single.windows, single.got);
    struct Size {
        int processes, threads, windows;
    };
    for (const Size size : {Size{2, 2, 10}, Size{4, 4, 25}, Size{8, 4, 25}, Size{16, 4, 25}}) {
        const Figures figures = Summarise(Burst(size.processes, size.threads, size.windows));
        std::printf(
            "%2d processes x %d threads x %2d windows = %4d: %4d got their rule; median %7.1f ms, p95 "
            "%7.1f ms (p95 / single %.1f)\n",
            size.processes, size.threads, size.windows, figures.windows, figures.got, figures.median,
            figures.p95, single.median > 0 ? figures.p95 / single.median : 0.0);
    }
    return 0;
}
