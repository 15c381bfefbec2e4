#include "uEAHookProc.h"

#include "AppSpecificConsts.h"
#include "Declarations.h"
#include "EARoutines.h"
#include "Handles.h"
#include "WinFuncs.h"
#include "uEACaptionWatch.h"
#include "uEAStartup.h"
#include "uEmbededApplication.h"

#include <cstring>
#include <set>

const char* const ExclusionList = ";OleMainThreadWndClass;"
                                  ";OleMainThreadWndClass 0x######## ;"
                                  ";OleDdeWndClass;"
                                  ";OleDdeWndClass 0x######## ;"
                                  ";OleObjectRpcWindow;"
                                  ";CicMarshalWndClass;"
                                  ";DdeCommonWindowClass;"
                                  ";DDEMLMom;"
                                  ";DDEMLEvent;"
                                  ";CLIPBRDWNDCLASS;"
                                  ";CLIPBRDWNDCLASS 0x######## ;"
                                  ";ThorConnWndClass;"
                                  ";CSpThreadTask Window;"
                                  ";SapiTipWorkerClassV1.0;"
                                  ";CSpNotify Notify Window;"
                                  ";WorkerW;"
                                  ";URL Moniker Notification Window;"
                                  ";IMMIF UI;"
                                  ";IME;"
                                  ";Internet Explorer_Hidden;"
                                  ";Ghost;"
                                  ";TPUtilWindow;"
                                  ";#43;"
                                  ";RnaEngClass;"
                                  ";TapisrvWndClass;"
                                  ";TapiDllWinClass;"
                                  ";Tsp3216LWindowClass;"
                                  ";WAN_Class;"
                                  ";UmdmSP Class;"
                                  ";SysFader;"
                                  ";SysShadow;"
                                  ";SysDragImage;"
                                  ";OfficeTooltip;"
                                  ";tooltips_class32;";

bool IsExcludedClass(const std::string& className) {
    // Whole names only: a name with semicolons must not match across two names of the list.
    static const std::set<std::string> names = [] {
        std::set<std::string> parsed;
        const std::string list = ExclusionList;
        for (size_t at = 1; at < list.size(); at = list.find(';', at) + 2)
            parsed.insert(list.substr(at, list.find(';', at) - at));
        return parsed;
    }();
    return names.contains(className);
}

namespace {

// A user handle travels as its 32-bit value; 64-bit Windows widens it back by sign extension.
LONG_PTR WidenHandle(DWORD value) noexcept {
    return static_cast<LONG_PTR>(static_cast<LONG>(value));
}

bool OwnWindow(HWND window) noexcept {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

bool Attachable(HWND window) {
    // The hook of a 64-bit library also runs in the installing process for 32-bit programs' windows.
    return OwnWindow(window) && !IsExcludedClass(GetWindowClassName(window));
}

void AttachIfNotExcluded(HWND window) {
    if (!Attachable(window))
        return;
    if (TEmbededApplicationPtr application = EmbededApplication())
        application->AttachWindow(window);
}

// The hook's own work for one message; every failure in it ends at the hook procedure's guard.
void HandleHookedMessage(const CWPSTRUCT& record) {
    const HWND window = record.hwnd;
    const UINT msg = record.message;
    if (window == nullptr)
        return;
    if (msg == WM_CREATE) {
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
        if ((style != 0 && (style & WS_CHILD) == 0) || (exStyle & WS_EX_TOOLWINDOW) != 0)
            AttachIfNotExcluded(window);
    } else if (msg == WM_SETTEXT) {
        if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0 && Attachable(window))
            CaptionChanged(window);
    } else if (msg == WM_DESTROY) {
        StopCaptionWatch(window);
        if (TEmbededApplicationPtr application = EmbededApplication())
            application->DetachWindow(window);
    } else if (msg == AttachWindowMessage) {
        AttachIfNotExcluded(window);
    } else if (msg == DetachExtenderMessage) {
        if (TEmbededApplicationPtr application = EmbededApplication())
            application->CancelFetch(window);
    } else if (msg == ApplyRuleMessage()) {
        if (TEmbededApplicationPtr application = EmbededApplication())
            application->ApplyPending(window, record.lParam);
    }
}

} // namespace

LONG_PTR ReadHookHandle() noexcept {
    const UniqueHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, HookMappingName));
    const MappedView view = MapView(mapping.Get(), FILE_MAP_ALL_ACCESS, 4);
    if (!view)
        return 0;
    DWORD value = 0;
    std::memcpy(&value, view.Get(), 4);
    return WidenHandle(value);
}

bool HookOwnerRuns() noexcept {
    // Opened only: creating it here would keep a mapping alive that nobody publishes.
    return static_cast<bool>(UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, HookMappingName)));
}

extern "C" LRESULT CALLBACK CallProcHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0)
        Guarded("CallProcHook",
                [lParam] { HandleHookedMessage(*reinterpret_cast<const CWPSTRUCT*>(lParam)); });
    return CallNextHookEx(reinterpret_cast<HHOOK>(HookHandle()), code, wParam, lParam);
}
