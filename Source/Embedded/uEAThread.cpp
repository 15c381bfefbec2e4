#include "uEAThread.h"

#include "uEAStartup.h"
#include "uEmbededApplication.h"

std::atomic<long> TEAThread::workers_{0};

bool TEAThread::Start(HWND window) {
    HMODULE module = nullptr;
    // The worker's own reference to the library, released by FreeLibraryAndExitThread.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&TEAThread::Entry), &module))
        return false;
    ++workers_;
    HANDLE thread = CreateThread(nullptr, 0, &TEAThread::Entry, window, 0, nullptr);
    if (thread == nullptr) {
        --workers_;
        FreeLibrary(module);
        return false;
    }
    CloseHandle(thread);
    return true;
}

DWORD WINAPI TEAThread::Entry(void* parameter) noexcept {
    Execute(static_cast<HWND>(parameter));
    --workers_;
    FreeLibraryAndExitThread(ThisModule(), 0);
}

void TEAThread::Execute(HWND window) noexcept {
    try {
        const std::string text = FetchWindowRule(window);
        TEmbededApplicationPtr application = EmbededApplication();
        if (!application)
            return;
        if (!text.empty())
            application->HandOver(window, text);
        // Windows holds fetches in flight and attached windows only.
        if (!application->IsAttached(window))
            application->RemoveWindow(window);
    } catch (...) {
    }
}
