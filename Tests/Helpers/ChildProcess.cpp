#include "ChildProcess.h"

#include "ModuleFiles.h"

#include <atomic>
#include <vector>

UniqueHandle StartSelf(const std::string& arguments) {
    const std::string path = ModuleFileName();
    if (path.empty())
        return {};
    std::vector<char> commandLine;
    commandLine.push_back('"');
    commandLine.insert(commandLine.end(), path.begin(), path.end());
    commandLine.push_back('"');
    commandLine.push_back(' ');
    commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return {};
    CloseHandle(info.hThread);
    return UniqueHandle(info.hProcess);
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
