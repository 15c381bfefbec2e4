// Installs glzemb's hook as the resident program does: loads "glzemb.dll", sets CallProcHook
// as a global WH_CALLWNDPROC hook, publishes the handle's 32-bit value in the hook mapping.
// Signals the event named by argument 1 when ready; unhooks when the event named by argument 2
// is set (or after 60 s), broadcasts WM_NULL and ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3)
        return 2;
    HMODULE library = LoadLibraryA("glzemb.dll");
    if (library == nullptr)
        return 3;
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, "CallProcHook")));
    if (proc == nullptr)
        return 4;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, proc, library, 0);
    if (hook == nullptr)
        return 5;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4,
                                        "{DF6335F8-683A-4F05-A8A5-0E761010BDC6}");
    void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 4) : nullptr;
    if (view != nullptr) {
        const auto value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hook));
        std::memcpy(view, &value, 4);
    }
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[1]);
    HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, __argv[2]);
    if (ready != nullptr)
        SetEvent(ready);
    // Keep pumping: hook calls for this process's own windows need a live thread.
    const DWORD deadline = GetTickCount() + 60000;
    while (stop != nullptr && GetTickCount() < deadline) {
        if (MsgWaitForMultipleObjects(1, &stop, FALSE, 1000, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    UnhookWindowsHookEx(hook);
    SendNotifyMessageA(HWND_BROADCAST, WM_NULL, 0, 0);
    if (view != nullptr)
        UnmapViewOfFile(view);
    if (mapping != nullptr)
        CloseHandle(mapping);
    FreeLibrary(library);
    return 0;
}
