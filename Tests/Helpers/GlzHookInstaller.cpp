// Installs glzemb's hook as the resident program does: loads "glzemb.dll" (or the library named
// by argument 3), sets CallProcHook
// as a global WH_CALLWNDPROC hook, publishes the handle's 32-bit value in the hook mapping.
// Signals the event named by argument 1 when ready; unhooks when the event named by argument 2
// is set (or after 60 s), broadcasts WM_NULL and ends.
#include "AppSpecificConsts.h"
#include "Handles.h"

#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3)
        return 2;
    const UniqueModule library(LoadLibraryA(__argc > 3 ? __argv[3] : "glzemb.dll"));
    if (!library)
        return 3;
    auto proc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library.Get(), "CallProcHook")));
    if (proc == nullptr)
        return 4;
    UniqueHook hook(SetWindowsHookExA(WH_CALLWNDPROC, proc, library.Get(), 0));
    if (!hook)
        return 5;
    UniqueHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, HookMappingName));
    MappedView view = MapView(mapping.Get(), FILE_MAP_ALL_ACCESS, 4);
    if (view) {
        const auto value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hook.Get()));
        std::memcpy(view.Get(), &value, 4);
    }
    const UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[1]));
    const UniqueHandle stop(OpenEventA(SYNCHRONIZE, FALSE, __argv[2]));
    if (ready)
        SetEvent(ready.Get());
    // Keep pumping: hook calls for this process's own windows need a live thread.
    const DWORD deadline = GetTickCount() + 60000;
    const HANDLE stopEvent = stop.Get();
    while (stop && GetTickCount() < deadline) {
        if (MsgWaitForMultipleObjects(1, &stopEvent, FALSE, 1000, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    hook.Reset();
    SendNotifyMessageA(HWND_BROADCAST, WM_NULL, 0, 0);
    view.Reset();
    mapping.Reset();
    return 0;
}
