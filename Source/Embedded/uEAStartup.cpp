#include "uEAStartup.h"

#include "Declarations.h"
#include "EARoutines.h"
#include "uEAHookProc.h"
#include "uEALoadClasses.h"
#include "uEmbededApplication.h"

#include <atomic>
#include <new>

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

// The system's one-time initialisation rather than the run-time's: that one goes through
// thread-local storage, which makes every new thread (each rule-fetch worker) set up and tear
// down the threads library's bookkeeping at the cost of several kernel calls.
INIT_ONCE started = INIT_ONCE_STATIC_INIT;
TNoDestroy<TEmbededApplicationPtr> application;
LONG_PTR hookHandle = 0;
UINT applyRuleMessage = 0;
std::atomic<bool> pinned{false};

BOOL CALLBACK StartUp(INIT_ONCE*, void*, void**) noexcept {
    // A start that fails leaves no application object: the hook then only passes messages on.
    Guarded("uEAStartup.StartUp", [] {
        applyRuleMessage = RegisterMessageOr("GlzembApplyRule{5B0E40C1-3F5E-4A8C-9D43-2B7C1E6A90D4}", 0);
        hookHandle = ReadHookHandle();
        RegisterWindowExtender();
        LoadItemClasses();
        *application = NewObject<TEmbededApplication>();
    });
    return TRUE;
}

void EnsureStarted() noexcept {
    InitOnceExecuteOnce(&started, StartUp, nullptr, nullptr);
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

void PinModule() noexcept {
    if (pinned.exchange(true))
        return;
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&PinModule), &module);
}

void ReleaseApplication() noexcept {
    Guarded("uEmbededApplication.Finalization", [] {
        // The object itself stays: its channel would wait on a named mutex under the loader lock.
        if (*application)
            (*application)->ReleaseAll();
    });
}
