// Round trip of the window query between two processes against the floor of this machine: a bare
// ping-pong of two auto-reset events over a shared block; and the same query answered by the real
// GlazloCenter.exe with 1,000 rules against one rule.
#include "CenterTestSupport.h"
#include "ChannelServerRole.h"
#include "ChildProcess.h"
#include "Handles.h"
#include "ProcessesCommunication.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 2000;
constexpr LONG QuitValue = -1;

struct PingPong {
    explicit PingPong(const std::string& name, bool create)
        : section(create ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                              (name + "Block").c_str())
                         : OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, (name + "Block").c_str())),
          view(MapView(section.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 4096)),
          ping(create ? CreateEventA(nullptr, FALSE, FALSE, (name + "Ping").c_str())
                      : OpenEventA(EVENT_ALL_ACCESS, FALSE, (name + "Ping").c_str())),
          pong(create ? CreateEventA(nullptr, FALSE, FALSE, (name + "Pong").c_str())
                      : OpenEventA(EVENT_ALL_ACCESS, FALSE, (name + "Pong").c_str())) {}
    bool Usable() const { return view && ping && pong; }
    volatile LONG* Value() const { return static_cast<volatile LONG*>(view.Get()); }
    UniqueHandle section;
    MappedView view;
    UniqueHandle ping;
    UniqueHandle pong;
};

int RunPingPongPartner(const std::string& name) {
    PingPong pair(name, false);
    if (!pair.Usable())
        return 3;
    SetEvent(pair.pong.Get());
    for (;;) {
        if (WaitForSingleObject(pair.ping.Get(), 10000) != WAIT_OBJECT_0)
            return 4;
        const LONG value = *pair.Value();
        if (value == QuitValue)
            return 0;
        *pair.Value() = value + 1;
        SetEvent(pair.pong.Get());
    }
}

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Microseconds per round trip of the bare event pair, or a negative value on failure.
double MeasureFloor() {
    const std::string name = UniqueName("{GlzBenchPingPong}");
    PingPong pair(name, true);
    const UniqueHandle partner = StartSelf("--pingpong " + name);
    if (!pair.Usable() || !partner || WaitForSingleObject(pair.pong.Get(), 10000) != WAIT_OBJECT_0)
        return -1;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (LONG round = 0; round < Rounds; ++round) {
        *pair.Value() = round;
        SetEvent(pair.ping.Get());
        if (WaitForSingleObject(pair.pong.Get(), 10000) != WAIT_OBJECT_0 || *pair.Value() != round + 1)
            return -1;
    }
    QueryPerformanceCounter(&end);
    *pair.Value() = QuitValue;
    SetEvent(pair.ping.Get());
    WaitForExit(partner.Get());
    return Microseconds(start, end) / Rounds;
}

// Microseconds per window query answered with a rule text of Length bytes.
double MeasureQuery(TProcessesCommunication& channel, int length) {
    int code, size;
    std::vector<char> data;
    if (channel.SendCommand(testCmdRuleLength, 4, &length, code, size, data) != channelDone)
        return -1;
    const int window = 0x10010;
    for (int round = 0; round < Rounds / 10; ++round)
        channel.SendCommand(cmdQueryWindowRule, 4, &window, code, size, data);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int round = 0; round < Rounds; ++round) {
        if (channel.SendCommand(cmdQueryWindowRule, 4, &window, code, size, data) != channelDone ||
            size != length)
            return -1;
    }
    QueryPerformanceCounter(&end);
    return Microseconds(start, end) / Rounds;
}

// Delivers what reaches this thread for a while, so that glzemb can attach the new window.
void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(5);
    }
}

// Microseconds per command 1 to GlazloCenter.exe from the build, with a Glazlo.ini of count rules
// of which only the last matches the queried window; negative on failure.
double MeasureCenter(int count) {
    constexpr const char* TargetClass = "GlzBenchCenterTarget";
    std::vector<TestRule> rules;
    for (int i = 1; i <= count; ++i)
        rules.push_back(
            {"Rule " + std::to_string(i), i == count ? TargetClass : "GlzBenchOther" + std::to_string(i)});
    CenterSandbox sandbox;
    sandbox.WriteConfiguration(rules);
    if (!sandbox.Start())
        return -1;
    TestWindow window(TargetClass);
    PumpFor(300);
    int code = 0;
    const std::string expected = "\\WINDOWRULENAME=Rule " + std::to_string(count) + "\\";
    if (sandbox.QueryWindow(window.Handle(), code).rfind(expected, 0) != 0 || code != replyDone)
        return -1;
    for (int round = 0; round < Rounds / 10; ++round)
        sandbox.QueryWindow(window.Handle(), code);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int round = 0; round < Rounds; ++round)
        if (sandbox.QueryWindow(window.Handle(), code).empty() || code != replyDone)
            return -1;
    QueryPerformanceCounter(&end);
    sandbox.Stop(5000);
    return Microseconds(start, end) / Rounds;
}

int RunBenchmark() {
    const double floor = MeasureFloor();
    if (floor <= 0) {
        std::printf("event ping-pong failed\n");
        return 1;
    }
    const std::string prefix = UniqueName("{GlzBenchChannel}");
    const std::string ready = prefix + "Ready";
    const UniqueHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    const UniqueHandle server = StartSelf("--server " + prefix + " " + ready);
    HANDLE waits[] = {readyEvent.Get(), server.Get()};
    if (!server || WaitForMultipleObjects(2, waits, FALSE, 10000) != WAIT_OBJECT_0) {
        std::printf("channel server did not start\n");
        return 1;
    }
    TProcessesCommunication channel(prefix);
    std::printf("%d rounds each, two processes\n", Rounds);
    std::printf("%-38s %10.1f us\n", "floor: event ping-pong over a block", floor);
    int failures = 0;
    for (const int length : {0, 200, ChannelMaxData}) {
        const double query = MeasureQuery(channel, length);
        const std::string label = "command 1, reply of " + std::to_string(length) + " bytes";
        if (query < 0) {
            std::printf("%-38s failed\n", label.c_str());
            ++failures;
            continue;
        }
        std::printf("%-38s %10.1f us  %5.2f x floor\n", label.c_str(), query, query / floor);
    }
    int code, size;
    std::vector<char> data;
    channel.SendCommand(testCmdQuit, 0, nullptr, code, size, data);
    if (WaitForExit(server.Get(), 5000) == WAIT_TIMEOUT)
        TerminateProcess(server.Get(), 1);

    // Floor: the same query to GlazloCenter with one rule; the best of three alternating rounds,
    // as other work on the machine only ever adds time.
    double oneRule = 0;
    double manyRules = 0;
    for (int round = 0; round < 3 && oneRule >= 0 && manyRules >= 0; ++round) {
        const double one = MeasureCenter(1);
        const double many = one >= 0 ? MeasureCenter(1000) : -1;
        oneRule = round == 0 || one < 0 ? one : std::min(oneRule, one);
        manyRules = round == 0 || many < 0 ? many : std::min(manyRules, many);
    }
    if (oneRule < 0 || manyRules < 0) {
        std::printf("GlazloCenter query failed\n");
        return 1;
    }
    std::printf("%-38s %10.1f us  (best of 3)\n", "GlazloCenter, command 1, 1 rule", oneRule);
    std::printf("%-38s %10.1f us  %5.2f x 1 rule\n", "GlazloCenter, command 1, 1,000 rules", manyRules,
                manyRules / oneRule);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--server")
        return RunChannelServer(argv[2], argv[3]);
    if (argc >= 3 && std::string(argv[1]) == "--pingpong")
        return RunPingPongPartner(argv[2]);
    return RunBenchmark();
}
