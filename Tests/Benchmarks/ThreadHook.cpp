// A pass-through WH_CALLWNDPROC hook that starts one thread at the first window it sees, a thread
// that ends at once: the least a hook library costs a host when it does its work on a short-lived
// thread, as glzemb fetches a window's rule. Built twice: ThreadHook.dll, and GuardedThreadHook.dll
// (GLZ_GUARDED_THREAD), whose thread runs inside a C++ exception guard as glzemb's worker does,
// which brings the C++ run-time's exception support along.
#include <windows.h>

namespace {

// The reservation of glzemb's worker.
constexpr SIZE_T ThreadStack = 64 * 1024;

LONG started = 0;

#ifdef GLZ_GUARDED_THREAD
volatile bool fail = false;

void Work() {
    if (fail)
        throw 0;
}
#endif

// The thread holds its own reference to the library, so that an unhook cannot unmap it.
DWORD WINAPI Run(void* module) {
#ifdef GLZ_GUARDED_THREAD
    try {
        Work();
    } catch (...) {
    }
#endif
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
}

void StartThread() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&Run), &module))
        return;
    const HANDLE thread =
        CreateThread(nullptr, ThreadStack, &Run, module, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr)
        FreeLibrary(module);
    else
        CloseHandle(thread);
}

} // namespace

extern "C" LRESULT CALLBACK CallProcHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_CREATE &&
        InterlockedExchange(&started, 1) == 0)
        StartThread();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
