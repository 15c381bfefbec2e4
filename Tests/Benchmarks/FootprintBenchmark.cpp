// What glzemb costs a host: the size of glzemb.dll's image, and the private memory that Wine's
// Notepad holds with no hook, with a bare pass-through hook, with pass-through hooks that start
// and end one thread (plain, and inside a C++ exception guard as glzemb's worker) and with
// glzemb's hook and a rule attached to its window, each measured in the same run. Wine keeps the
// stacks of a process's last ended thread until another thread of it ends, and a fresh Notepad
// ends none: the thread hooks show what that alone adds.
#include "BenchmarkFigures.h"
#include "ChannelServerRole.h"
#include "ChildProcess.h"
#include "Handles.h"
#include "HookedRun.h"
#include "ProcessesCommunication.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* Rule =
    "\\WINDOWRULENAME=Footprint\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow"
    "\\SAVECURRENTOPERATION=no\\\\TRANSPARENTLEVEL=50}\\TRIGGER=WMCREATEMESSAGETRIGGER{"
    "\\LAG_ENABLED=no\\LAG_INTERVAL=0\\AGENT={\\NAME=WMCreateEvent\\ACTIONNAME="
    "TransparentWindow\\ACTIONKIND=next\\OPERATIONNAME=}}";
constexpr BYTE RuleAlpha = 127;
constexpr int Runs = 3;

HWND NotepadOf(DWORD process) {
    for (HWND w = FindWindowA("Notepad", nullptr); w != nullptr;
         w = FindWindowExA(nullptr, w, "Notepad", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process)
            return w;
    }
    return nullptr;
}

bool AtRuleAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
           GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && alpha == RuleAlpha;
}

template <class Condition> bool WaitFor(Condition condition, DWORD milliseconds) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > milliseconds)
            return false;
    return true;
}

// Committed memory of the process that belongs to no image or mapped file.
double PrivateMegabytes(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (auto* at = static_cast<char*>(nullptr);
         VirtualQueryEx(process, at, &info, sizeof(info)) == sizeof(info);
         at = static_cast<char*>(info.BaseAddress) + info.RegionSize)
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
    return static_cast<double>(total) / (1024.0 * 1024.0);
}

// Notepad's private memory once its window is up (at the rule's alpha when withRule): the least
// of looks over 3 s, so that what is held for good counts and not a thread that is still running
// (under Wine a thread holds about 2 MB of stacks).
double NotepadPrivateMegabytes(bool withRule) {
    const UniqueHandle notepad = StartCommand("notepad.exe");
    if (!notepad)
        return -1;
    const DWORD id = GetProcessId(notepad.Get());
    HWND window = nullptr;
    double result = -1;
    if (WaitFor([&] { return (window = NotepadOf(id)) != nullptr; }, 10000) &&
        (!withRule || WaitFor([&] { return AtRuleAlpha(window); }, 5000))) {
        WaitForInputIdle(notepad.Get(), 5000);
        for (int look = 0; look < 30; ++look) {
            Sleep(100); // the program settles by itself; there is nothing to wait on
            const double now = PrivateMegabytes(notepad.Get());
            result = result < 0 ? now : std::min(result, now);
        }
    }
    TerminateProcess(notepad.Get(), 0);
    WaitForSingleObject(notepad.Get(), 5000);
    return result;
}

// Notepad's private memory with glzemb's hook and a rule server that gives its window the rule;
// the server runs only for this case, as it ends by itself after a minute of silence.
double GlzembPrivateMegabytes() {
    const std::string serverReady = UniqueName("GlzFootServer");
    const UniqueHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, serverReady.c_str()));
    std::string serverArguments = serverReady;
    serverArguments.append(" \"Notepad=").append(Rule).append("\"");
    const UniqueHandle server = StartHelper("GlzRuleServer.exe", serverArguments);
    if (!server || WaitForSingleObject(readyEvent.Get(), 10000) != WAIT_OBJECT_0)
        return -1;
    const double result = WithHook("glzemb.dll", [] { return NotepadPrivateMegabytes(true); });
    QuitChannelServer(ChannelPrefix);
    WaitForExit(server.Get());
    return result;
}

// The image's size in memory, from its PE header.
DWORD ImageSize(const std::string& path) {
    const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (module == nullptr)
        return 0;
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    LONG offset = 0;
    std::memcpy(&offset, base + 0x3C, sizeof(offset));
    IMAGE_NT_HEADERS64 headers{};
    std::memcpy(&headers, base + offset, sizeof(headers));
    FreeLibrary(module);
    return headers.OptionalHeader.SizeOfImage;
}

DWORD FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

} // namespace

int main() {
    const std::string library = BinFolder() + "glzemb.dll";
    std::printf("glzemb.dll: file %lu bytes, image %lu bytes in memory\n", FileSize(library),
                ImageSize(library));

    // Rounds alternate the cases, so that load from elsewhere weighs on none alone.
    const auto hooked = [](const char* library) {
        return WithHook(library, [] { return NotepadPrivateMegabytes(false); });
    };
    std::vector<double> none, bare, thread, guarded, glzemb;
    for (int run = 0; run < Runs; ++run) {
        none.push_back(NotepadPrivateMegabytes(false));
        bare.push_back(hooked("BareHook.dll"));
        thread.push_back(hooked("ThreadHook.dll"));
        guarded.push_back(hooked("GuardedThreadHook.dll"));
        glzemb.push_back(GlzembPrivateMegabytes());
    }

    const double base = Median(none);
    const auto print = [base](const char* label, const std::vector<double>& figures) {
        std::printf("  %s: %.2f, added %.2f\n", label, Median(figures), Median(figures) - base);
    };
    std::printf("Private memory of Notepad, median of %d runs (MB):\n", Runs);
    std::printf("  (i) no hook: %.2f\n", base);
    print("(ii) bare pass-through hook", bare);
    print("(iii) pass-through hook that starts and ends one thread", thread);
    print("(iv) the same with the thread inside a C++ exception guard", guarded);
    print("(v) glzemb hook, rule attached", glzemb);
    std::printf("  added by glzemb beyond (iv): %.2f\n", Median(glzemb) - Median(guarded));
    if (Median(guarded) - base > 0)
        std::printf("  ratio added (v)/(iv): %.2f\n", (Median(glzemb) - base) / (Median(guarded) - base));
    return 0;
}
