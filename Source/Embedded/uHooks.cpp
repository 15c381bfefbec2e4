#include "uHooks.h"

#include <cstring>
#include <mutex>
#include <vector>

// Each subclassed window gets its own entry: a few bytes of code that put the entry's
// address where the window handle was and jump to EntryProc. Entries are recycled only
// when no call runs through them and ours is no longer the window's procedure.
struct THookEntry {
    unsigned char Code[32];
    HWND Window = nullptr;
    WNDPROC OldProc = nullptr;
    bool Unicode = false;
    TWHook* Owner = nullptr; // none: a pass-through
    int Depth = 0;           // calls in progress on the window's thread
    bool Released = false;   // no longer the window's procedure

    static LRESULT CALLBACK EntryProc(THookEntry* entry, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
};

namespace {

constexpr size_t PoolChunk = 64 * 1024;

class TEntryPool {
public:
    THookEntry* Acquire() {
        std::lock_guard lock(mutex_);
        if (free_.empty())
            Grow();
        THookEntry* entry = free_.back();
        free_.pop_back();
        new (entry) THookEntry();
        WriteCode(entry);
        ++live_;
        return entry;
    }
    void Release(THookEntry* entry) noexcept {
        std::lock_guard lock(mutex_);
        entry->~THookEntry();
        free_.push_back(entry);
        --live_;
    }
    long Live() noexcept {
        std::lock_guard lock(mutex_);
        return live_;
    }

private:
    void Grow() {
        // Never freed: code of a pass-through may be called as long as the process lives.
        void* chunk = VirtualAlloc(nullptr, PoolChunk, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        if (chunk == nullptr)
            throw EWindowHook("No memory for a window-procedure entry");
        auto* first = static_cast<THookEntry*>(chunk);
        for (size_t i = 0; i < PoolChunk / sizeof(THookEntry); ++i)
            free_.push_back(first + i);
    }
    static void WriteCode(THookEntry* entry) noexcept {
        unsigned char* code = entry->Code;
        const auto self = reinterpret_cast<UINT_PTR>(entry);
        const auto target = reinterpret_cast<UINT_PTR>(&THookEntry::EntryProc);
        code[0] = 0x48; // mov rcx, entry
        code[1] = 0xB9;
        std::memcpy(code + 2, &self, 8);
        code[10] = 0x48; // mov rax, EntryProc
        code[11] = 0xB8;
        std::memcpy(code + 12, &target, 8);
        code[20] = 0xFF; // jmp rax
        code[21] = 0xE0;
        FlushInstructionCache(GetCurrentProcess(), code, sizeof(entry->Code));
    }

    std::mutex mutex_;
    std::vector<THookEntry*> free_;
    long live_ = 0;
};

TEntryPool& Pool() {
    static TEntryPool pool;
    return pool;
}

LRESULT CallProc(bool unicode, WNDPROC proc, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
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

} // namespace

LRESULT CALLBACK THookEntry::EntryProc(THookEntry* entry, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    ++entry->Depth;
    LRESULT result = 0;
    if (entry->Owner != nullptr) {
        // A copy: the method may free the hook that holds it.
        TWndMethod method = entry->Owner->wndMethod_;
        TMessage message{msg, wParam, lParam, 0};
        try {
            method(message);
        } catch (...) {
        }
        result = message.Result;
    } else {
        result = CallProc(entry->Unicode, entry->OldProc, entry->Window, msg, wParam, lParam);
        if (msg == WM_NCDESTROY)
            entry->Released = true;
    }
    if (--entry->Depth == 0 && entry->Released)
        Pool().Release(entry);
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
    unicode_ = IsWindowUnicode(window_) != FALSE;
    THookEntry* entry = Pool().Acquire();
    entry->Window = window_;
    entry->Unicode = unicode_;
    entry->OldProc = reinterpret_cast<WNDPROC>(GetProc(unicode_, window_));
    entry->Owner = this;
    SetLastError(0);
    const LONG_PTR previous = SetProc(unicode_, window_, reinterpret_cast<LONG_PTR>(entry->Code));
    if (previous == 0 && GetLastError() != 0) {
        Pool().Release(entry);
        throw EWindowHook("SetWindowLongPtr failed");
    }
    entry->OldProc = reinterpret_cast<WNDPROC>(previous);
    oldProc_ = entry->OldProc;
    entry_ = entry;
    hooked_ = true;
}

void TWHook::Unhook() noexcept {
    if (!hooked_)
        return;
    THookEntry* entry = entry_;
    entry_ = nullptr;
    hooked_ = false;
    oldProc_ = entry->OldProc;
    entry->Owner = nullptr;
    if (IsWindow(window_)) {
        if (GetProc(unicode_, window_) != reinterpret_cast<LONG_PTR>(entry->Code))
            return; // someone subclassed after us: stay in their chain as a pass-through
        SetProc(unicode_, window_, reinterpret_cast<LONG_PTR>(entry->OldProc));
    }
    entry->Released = true;
    if (entry->Depth == 0)
        Pool().Release(entry);
}

void TWHook::CallOld(TMessage& message) const noexcept {
    const WNDPROC proc = entry_ != nullptr ? entry_->OldProc : oldProc_;
    message.Result = CallProc(unicode_, proc, window_, message.Msg, message.WParam, message.LParam);
}

WNDPROC TWHook::OldProc() const noexcept {
    return entry_ != nullptr ? entry_->OldProc : oldProc_;
}

WNDPROC TWHook::NewProc() const noexcept {
    return entry_ != nullptr ? reinterpret_cast<WNDPROC>(entry_->Code) : nullptr;
}

void TWHook::SetOldProc(WNDPROC proc) noexcept {
    if (entry_ != nullptr)
        entry_->OldProc = proc;
    oldProc_ = proc;
}

long LiveHookEntries() noexcept {
    return Pool().Live();
}
