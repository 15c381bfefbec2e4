#include "uHooks.h"

#include "EARoutines.h"
#include "Handles.h"

#include <map>
#include <memory>
#include <utility>

// Every subclassed window has the one procedure StaticProc and a record found by its handle.
// A window has at most one record: while ours stays in the chain (the host subclassed after us)
// a new hook of the window takes that record over instead of adding a second layer, which the
// procedure could not tell apart from the first. Records are freed only when no call runs
// through them and ours is no longer the window's procedure.
struct THookRecord {
    HWND Window = nullptr;
    WNDPROC OldProc = nullptr;
    bool Unicode = false;
    TWHook* Owner = nullptr; // none: a pass-through
    int Depth = 0;           // calls in progress on the window's thread
    bool Released = false;   // no longer the window's procedure
};

namespace {

// The host's threads meet here on every message of a subclassed window: a slim lock, shared
// for the lookups.
class TRecords {
public:
    THookRecord* Find(HWND window) noexcept {
        AcquireSRWLockShared(&lock_);
        const auto found = records_.find(window);
        THookRecord* record = found != records_.end() ? found->second.get() : nullptr;
        ReleaseSRWLockShared(&lock_);
        return record;
    }
    // The window's record, new when it has none; the second answer tells which.
    std::pair<THookRecord*, bool> Acquire(HWND window) {
        const SlimLock lock(lock_);
        std::unique_ptr<THookRecord>& slot = records_[window];
        if (slot)
            return {slot.get(), false};
        slot = std::make_unique<THookRecord>();
        slot->Window = window;
        return {slot.get(), true};
    }
    void Release(THookRecord* record) noexcept {
        AcquireSRWLockExclusive(&lock_);
        std::unique_ptr<THookRecord> gone;
        const auto found = records_.find(record->Window);
        if (found != records_.end() && found->second.get() == record) {
            gone = std::move(found->second);
            records_.erase(found);
        }
        ReleaseSRWLockExclusive(&lock_);
    }
    long Live() noexcept {
        AcquireSRWLockShared(&lock_);
        const long live = static_cast<long>(records_.size());
        ReleaseSRWLockShared(&lock_);
        return live;
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::map<HWND, std::unique_ptr<THookRecord>> records_;
};

TRecords& Records() {
    static TRecords records;
    return records;
}

// Not noexcept: an exception of the host's own procedure passes through to the host.
LRESULT CallProc(bool unicode, WNDPROC proc, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return unicode ? CallWindowProcW(proc, window, msg, wParam, lParam)
                   : CallWindowProcA(proc, window, msg, wParam, lParam);
}

LONG_PTR GetProc(bool unicode, HWND window) noexcept {
    return unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
}

LONG_PTR SetProc(bool unicode, HWND window, LONG_PTR proc) noexcept {
    return unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, proc)
                   : SetWindowLongPtrA(window, GWLP_WNDPROC, proc);
}

// Counts a call through the record; the last call out of a released record frees it, also when
// the host's exception passes.
class TCallDepth {
public:
    explicit TCallDepth(THookRecord* record) noexcept : record_(record) { ++record_->Depth; }
    ~TCallDepth() {
        if (--record_->Depth == 0 && record_->Released)
            Records().Release(record_);
    }
    TCallDepth(const TCallDepth&) = delete;
    TCallDepth& operator=(const TCallDepth&) = delete;

private:
    THookRecord* record_;
};

} // namespace

LRESULT CALLBACK TWHook::StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    THookRecord* record = Records().Find(window);
    if (record == nullptr) // cannot happen while our procedure is in place
        return IsWindowUnicode(window) ? DefWindowProcW(window, msg, wParam, lParam)
                                       : DefWindowProcA(window, msg, wParam, lParam);
    const TCallDepth depth(record);
    if (record->Owner != nullptr) {
        // A copy: the method may free the hook that holds it.
        TWndMethod method;
        Guarded("TWHook.WndProc", [&] { method = record->Owner->wndMethod_; });
        if (method) {
            TMessage message{msg, wParam, lParam, 0};
            method(message);
            return message.Result;
        }
    }
    const LRESULT result = CallProc(record->Unicode, record->OldProc, window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY && record->Owner == nullptr)
        record->Released = true;
    return result;
}

TWHook::TWHook(HWND window, TWndMethod wndMethod) : window_(window), wndMethod_(std::move(wndMethod)) {
    Hook();
}

TWHook::~TWHook() {
    Unhook();
}

void TWHook::Hook() {
    if (hooked_)
        return;
    const auto [record, fresh] = Records().Acquire(window_);
    if (!fresh) {
        // Ours is still in the window's chain behind the host's subclassing: take it over.
        if (record->Owner != nullptr || record->Released)
            throw EWindowHook("The window is subclassed by another hook");
        unicode_ = record->Unicode;
        record->Owner = this;
        oldProc_ = record->OldProc;
        record_ = record;
        hooked_ = true;
        return;
    }
    unicode_ = IsWindowUnicode(window_) != FALSE;
    record->Unicode = unicode_;
    record->OldProc = reinterpret_cast<WNDPROC>(GetProc(unicode_, window_));
    record->Owner = this;
    SetLastError(0);
    const LONG_PTR previous = SetProc(unicode_, window_, reinterpret_cast<LONG_PTR>(&StaticProc));
    if (previous == 0 && GetLastError() != 0) {
        Records().Release(record);
        throw EWindowHook("SetWindowLongPtr failed");
    }
    record->OldProc = reinterpret_cast<WNDPROC>(previous);
    oldProc_ = record->OldProc;
    record_ = record;
    hooked_ = true;
}

void TWHook::Unhook() noexcept {
    if (!hooked_)
        return;
    THookRecord* record = record_;
    record_ = nullptr;
    hooked_ = false;
    oldProc_ = record->OldProc;
    record->Owner = nullptr;
    if (IsWindow(window_)) {
        if (GetProc(unicode_, window_) != reinterpret_cast<LONG_PTR>(&StaticProc))
            return; // someone subclassed after us: stay in their chain as a pass-through
        SetProc(unicode_, window_, reinterpret_cast<LONG_PTR>(record->OldProc));
    }
    record->Released = true;
    if (record->Depth == 0)
        Records().Release(record);
}

void TWHook::CallOld(TMessage& message) const {
    const WNDPROC proc = record_ != nullptr ? record_->OldProc : oldProc_;
    message.Result = CallProc(unicode_, proc, window_, message.Msg, message.WParam, message.LParam);
}

WNDPROC TWHook::OldProc() const noexcept {
    return record_ != nullptr ? record_->OldProc : oldProc_;
}

WNDPROC TWHook::NewProc() const noexcept {
    return record_ != nullptr ? &StaticProc : nullptr;
}

void TWHook::SetOldProc(WNDPROC proc) noexcept {
    if (record_ != nullptr)
        record_->OldProc = proc;
    oldProc_ = proc;
}

long LiveHookEntries() noexcept {
    return Records().Live();
}
