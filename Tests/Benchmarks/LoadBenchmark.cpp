// How many windows get their rule when many programs open many windows at once, through the real
// GlazloCenter.exe and glzemb.dll, and how long from CreateWindowEx to the rule's alpha: median
// and 95th percentile beside the latency of a single window, measured in the same run, and beside
// two floors measured in the same burst that no rule fetch can get below: a window's rule is
// applied on its own thread, which first creates the rest of its windows; and the channel carries
// one conversation at a time, so the windows' queries, answered one after the other in the order
// the windows were created, each take at least what the server's share of a conversation took
// meanwhile (watched in the channel's block).
//   LoadBenchmark                         the benchmark
// Then, with 1,600 windows that keep their rule, a save while the windows of an earlier save are
// still being announced: when it is answered and when every window shows its level; and the time
// a close takes with a host of 100 windows that is prompt and with one that takes its messages only
// every 300 ms.
//   LoadBenchmark --host T W READY GO OUT one host program: T threads of W windows each (T 0: one
//                                         window after the other, each once the last has its rule)
#include "CenterTestSupport.h"
#include "ChildProcess.h"
#include "ProcessesCommunication.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <numeric>
#include <optional>
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

// When a window turned layered, kept by its window procedure in the window's own extra bytes, so
// that the waiting thread reads it without asking the window server about every window each time
// it wakes (which would load the server that the burst is measuring).
constexpr int LayeredAtOffset = 0;

LONGLONG LayeredAt(HWND window) {
    return static_cast<LONGLONG>(GetWindowLongPtrA(window, LayeredAtOffset));
}

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STYLECHANGED && static_cast<int>(wParam) == GWL_EXSTYLE &&
        (reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew & WS_EX_LAYERED) != 0 &&
        LayeredAt(window) == 0)
        SetWindowLongPtrA(window, LayeredAtOffset, static_cast<LONG_PTR>(Now()));
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
            const LONGLONG layeredAt = LayeredAt(windows[i]);
            if (latency[i] < 0 && layeredAt != 0 && HasRule(windows[i])) {
                latency[i] = Milliseconds(layeredAt - start[i]);
                --open;
            }
        }
    }
}

// One window's figures: its handle's 32-bit value (as the channel carries it), when its creation
// began and when its thread had created all its windows (performance counter, the same in every
// process), and its latency in ms, -1 for none.
struct WindowFigure {
    std::int32_t handle = 0;
    LONGLONG created = 0;
    LONGLONG threadFree = 0;
    double latency = -1;
};

std::int32_t HandleValue(HWND window) {
    return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window));
}

// One host thread: waits for the start, creates its windows as fast as it can, then waits for
// their rules.
std::vector<WindowFigure> HostThread(int windows, HANDLE ready, HANDLE go) {
    ReleaseSemaphore(ready, 1, nullptr);
    WaitForSingleObject(go, INFINITE);
    std::vector<HWND> created(static_cast<size_t>(windows));
    std::vector<LONGLONG> start(created.size());
    std::vector<double> latency(created.size(), -1);
    for (size_t i = 0; i < created.size(); ++i) {
        start[i] = Now();
        created[i] = CreateBenchWindow();
    }
    // The rules are applied on this thread, which handles no message before it has created all.
    const LONGLONG free = Now();
    WaitForRules(created, start, latency, HostDeadline);
    for (HWND window : created)
        DestroyWindow(window);
    std::vector<WindowFigure> figures(created.size());
    for (size_t i = 0; i < created.size(); ++i)
        figures[i] = {HandleValue(created[i]), start[i], free, latency[i]};
    return figures;
}

// One window at a time: the latency of a window that meets no other.
std::vector<WindowFigure> SingleWindows(int windows, HANDLE ready, HANDLE go) {
    ReleaseSemaphore(ready, 1, nullptr);
    WaitForSingleObject(go, INFINITE);
    std::vector<WindowFigure> figures;
    for (int i = 0; i < windows; ++i) {
        std::vector<LONGLONG> start{Now()};
        const std::vector<HWND> window{CreateBenchWindow()};
        const LONGLONG free = Now();
        std::vector<double> latency{-1};
        WaitForRules(window, start, latency, 3000);
        DestroyWindow(window.front());
        figures.push_back({HandleValue(window.front()), start.front(), free, latency.front()});
    }
    return figures;
}

int RunHost(int threads, int windows, const char* readyName, const char* goName, const char* out) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BenchProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = BenchClass;
    RegisterClassA(&windowClass);
    const UniqueHandle ready(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, readyName));
    const UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, goName));
    if (!ready || !go)
        return 2;
    std::vector<std::vector<WindowFigure>> results(static_cast<size_t>(std::max(threads, 1)));
    std::vector<std::thread> running;
    for (auto& result : results)
        running.emplace_back([&, windows] {
            result = threads > 0 ? HostThread(windows, ready.Get(), go.Get())
                                 : SingleWindows(windows, ready.Get(), go.Get());
        });
    for (std::thread& thread : running)
        thread.join();
    std::ofstream file(out);
    for (const auto& result : results)
        for (const WindowFigure& figure : result)
            file << figure.handle << " " << figure.created << " " << figure.threadFree << " "
                 << figure.latency << "\n";
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

Figures Summarise(const std::vector<WindowFigure>& windows) {
    std::vector<double> latencies;
    for (const WindowFigure& window : windows)
        latencies.push_back(window.latency);
    return Summarise(latencies);
}

// Watches the channel's block from this process without taking part: every request and every
// reply is written into it, so the times at which its head changes give each conversation's share
// of the channel. It only reads memory, so it costs the window server nothing; it keeps one core
// busy while the burst runs.
class BlockWatch {
public:
    struct Change {
        LONGLONG time;
        std::int32_t head[3]; // code, size, the first four data bytes
    };

    BlockWatch()
        : section_(OpenFileMappingA(FILE_MAP_READ, FALSE,
                                    (std::string(ChannelPrefix) + ChannelSharedMemorySuffix).c_str())),
          view_(MapView(section_.Get(), FILE_MAP_READ, ChannelBufferSize)) {
        if (view_)
            watcher_ = std::thread([this] { Watch(); });
    }
    BlockWatch(const BlockWatch&) = delete;
    BlockWatch& operator=(const BlockWatch&) = delete;
    ~BlockWatch() { Stop(); }

    std::vector<Change> Stop() {
        stop_ = true;
        if (watcher_.joinable())
            watcher_.join();
        return changes_;
    }

private:
    void Read(std::int32_t (&head)[3]) const {
        const volatile std::int32_t* block = static_cast<volatile std::int32_t*>(view_.Get());
        for (int i = 0; i < 3; ++i)
            head[i] = block[i];
    }
    void Watch() {
        Change last{};
        Read(last.head);
        while (!stop_) {
            Change now{};
            Read(now.head);
            if (std::memcmp(now.head, last.head, sizeof now.head) == 0) {
                YieldProcessor();
                continue;
            }
            now.time = Now();
            // A writer may be half-way: take the head once it reads the same twice.
            for (Change again{}; Read(again.head), std::memcmp(again.head, now.head, sizeof now.head) != 0;)
                std::memcpy(now.head, again.head, sizeof now.head);
            changes_.push_back(now);
            last = now;
        }
    }

    UniqueHandle section_;
    MappedView view_;
    std::atomic<bool> stop_{false};
    std::vector<Change> changes_;
    std::thread watcher_;
};

// The burst's conversations as the block showed them: a query for one of the burst's windows
// (code 1, 4 bytes) and the change after it, its answer. The watcher may be kept from the processor
// now and then and miss a few; it never takes a half-written head for a query of a burst window.
struct Conversations {
    std::vector<double> serverShare; // ms from a query in the block to its answer there
    std::vector<double> handOver;    // ms from an answer to the next query
};

Conversations ConversationsOf(const std::vector<BlockWatch::Change>& changes,
                              const std::vector<WindowFigure>& windows) {
    std::vector<std::int32_t> handles;
    for (const WindowFigure& window : windows)
        handles.push_back(window.handle);
    std::sort(handles.begin(), handles.end());
    const auto isRequest = [](const BlockWatch::Change& change) {
        return change.head[0] == cmdQueryWindowRule && change.head[1] == 4;
    };
    const auto isQuery = [&](const BlockWatch::Change& change) {
        return isRequest(change) && std::binary_search(handles.begin(), handles.end(), change.head[2]);
    };
    Conversations found;
    for (size_t i = 0; i + 1 < changes.size(); ++i) {
        if (!isQuery(changes[i]) || isRequest(changes[i + 1]))
            continue;
        found.serverShare.push_back(Milliseconds(changes[i + 1].time - changes[i].time));
        if (i + 2 < changes.size() && isQuery(changes[i + 2]))
            found.handOver.push_back(Milliseconds(changes[i + 2].time - changes[i + 1].time));
    }
    return found;
}

struct Burst {
    std::vector<WindowFigure> windows;
    Conversations conversations;
};

// P host programs of T threads with W windows each, started together; every window's figures.
Burst RunBurst(int processes, int threads, int windows, bool watch) {
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
    Burst burst;
    std::vector<BlockWatch::Change> changes;
    {
        std::optional<BlockWatch> watching;
        if (watch)
            watching.emplace();
        SetEvent(go.Get());
        for (const UniqueHandle& host : hosts)
            WaitForExit(host.Get(), HostDeadline + 30000);
        if (watching)
            changes = watching->Stop();
    }
    for (size_t p = 0; p < hosts.size(); ++p) {
        std::ifstream file(outputs[p]);
        int read = 0;
        for (WindowFigure figure;
             file >> figure.handle >> figure.created >> figure.threadFree >> figure.latency; ++read)
            burst.windows.push_back(figure);
        // A host that wrote nothing counts all its windows as missed.
        for (; read < perHost; ++read)
            burst.windows.push_back(WindowFigure{});
        file.close();
        DeleteFileA(outputs[p].c_str());
    }
    burst.conversations = ConversationsOf(changes, burst.windows);
    return burst;
}

// Below what the burst's windows could not get their rule, whoever asks for it and however:
// Thread, each window's thread handles messages (and so applies rules) only once it has created
// all its windows; Channel, the channel answers one window after the other in the order they were
// created, each conversation taking Conversation ms and no time lost in between; Both, the later
// of the two for each window.
struct Floors {
    Figures thread;
    Figures channel;
    Figures both;
};

Floors FloorsOf(std::vector<WindowFigure> windows, double conversation) {
    std::erase_if(windows, [](const WindowFigure& window) { return window.created == 0; });
    std::sort(windows.begin(), windows.end(),
              [](const WindowFigure& a, const WindowFigure& b) { return a.created < b.created; });
    std::vector<double> thread;
    std::vector<double> channel;
    std::vector<double> both;
    double free = 0; // when the channel is next free, ms after the first creation
    for (const WindowFigure& window : windows) {
        const double created = Milliseconds(window.created - windows.front().created);
        free = std::max(free, created) + conversation;
        thread.push_back(Milliseconds(window.threadFree - window.created));
        channel.push_back(free - created);
        both.push_back(std::max(thread.back(), channel.back()));
    }
    return {Summarise(thread), Summarise(channel), Summarise(both)};
}

double CreationSpan(const std::vector<WindowFigure>& windows) {
    LONGLONG first = 0;
    LONGLONG last = 0;
    for (const WindowFigure& window : windows)
        if (window.created != 0) {
            first = first == 0 ? window.created : std::min(first, window.created);
            last = std::max(last, window.created);
        }
    return Milliseconds(last - first);
}

// All top-level windows of the class, of every process.
std::vector<HWND> WindowsOfClass(const char* className) {
    std::vector<HWND> found;
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, className, nullptr))
        found.push_back(window);
    return found;
}

// Ms from Since until every window is layered at Alpha; -1 when Timeout ran out first.
double UntilAllAt(const std::vector<HWND>& windows, int alpha, LONGLONG since, DWORD timeout) {
    const bool all =
        WaitUntil([&] { return CountAtAlpha(windows, alpha) == static_cast<int>(windows.size()); }, timeout);
    return all ? Milliseconds(Now() - since) : -1;
}

// Ms until a save (command 2 from the configuration program) is answered; -1 for no answer.
double SaveAnswered() {
    TProcessesCommunication editor(ControlChannelPrefix);
    int code = 0;
    int size = 0;
    std::vector<char> reply;
    const LONGLONG start = Now();
    const int result = editor.SendCommand(cmdReloadConfiguration, 0, nullptr, code, size, reply);
    return result == channelDone ? Milliseconds(Now() - start) : -1;
}

constexpr const char* SaveClass = "GlzSaveBench";

std::vector<TestRule> SaveRules(int level) {
    return {{"LoadBench", BenchClass, BenchLevel}, {"SaveBench", SaveClass, level}};
}

// Processes x Threads x Windows windows that keep their rule; a save, and while its windows are
// being announced again, a second save with another level: when the second is answered and when
// every window shows its level, beside the same save alone.
void SaveDuringReannouncement(const CenterSandbox& center, int processes, int threads, int windows) {
    const int total = processes * threads * windows;
    std::vector<std::unique_ptr<HostProcess>> hosts;
    for (int p = 0; p < processes; ++p)
        hosts.push_back(std::make_unique<HostProcess>(
            "T:" + std::string(SaveClass) + ":" + std::to_string(threads) + ":" + std::to_string(windows)));
    std::vector<HWND> all;
    WaitUntil([&] { return static_cast<int>((all = WindowsOfClass(SaveClass)).size()) == total; }, 60000);
    if (static_cast<int>(all.size()) != total || UntilAllAt(all, 127, Now(), 60000) < 0) {
        std::printf("Save during the re-announcement: the %d windows did not all get their first rule\n",
                    total);
        return;
    }
    center.WriteConfiguration(SaveRules(40));
    LONGLONG start = Now();
    const double aloneAnswered = SaveAnswered();
    const double alone = UntilAllAt(all, 102, start, 60000);

    center.WriteConfiguration(SaveRules(30));
    SaveAnswered();
    // The save goes out once a tenth of the windows have the first level: the rest are still
    // being announced.
    WaitUntil([&] { return CountAtAlpha(all, 76) >= total / 10; }, 60000);
    const int announced = CountAtAlpha(all, 76);
    center.WriteConfiguration(SaveRules(20));
    start = Now();
    const double answered = SaveAnswered();
    const double last = UntilAllAt(all, 51, start, 60000);
    std::printf("Save during the re-announcement of %d windows (%d of them at the earlier save's level): "
                "answered after %.1f ms (idle: %.1f ms); every window at the last file's level after %.0f ms "
                "(one save alone: %.0f ms; ratio %.2f)\n",
                total, announced, answered, aloneAnswered, last, alone, alone > 0 ? last / alone : 0.0);
}

// Ms from the close command to the end of GlazloCenter, with one host of Windows windows that takes
// its messages only every SlowMs milliseconds (0: at once).
double CloseTime(int windows, DWORD slowMs) {
    constexpr const char* CloseClass = "GlzCloseBench";
    CenterSandbox center;
    center.WriteConfiguration({{"CloseBench", CloseClass, BenchLevel}});
    if (!center.Start())
        return -1;
    HostProcess host("B:" + std::string(CloseClass) + ":" + std::to_string(windows) + ":0");
    std::vector<HWND> created;
    WaitUntil([&] { return static_cast<int>((created = host.Windows(CloseClass)).size()) == windows; },
              20000);
    if (created.empty() || UntilAllAt(created, 127, Now(), 30000) < 0)
        return -1;
    if (slowMs > 0) {
        constexpr UINT QueryMessage = WM_APP + 100;
        PostMessageA(created.front(), QueryMessage, 8, static_cast<LPARAM>(slowMs));
    }
    const LONGLONG start = Now();
    return center.Stop(120000) == 0 ? Milliseconds(Now() - start) : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 7 && std::string(argv[1]) == "--host")
        return RunHost(std::atoi(argv[2]), std::atoi(argv[3]), argv[4], argv[5], argv[6]);

    CenterSandbox center;
    center.WriteConfiguration(SaveRules(50));
    if (!center.Start()) {
        std::printf("GlazloCenter did not start\n");
        return 1;
    }
    const Figures single = Summarise(RunBurst(1, 0, 20, false).windows);
    std::printf("Single window, CreateWindowEx to WS_EX_LAYERED at alpha %d: median %.1f ms of %d (%d got "
                "their rule)\n",
                BenchAlpha, single.median, single.windows, single.got);
    struct Size {
        int processes, threads, windows;
    };
    for (const Size size : {Size{2, 2, 10}, Size{4, 4, 25}, Size{8, 4, 25}, Size{16, 4, 25}}) {
        const Burst burst = RunBurst(size.processes, size.threads, size.windows, true);
        const Figures figures = Summarise(burst.windows);
        std::printf(
            "%2d processes x %d threads x %2d windows = %4d: %4d got their rule; median %7.1f ms, p95 "
            "%7.1f ms (p95 / single %.1f)\n",
            size.processes, size.threads, size.windows, figures.windows, figures.got, figures.median,
            figures.p95, single.median > 0 ? figures.p95 / single.median : 0.0);
        const Conversations& talks = burst.conversations;
        if (talks.serverShare.empty()) {
            std::printf("      created in %.0f ms; no conversation was seen\n", CreationSpan(burst.windows));
            continue;
        }
        const double share = std::accumulate(talks.serverShare.begin(), talks.serverShare.end(), 0.0) /
                             static_cast<double>(talks.serverShare.size());
        std::vector<double> handOver = talks.handOver;
        std::sort(handOver.begin(), handOver.end());
        const Floors floors = FloorsOf(burst.windows, share);
        std::printf(
            "      created in %.0f ms; from a window's query in the block to its answer %.2f ms on average "
            "(%zu seen): %d windows take %.0f ms; answer to next query, median %.2f ms\n",
            CreationSpan(burst.windows), share, talks.serverShare.size(), figures.windows,
            share * figures.windows, handOver.empty() ? 0.0 : handOver[handOver.size() / 2]);
        std::printf("      floors, p95: own thread busy creating %.1f ms, channel in creation order %.1f ms, "
                    "both %.1f ms (p95 / both %.2f, both / single %.1f)\n",
                    floors.thread.p95, floors.channel.p95, floors.both.p95,
                    floors.both.p95 > 0 ? figures.p95 / floors.both.p95 : 0.0,
                    single.median > 0 ? floors.both.p95 / single.median : 0.0);
    }
    SaveDuringReannouncement(center, 16, 4, 25);
    center.Stop(10000);

    constexpr int CloseWindows = 100;
    constexpr DWORD SlowMs = 300;
    const double prompt = CloseTime(CloseWindows, 0);
    const double slow = CloseTime(CloseWindows, SlowMs);
    std::printf(
        "Close with one host of %d windows: prompt host %.0f ms; host taking its messages every %lu ms "
        "%.0f ms (ratio %.2f)\n",
        CloseWindows, prompt, SlowMs, slow, prompt > 0 ? slow / prompt : 0.0);
    return 0;
}
