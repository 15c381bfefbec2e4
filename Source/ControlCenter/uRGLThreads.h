#pragma once

#include "Handles.h"

#include <windows.h>

#include <atomic>

// One system thread whose body is Execute. Created suspended on request; a thread that is not
// may run Execute before the constructor of the subclass has finished, so subclasses with state
// of their own create it suspended and Resume it when ready.
class TThread {
public:
    explicit TThread(bool createSuspended);
    // Terminates and waits unless the thread is suspended or finished.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Resume();
    void Suspend();
    void Terminate() { terminated_ = true; }
    // Waits for the end of the body and answers the exit code. On the main thread messages sent
    // to its windows are delivered meanwhile. A wait that fails answers WAIT_FAILED.
    DWORD WaitFor();

    // Null when the thread could not be created: the start failed.
    HANDLE Handle() const { return handle_.Get(); }
    DWORD ThreadID() const { return threadId_; }
    bool Terminated() const { return terminated_; }
    bool Suspended() const { return suspended_; }
    bool Finished() const { return finished_; }
    bool FreeOnTerminate() const { return freeOnTerminate_; }
    // When true the object frees itself after Execute returns: it must not be touched then.
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    int ReturnValue() const { return returnValue_; }

protected:
    // For a subclass that must choose the stack reservation; 0 is the default.
    TThread(bool createSuspended, unsigned stackSize);
    virtual void Execute() = 0;
    void SetReturnValue(int value) { returnValue_ = value; }

private:
    static unsigned __stdcall ThreadProc(void* self) noexcept;

    UniqueHandle handle_;
    DWORD threadId_ = 0;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{false};
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> returnValue_{0};
};
