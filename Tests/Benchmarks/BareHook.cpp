// A pass-through WH_CALLWNDPROC hook: the cost of any hook at all, to compare glzemb's with.
#include <windows.h>

extern "C" LRESULT CALLBACK CallProcHook(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
