// Cost of a sent message to a host window with no hook, a bare pass-through hook and glzemb's
// hook (each installed by another process), and glzemb's attach latency for a matching window.
#include "BenchmarkFigures.h"
#include "ChannelServerRole.h"
#include "ChildProcess.h"
#include "Handles.h"
#include "HookedRun.h"
#include "ProcessesCommunication.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* HostClass = "GlzBenchHost";
constexpr const char* LayeredClass = "GlzBenchLayered";
constexpr const char* Rule =
    "\\WINDOWRULENAME=Bench\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow"
    "\\SAVECURRENTOPERATION=no\\\\TRANSPARENTLEVEL=50}\\TRIGGER=WMCREATEMESSAGETRIGGER{"
    "\\LAG_ENABLED=no\\LAG_INTERVAL=0\\AGENT={\\NAME=WMCreateEvent\\ACTIONNAME="
    "TransparentWindow\\ACTIONKIND=next\\OPERATIONNAME=}}";
constexpr BYTE RuleAlpha = 127;

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

double MicrosecondsPerSend(HWND window, int count) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 20; ++i)
        SendMessageA(window, WM_USER + 1, 0, 0);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i)
        SendMessageA(window, WM_USER + 1, 0, 0);
    QueryPerformanceCounter(&end);
    return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart / count;
}

LRESULT CALLBACK PlainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, msg, wParam, lParam);
}

// Milliseconds from CreateWindowEx to WS_EX_LAYERED at the rule's alpha; -1 when it never came.
double AttachLatency() {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HWND window = CreateWindowExA(0, LayeredClass, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    double result = -1;
    const DWORD deadline = GetTickCount() + 3000;
    while (GetTickCount() < deadline) {
        BYTE alpha = 0;
        DWORD flags = 0;
        if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
            GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && alpha == RuleAlpha) {
            QueryPerformanceCounter(&now);
            result = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        Pump();
    }
    DestroyWindow(window);
    return result;
}

// Milliseconds of one bare window query on the channel, answered by the same rule server with
// the same rule text, for a window of the rule's class: the floor of any attach.
std::vector<double> ChannelRoundTrips(int count) {
    HWND window = CreateWindowExA(0, LayeredClass, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    const auto value = static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window));
    TProcessesCommunication channel(ChannelPrefix);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        int code = 0, size = 0;
        std::vector<char> reply;
        QueryPerformanceCounter(&start);
        const int result = channel.SendCommand(cmdQueryWindowRule, 4, &value, code, size, reply);
        QueryPerformanceCounter(&end);
        if (result == channelDone && size > 0)
            times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    DestroyWindow(window);
    return times;
}

} // namespace

int main() {
    const UniqueHandle host = StartHelper("GlzTargetWindows.exe", std::string("A:") + HostClass);
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); window == nullptr && GetTickCount() - start < 10000; Sleep(10))
        window = FindWindowA(HostClass, nullptr);
    if (window == nullptr) {
        std::printf("host window did not appear\n");
        return 1;
    }
    // Rounds alternate the two hooks and keep each one's best, so that load from elsewhere on
    // the machine weighs on neither side alone.
    const double none = MicrosecondsPerSend(window, 20000);
    double bare = 1e9;
    double glzemb = 1e9;
    for (int round = 0; round < 3; ++round) {
        bare = std::min(bare, WithHook("BareHook.dll", [&] { return MicrosecondsPerSend(window, 2000); }));
        glzemb = std::min(glzemb, WithHook("glzemb.dll", [&] { return MicrosecondsPerSend(window, 2000); }));
    }
    std::printf("SendMessage to a host window, ignored message (microseconds per call):\n");
    std::printf(
        "  (i) no hook: %.2f\n  (ii) bare pass-through hook: %.2f\n  (iii) glzemb CallProcHook: %.2f\n", none,
        bare, glzemb);
    std::printf("  ratio (iii)/(ii): %.3f\n", glzemb / bare);
    PostMessageA(window, WM_CLOSE, 0, 0);
    TerminateProcess(host.Get(), 0); // the host helper has no quit command of its own

    WNDCLASSA c{};
    c.lpfnWndProc = PlainProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = LayeredClass;
    RegisterClassA(&c);
    const std::string serverReady = UniqueName("GlzBenchServer");
    const UniqueHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, serverReady.c_str()));
    std::string serverArguments = serverReady;
    serverArguments.append(" \"").append(LayeredClass).append("=").append(Rule).append("\"");
    const UniqueHandle server = StartHelper("GlzRuleServer.exe", serverArguments);
    WaitForSingleObject(readyEvent.Get(), 10000);
    std::vector<double> latencies;
    int missed = 0;
    WithHook("glzemb.dll", [&] {
        for (int i = 0; i < 50; ++i) {
            const double latency = AttachLatency();
            if (latency < 0)
                ++missed;
            else
                latencies.push_back(latency);
        }
        return 0.0;
    });
    const std::vector<double> roundTrips = ChannelRoundTrips(200);
    QuitChannelServer(ChannelPrefix);
    WaitForExit(server.Get());
    const double roundTrip = Median(roundTrips);
    std::printf("Bare channel round trip, the same window query and rule text: median %.2f ms over %zu\n",
                roundTrip, roundTrips.size());
    if (latencies.empty()) {
        std::printf("Attach latency: no window of 50 became layered at alpha %d within 3 s\n", RuleAlpha);
    } else {
        const double latency = Median(latencies);
        std::printf(
            "Attach latency, CreateWindowEx to WS_EX_LAYERED at alpha %d: median %.1f ms over %zu windows"
            " (%d missed)\n",
            RuleAlpha, latency, latencies.size(), missed);
        if (roundTrip > 0)
            std::printf("  ratio attach latency / bare round trip: %.1f\n", latency / roundTrip);
    }
    return 0;
}
