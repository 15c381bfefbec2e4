// A host program: creates one top-level window per argument "A:Class" (ANSI class), "W:Class"
// (Unicode class) or "L:Class" (ANSI class, layered by the host itself with the colour key
// RGB(1, 2, 3) before any message is taken), each with a child window, and answers questions
// sent to them.
// Load shapes for the resident program's tests:
//   "B:Class:Count:Ms"       Count windows of Class, one every Ms milliseconds, on the main thread
//   "S:Class:Ms"             one window on a thread of its own that takes Ms milliseconds over
//                            each attach message of the resident program
//   "T:Class:Threads:Count"  Threads threads that each create Count windows at once
//   "H:Class:Count:Ms"       Count windows on a thread of their own, which then takes no message
//                            for Ms milliseconds
#include "Declarations.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// wParam 0: is glzemb loaded here; 1: the window's own procedure still answers (1);
// 2: create one more window of this window's class and return it; 3: the window's procedure
// is its class's own (1); 4: the host subclasses the window itself; 5: calls through that
// subclassing so far; 6: create 100 more windows of this class at once; 7 (posted): the thread
// takes no message for lParam milliseconds; 8 (posted): from now on the threads of the host
// take their messages only every lParam milliseconds (a slow host); 9: exceptions of the
// windows' procedures caught by the message loop so far; 10: the window's caption becomes
// "Untitled - " and its class name, as programs set it after creating the window.
// ThrowMessage, posted to any window, makes its procedure throw a C++ exception, which the
// host's own message loop catches, as some programs do.
// On a Unicode window the procedure is read with the W variant, as the system defines.
constexpr UINT QueryMessage = WM_APP + 100;
constexpr UINT ProbeReply = 0x600D;
constexpr UINT ThrowMessage = WM_APP + 101;

HWND CreateLike(HWND window);

WNDPROC hostOld = nullptr;
LRESULT hostCalls = 0;
LRESULT caughtExceptions = 0;

class EHostOwn : public std::runtime_error {
public:
    EHostOwn() : std::runtime_error("the host's own exception") {}
};
std::atomic<DWORD> slowPause{0};

LRESULT CALLBACK HostProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++hostCalls;
    return CallWindowProcA(hostOld, window, msg, wParam, lParam);
}

LRESULT ProcIsOriginal(HWND window) {
    const bool unicode = IsWindowUnicode(window) != FALSE;
    const LONG_PTR proc =
        unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
    const ULONG_PTR own =
        unicode ? GetClassLongPtrW(window, GCLP_WNDPROC) : GetClassLongPtrA(window, GCLP_WNDPROC);
    return static_cast<ULONG_PTR>(proc) == own ? 1 : 0;
}

LRESULT Answer(HWND window, WPARAM what) {
    switch (what) {
    case 0:
        return GetModuleHandleA("glzemb.dll") != nullptr ? 1 : 0;
    case 1:
        return ProbeReply;
    case 2:
        return reinterpret_cast<LRESULT>(CreateLike(window));
    case 3:
        return ProcIsOriginal(window);
    case 4:
        hostOld = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostProcA)));
        return 1;
    case 5:
        return hostCalls;
    case 6: {
        int created = 0;
        for (int i = 0; i < 100; ++i)
            created += CreateLike(window) != nullptr ? 1 : 0;
        return created;
    }
    case 7:
    case 8:
        return 0; // posted: see PumpForever
    case 9:
        return caughtExceptions;
    case 10: {
        char name[256];
        const int length = GetClassNameA(window, name, sizeof(name));
        const std::string caption = "Untitled - " + std::string(name, length > 0 ? length : 0);
        return SetWindowTextA(window, caption.c_str()) ? 1 : 0;
    }
    default:
        return 0;
    }
}

LRESULT CALLBACK ProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == QueryMessage)
        return Answer(window, wParam);
    if (msg == ThrowMessage)
        throw EHostOwn();
    return DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT CALLBACK ProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == QueryMessage)
        return Answer(window, wParam);
    if (msg == ThrowMessage)
        throw EHostOwn();
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND Create(bool unicode, const std::string& name) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = nullptr;
    if (unicode) {
        std::wstring wide(name.begin(), name.end());
        WNDCLASSW c{};
        c.lpfnWndProc = ProcW;
        c.hInstance = instance;
        c.lpszClassName = wide.c_str();
        RegisterClassW(&c);
        window = CreateWindowExW(0, wide.c_str(), wide.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                 nullptr, nullptr, instance, nullptr);
    } else {
        WNDCLASSA c{};
        c.lpfnWndProc = ProcA;
        c.hInstance = instance;
        c.lpszClassName = name.c_str();
        RegisterClassA(&c);
        window = CreateWindowExA(0, name.c_str(), name.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                 nullptr, nullptr, instance, nullptr);
    }
    if (window != nullptr)
        CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window, nullptr, instance,
                        nullptr);
    return window;
}

HWND CreateLike(HWND window) {
    char name[256];
    const int length = GetClassNameA(window, name, sizeof(name));
    return Create(IsWindowUnicode(window) != FALSE, std::string(name, length > 0 ? length : 0));
}

// Splits "Class:a:b" at its colons.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t colon = text.find(':'); colon != std::string::npos; colon = text.find(':', start)) {
        fields.push_back(text.substr(start, colon - start));
        start = colon + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

int Number(const std::vector<std::string>& fields, size_t index) {
    return index < fields.size() ? std::atoi(fields[index].c_str()) : 0;
}

void Dispatch(const MSG& msg) {
    TranslateMessage(&msg);
    try {
        DispatchMessageA(&msg);
    } catch (const EHostOwn&) {
        ++caughtExceptions;
    }
}

void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            Dispatch(msg);
    }
}

// Takes the thread's messages; the busy and slow requests take effect here, between messages.
void PumpForever() {
    for (;;) {
        MSG msg;
        if (const DWORD pause = slowPause.load(); pause > 0) {
            // Sent messages wait for the next look at the queue.
            Sleep(pause);
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                continue;
        } else if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            return;
        }
        if (msg.message == QueryMessage && msg.wParam == 7)
            Sleep(static_cast<DWORD>(msg.lParam));
        else if (msg.message == QueryMessage && msg.wParam == 8)
            slowPause = static_cast<DWORD>(msg.lParam);
        Dispatch(msg);
    }
}

UINT attachMessage = 0;
std::atomic<int> slowDelay{0};

LRESULT CALLBACK SlowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == attachMessage && attachMessage != 0)
        Sleep(static_cast<DWORD>(slowDelay.load()));
    return ProcA(window, msg, wParam, lParam);
}

struct ThreadJob {
    std::string className;
    int count = 0;
    bool slow = false;
    DWORD hangMs = 0; // after creating its windows
};

// Registered on the main thread before the window threads start: threads that register one class
// at the same time may each lose it.
void RegisterOnce(const std::string& className, WNDPROC proc) {
    WNDCLASSA c{};
    c.lpfnWndProc = proc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = className.c_str();
    RegisterClassA(&c);
}

DWORD WINAPI WindowThread(void* parameter) {
    const auto* job = static_cast<const ThreadJob*>(parameter);
    if (job->slow) {
        CreateWindowExA(0, job->className.c_str(), job->className.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200,
                        100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    } else {
        for (int i = 0; i < job->count; ++i)
            Create(false, job->className);
    }
    Sleep(job->hangMs);
    PumpForever();
    return 0;
}

// Jobs live as long as the program; a deque keeps their addresses.
std::deque<ThreadJob> jobs;

void StartThread(const ThreadJob& job) {
    jobs.push_back(job);
    CloseHandle(CreateThread(nullptr, 0, WindowThread, &jobs.back(), 0, nullptr));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    attachMessage = RegisterWindowMessageA(AttachWindowMessageName);
    std::vector<std::string> bursts;
    for (int i = 1; i < __argc; ++i) {
        const std::string arg = __argv[i];
        if (arg.size() <= 2 || arg[1] != ':')
            continue;
        const std::vector<std::string> fields = Fields(arg.substr(2));
        switch (arg[0]) {
        case 'B':
            bursts.push_back(arg.substr(2));
            break;
        case 'S':
            slowDelay = Number(fields, 1);
            RegisterOnce(fields[0], SlowProc);
            StartThread({fields[0], 1, true});
            break;
        case 'T':
            RegisterOnce(fields[0], ProcA);
            for (int t = 0; t < Number(fields, 1); ++t)
                StartThread({fields[0], Number(fields, 2), false});
            break;
        case 'H':
            StartThread({fields[0], Number(fields, 1), false, static_cast<DWORD>(Number(fields, 2))});
            break;
        case 'L':
            if (HWND window = Create(false, arg.substr(2))) {
                SetWindowLongPtrA(window, GWL_EXSTYLE,
                                  GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
                SetLayeredWindowAttributes(window, RGB(1, 2, 3), 0, LWA_COLORKEY);
            }
            break;
        default:
            Create(arg[0] == 'W', arg.substr(2));
            break;
        }
    }
    for (const std::string& burst : bursts) {
        const std::vector<std::string> fields = Fields(burst);
        for (int n = 0; n < Number(fields, 1); ++n) {
            Create(false, fields[0]);
            Pump(static_cast<DWORD>(Number(fields, 2)));
        }
    }
    PumpForever();
    return 0;
}
