#include "uEAThread.h"

#include "EARoutines.h"
#include "Handles.h"
#include "uEAHookProc.h"
#include "uEAStartup.h"
#include "uEmbededApplication.h"

#include <memory>

std::atomic<long> TEAThread::workers_{0};

namespace {

// A fetch needs little stack; the default reservation of the host's program would be taken, and
// under Wine committed, in every host for each window it opens.
constexpr SIZE_T WorkerStack = 64 * 1024;

struct TWorkerJob {
    HWND Window;
    TFetchId Fetch;
};

} // namespace

bool TEAThread::Start(HWND window, unsigned long long fetch) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&TEAThread::Entry), &module))
        return false;
    // The worker's own reference to the library, released by FreeLibraryAndExitThread.
    UniqueModule reference(module);
    auto job = std::make_unique<TWorkerJob>(TWorkerJob{window, fetch});
    ++workers_;
    const UniqueHandle thread(CreateThread(nullptr, WorkerStack, &TEAThread::Entry, job.get(),
                                           STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
        --workers_;
        return false;
    }
    // The worker owns both now.
    job.release();
    reference.Release();
    return true;
}

DWORD WINAPI TEAThread::Entry(void* parameter) noexcept {
    {
        const std::unique_ptr<TWorkerJob> job(static_cast<TWorkerJob*>(parameter));
        Execute(job->Window, job->Fetch);
    }
    --workers_;
    FreeLibraryAndExitThread(ThisModule(), 0);
}

void TEAThread::Execute(HWND window, unsigned long long fetch) noexcept {
    TEmbededApplicationPtr application = EmbededApplication();
    if (!application)
        return;
    const bool done = Guarded("TEAThread.Execute", [&] {
        // A window must get its rule once the resident program can answer: ask until then,
        // unless the window goes, is detached or announced again, or the resident program ends.
        const std::string text = FetchWindowRule(window, [&] {
            return IsWindow(window) && application->WantsRule(window, fetch) && HookOwnerRuns();
        });
        if (!text.empty() && application->HandOver(window, fetch, text))
            return;
        application->EndFetch(window, fetch);
    });
    // A failed fetch ends too, so that the window's next announcement asks again.
    if (!done)
        Guarded("TEAThread.EndFetch", [&] { application->EndFetch(window, fetch); });
}
