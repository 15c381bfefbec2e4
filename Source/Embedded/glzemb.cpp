#include "uEAStartup.h"

#include <windows.h>

// Kept minimal: no waits, threads, library loads or channel under the loader lock. Start-up
// runs on the first hook call. At process exit nothing is done.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    else if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        ReleaseApplication();
    return TRUE;
}
