#include "ChildProcess.h"

#include "ModuleFiles.h"
#include "TextConversion.h"

#include <atomic>
#include <cstdio>

namespace {

TStartedProcess TryStart(const std::wstring& program, std::wstring commandLine, const std::wstring& folder,
                         DWORD flags) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    TStartedProcess started;
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(), nullptr, nullptr,
                        FALSE, flags, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        started.Error = GetLastError();
        return started;
    }
    started.Process.Reset(info.hProcess);
    started.Thread.Reset(info.hThread);
    return started;
}

} // namespace

TStartedProcess StartProcess(const std::wstring& program, const std::wstring& commandLine,
                             const std::wstring& folder, DWORD flags) {
    TStartedProcess started = TryStart(program, commandLine, folder, flags);
    if (started)
        return started;
    const std::string shown = WideToUtf8(commandLine);
    if (started.Error == ERROR_INTERNAL_ERROR) {
        // The lost process ran none of its own code: a second start is the same start.
        std::printf("Note: Wine lost the new process during its start-up (error %lu): %s\n"
                    "Note: started once more\n",
                    started.Error, shown.c_str());
        std::fflush(stdout);
        started = TryStart(program, commandLine, folder, flags);
    }
    if (!started) {
        std::printf("Note: could not start %s, error %lu\n", shown.c_str(), started.Error);
        std::fflush(stdout);
    }
    return started;
}

TStartedProcess StartProcess(const std::string& program, const std::string& commandLine,
                             const std::string& folder, DWORD flags) {
    return StartProcess(AnsiToWide(program), AnsiToWide(commandLine), AnsiToWide(folder), flags);
}

UniqueHandle StartSelf(const std::string& arguments) {
    const std::string path = ModuleFileName();
    if (path.empty()) {
        std::printf("Note: this program's own path is unknown, error %lu\n", GetLastError());
        std::fflush(stdout);
        return {};
    }
    return StartProcess(path, "\"" + path + "\" " + arguments).Process;
}

DWORD WaitForExit(HANDLE process, DWORD timeout) {
    if (WaitForSingleObject(process, timeout) != WAIT_OBJECT_0)
        return WAIT_TIMEOUT;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

DWORD WaitForExitPumping(HANDLE process, DWORD timeout) {
    const ULONGLONG end = GetTickCount64() + timeout;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return WAIT_TIMEOUT;
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            return WaitForExit(process, 0);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

std::string UniqueName(const std::string& stem) {
    static std::atomic<int> counter{0};
    return stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}
