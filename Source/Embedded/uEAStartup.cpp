#include "uEAStartup.h"

#include "Declarations.h"
#include "uEAHookProc.h"
#include "uEmbededApplication.h"

#include <atomic>
#include <new>
#include <mutex>

namespace {

// Never destroyed by the run-time: at process exit the library does nothing; at an unload
// (FreeLibrary) DllMain releases the application through ReleaseApplication.
template <class T> class TNoDestroy {
public:
    TNoDestroy() { new (storage_) T(); }
    T& operator*() noexcept { return *reinterpret_cast<T*>(storage_); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

std::once_flag started;
TNoDestroy<TEmbededApplicationPtr> application;
LONG_PTR hookHandle = 0;
UINT applyRuleMessage = 0;
std::atomic<bool> pinned{false};

void StartUp() noexcept {
    try {
        applyRuleMessage = RegisterMessageOr("GlzembApplyRule{5B0E40C1-3F5E-4A8C-9D43-2B7C1E6A90D4}", 0);
        hookHandle = ReadHookHandle();
        *application = std::make_shared<TEmbededApplication>();
    } catch (...) {
    }
}

void EnsureStarted() noexcept {
    try {
        std::call_once(started, StartUp);
    } catch (...) {
    }
}

} // namespace

TEmbededApplicationPtr EmbededApplication() noexcept {
    EnsureStarted();
    return *application;
}

LONG_PTR HookHandle() noexcept {
    EnsureStarted();
    return hookHandle;
}

UINT ApplyRuleMessage() noexcept {
    EnsureStarted();
    return applyRuleMessage;
}

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

void PinModule() noexcept {
    if (pinned.exchange(true))
        return;
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&PinModule), &module);
}

void ReleaseApplication() noexcept {
    try {
        TEmbededApplicationPtr last = std::move(*application);
        if (last)
            last->ReleaseAll();
    } catch (...) {
    }
}
