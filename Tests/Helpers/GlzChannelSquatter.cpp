// Another process of the user that takes the command channel's names for itself:
//   GlzChannelSquatter <prefix> <ready event> hold-lock     takes the block's lock and keeps it
//   GlzChannelSquatter <prefix> <ready event> small-block   makes the block a 4 KB section first
//   GlzChannelSquatter <prefix> <ready event> wrong-kind:S  makes the name prefix+S a semaphore first
//   GlzChannelSquatter <prefix> <ready event> manual-event:S makes prefix+S a signalled manual-reset event
// Sets the ready event once it holds what it took, then keeps it until the event "<ready event>Quit"
// is set or 30 s have passed, and ends (a held lock is then abandoned). Exit code 3 when the names
// were taken already or could not be made.
#include "Handles.h"

#include <windows.h>

#include <string>

namespace {

constexpr DWORD HoldLimit = 30000;

bool Take(const std::string& prefix, const std::string& how, UniqueHandle& held) {
    if (how == "hold-lock") {
        held.Reset(CreateMutexA(nullptr, FALSE, (prefix + "WriteLockMutex").c_str()));
        return held && WaitForSingleObject(held.Get(), 5000) == WAIT_OBJECT_0;
    }
    if (how == "small-block") {
        held.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                      (prefix + "SharedMemory").c_str()));
        return held && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    if (how.rfind("wrong-kind:", 0) == 0) {
        const std::string name = prefix + how.substr(11);
        held.Reset(CreateSemaphoreA(nullptr, 0, 1, name.c_str()));
        return held && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    if (how.rfind("manual-event:", 0) == 0) {
        const std::string name = prefix + how.substr(13);
        held.Reset(CreateEventA(nullptr, TRUE, TRUE, name.c_str()));
        return held && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 4)
        return 2;
    const std::string ready = __argv[2];
    const UniqueHandle quit(CreateEventA(nullptr, TRUE, FALSE, (ready + "Quit").c_str()));
    UniqueHandle held;
    if (!quit || !Take(__argv[1], __argv[3], held))
        return 3;
    if (const UniqueHandle readyEvent{OpenEventA(EVENT_MODIFY_STATE, FALSE, ready.c_str())})
        SetEvent(readyEvent.Get());
    WaitForSingleObject(quit.Get(), HoldLimit);
    ExitProcess(0); // a held lock is abandoned, not released
}
