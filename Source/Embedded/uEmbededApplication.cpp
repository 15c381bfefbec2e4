#include "uEmbededApplication.h"

#include "uEAStartup.h"
#include "uEAThread.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<HWND>& list, HWND window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

void Erase(std::vector<HWND>& list, HWND window) {
    std::erase(list, window);
}

} // namespace

void TEmbededApplication::AttachWindow(HWND window) {
    try {
        {
            std::lock_guard lock(lock_);
            if (Contains(windows_, window))
                return;
            windows_.push_back(window);
        }
        if (StartWorker(window))
            return;
        // No worker: one short try here, on the window's own thread.
        Apply(window, AskInline(window));
        if (!IsAttached(window))
            RemoveWindow(window);
    } catch (...) {
    }
}

bool TEmbededApplication::StartWorker(HWND window) {
    return TEAThread::Start(window);
}

std::string TEmbededApplication::AskInline(HWND window) {
    std::lock_guard lock(channelLock_);
    if (!channel_) {
        channel_ = std::make_unique<TProcessesCommunication>(ChannelPrefix);
        channel_->SetTimeout(InlineTimeout);
    }
    return QueryWindowRule(*channel_, window, 1);
}

void TEmbededApplication::DetachWindow(HWND window) {
    RemoveWindow(window);
}

void TEmbededApplication::RemoveWindow(HWND window) {
    try {
        std::lock_guard lock(lock_);
        Erase(windows_, window);
        Erase(attached_, window);
    } catch (...) {
    }
}

void TEmbededApplication::ReleaseAll() {
    try {
        std::lock_guard lock(lock_);
        attached_.clear();
        windows_.clear();
        pending_.clear();
    } catch (...) {
    }
}

bool TEmbededApplication::HandOver(HWND window, const std::string& text) {
    LPARAM id = 0;
    {
        std::lock_guard lock(lock_);
        id = ++nextId_;
        pending_[id] = text;
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, ApplyRuleMessage(), 0, id, SMTO_NORMAL | SMTO_ABORTIFHUNG, HandOverTimeout,
                        &result);
    // Taken by the window's thread, or dropped here: a late delivery then finds nothing.
    std::string unused;
    return !TakePending(id, unused);
}

bool TEmbededApplication::TakePending(LPARAM id, std::string& text) {
    std::lock_guard lock(lock_);
    auto found = pending_.find(id);
    if (found == pending_.end())
        return false;
    text = std::move(found->second);
    pending_.erase(found);
    return true;
}

void TEmbededApplication::ApplyPending(HWND window, LPARAM id) {
    try {
        std::string text;
        if (TakePending(id, text))
            Apply(window, text);
    } catch (...) {
    }
}

void TEmbededApplication::Apply(HWND window, const std::string& text) {
    try {
        if (!IsWindow(window) || text.empty()) {
            RemoveWindow(window);
            return;
        }
    } catch (...) {
    }
}

bool TEmbededApplication::InWindows(HWND window) {
    std::lock_guard lock(lock_);
    return Contains(windows_, window);
}

size_t TEmbededApplication::WindowCount() {
    std::lock_guard lock(lock_);
    return windows_.size();
}

bool TEmbededApplication::IsAttached(HWND window) {
    std::lock_guard lock(lock_);
    return Contains(attached_, window);
}
