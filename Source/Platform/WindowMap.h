#pragma once

#include <windows.h>

#include <mutex>
#include <unordered_map>

class TWinControl;
class TWindowWatcher;

// The object of each window of the layer, and the procedure below the layer's for a subclassed
// system control or a watched window of another's making. Under Wine a window property and comctl32's
// subclass chain (which keeps its data in a property) cost a server call each, tens of microseconds for every
// message of every control; the process keeps its own map instead.
class TWindowMap {
public:
    struct TEntry {
        TWinControl* Control = nullptr;
        WNDPROC Previous = nullptr;
        TWindowWatcher* Watcher = nullptr;
        // The layer's procedure was set, and Previous is called, through the Unicode variants.
        bool Unicode = false;
    };

    void Set(HWND hwnd, TEntry entry) {
        const std::lock_guard<std::mutex> guard(lock_);
        map_[hwnd] = entry;
    }
    TEntry Find(HWND hwnd) const noexcept {
        const std::lock_guard<std::mutex> guard(lock_);
        const auto found = map_.find(hwnd);
        return found != map_.end() ? found->second : TEntry{};
    }
    void Remove(HWND hwnd) noexcept {
        const std::lock_guard<std::mutex> guard(lock_);
        map_.erase(hwnd);
    }
    // The window outlives its object or watcher: it keeps only the way down to its own
    // procedure.
    void Orphan(HWND hwnd) noexcept {
        const std::lock_guard<std::mutex> guard(lock_);
        if (const auto found = map_.find(hwnd); found != map_.end()) {
            found->second.Control = nullptr;
            found->second.Watcher = nullptr;
        }
    }

private:
    mutable std::mutex lock_;
    std::unordered_map<HWND, TEntry> map_;
};

// The process's one map; never destroyed, since windows destroyed by other statics at exit
// still look themselves up.
TWindowMap& WindowMap() noexcept;
