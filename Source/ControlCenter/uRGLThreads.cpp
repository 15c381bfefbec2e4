#include "uRGLThreads.h"

#include <process.h>

namespace {

// The thread that initialised this module: the program's main thread (the loading thread in a
// library).
const DWORD MainThreadID = GetCurrentThreadId();

} // namespace

TThread::TThread(bool createSuspended) : TThread(createSuspended, 0) {}

TThread::TThread(bool createSuspended, unsigned stackSize) : suspended_(createSuspended) {
    unsigned id = 0;
    const unsigned flags = (createSuspended ? CREATE_SUSPENDED : 0) | STACK_SIZE_PARAM_IS_A_RESERVATION;
    const uintptr_t handle = _beginthreadex(nullptr, stackSize, &TThread::ThreadProc, this, flags, &id);
    handle_.Reset(reinterpret_cast<HANDLE>(handle));
    if (handle_)
        threadId_ = id;
    else
        suspended_ = false;
}

TThread::~TThread() {
    if (handle_ && !finished_ && !suspended_) {
        Terminate();
        WaitFor();
    }
}

unsigned __stdcall TThread::ThreadProc(void* self) noexcept {
    auto* thread = static_cast<TThread*>(self);
    try {
        thread->Execute();
    } catch (...) {
        // The body's failure ends the thread like a return.
    }
    const bool freeIt = thread->freeOnTerminate_;
    const auto result = static_cast<unsigned>(thread->returnValue_.load());
    thread->finished_ = true;
    if (freeIt)
        delete thread;
    return result;
}

void TThread::Suspend() {
    if (!handle_)
        return;
    suspended_ = true;
    SuspendThread(handle_.Get());
}

void TThread::Resume() {
    if (!handle_)
        return;
    if (ResumeThread(handle_.Get()) == 1)
        suspended_ = false;
}

DWORD TThread::WaitFor() {
    if (!handle_)
        return WAIT_FAILED;
    HANDLE handle = handle_.Get();
    if (GetCurrentThreadId() == MainThreadID) {
        for (;;) {
            const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
            if (woken == WAIT_OBJECT_0)
                break;
            if (woken != WAIT_OBJECT_0 + 1)
                return WAIT_FAILED;
            // Peeking delivers the messages other threads sent to this thread's windows.
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        }
    } else if (WaitForSingleObject(handle, INFINITE) != WAIT_OBJECT_0) {
        return WAIT_FAILED;
    }
    DWORD exitCode = 0;
    return GetExitCodeThread(handle, &exitCode) ? exitCode : WAIT_FAILED;
}
