#include "uEACaptionWatch.h"

#include "EARoutines.h"
#include "Handles.h"
#include "uEAStartup.h"
#include "uEmbededApplication.h"

#include <map>
#include <optional>
#include <utility>

namespace {

// A thread timer per watched window; its number is unique only on its thread.
using TTimerKey = std::pair<DWORD, UINT_PTR>;

class TCaptionWatches {
public:
    // False when the window is watched already: its one pending question covers this change.
    bool Add(HWND window, TTimerKey timer) {
        const SlimLock lock(lock_);
        if (windows_.contains(window))
            return false;
        windows_[window] = timer;
        timers_[timer] = window;
        return true;
    }
    bool Contains(HWND window) {
        const SlimLock lock(lock_);
        return windows_.contains(window);
    }
    HWND WindowOf(TTimerKey timer) {
        const SlimLock lock(lock_);
        const auto found = timers_.find(timer);
        return found != timers_.end() ? found->second : nullptr;
    }
    // The window's timer, no longer watched; none when it was not.
    std::optional<TTimerKey> Remove(HWND window) {
        const SlimLock lock(lock_);
        const auto found = windows_.find(window);
        if (found == windows_.end())
            return std::nullopt;
        const TTimerKey timer = found->second;
        timers_.erase(timer);
        windows_.erase(found);
        return timer;
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::map<HWND, TTimerKey> windows_;
    std::map<TTimerKey, HWND> timers_;
};

TCaptionWatches& Watches() {
    static TCaptionWatches watches;
    return watches;
}

void Stop(HWND window) {
    if (const auto timer = Watches().Remove(window))
        KillTimer(nullptr, timer->second);
}

VOID CALLBACK Recheck(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    Guarded("CaptionWatch.Recheck", [id] {
        const HWND window = Watches().WindowOf({GetCurrentThreadId(), id});
        if (window == nullptr) {
            KillTimer(nullptr, id);
            return;
        }
        const TEmbededApplicationPtr application = EmbededApplication();
        if (!application || !IsWindow(window) || application->IsAttached(window)) {
            Stop(window);
            return;
        }
        if (application->InWindows(window))
            return; // a fetch for it runs: look again after the next pause
        Stop(window);
        application->AttachWindow(window);
    });
}

} // namespace

void CaptionChanged(HWND window) {
    const TEmbededApplicationPtr application = EmbededApplication();
    if (!application || application->IsAttached(window) || Watches().Contains(window))
        return;
    const UINT_PTR id = SetTimer(nullptr, 0, CaptionRecheckPause, &Recheck);
    if (id == 0)
        return;
    // The timer calls into this library from the host's message loop.
    PinModule();
    if (!Watches().Add(window, {GetCurrentThreadId(), id}))
        KillTimer(nullptr, id);
}

void StopCaptionWatch(HWND window) {
    Stop(window);
}
