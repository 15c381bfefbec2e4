#include "uEmbededApplication.h"

#include "uEAStartup.h"
#include "uEAThread.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<HWND>& list, HWND window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

} // namespace

TEmbededApplication::TEmbededApplication() {
    try {
        extenders_ = NewObject<TWindowExtenders>();
    } catch (...) {
    }
}

void TEmbededApplication::AttachWindow(HWND window) {
    try {
        {
            std::lock_guard lock(lock_);
            if (Contains(windows_, window))
                return;
            windows_.push_back(window);
        }
        if (TEAThread::Start(window))
            return;
        // No worker: one short try here, on the window's own thread.
        Apply(window, AskInline(window));
        EndFetch(window);
    } catch (...) {
    }
}

std::string TEmbededApplication::AskInline(HWND window) {
    std::lock_guard lock(channelLock_);
    if (!channel_) {
        channel_ = std::make_unique<TProcessesCommunication>(ChannelPrefix);
        channel_->SetTimeout(InlineTimeout);
    }
    return QueryWindowRule(*channel_, window, 1);
}

ComPtr<IWindowExtender> TEmbededApplication::FindExtender(HWND window) {
    ComPtr<IIndexedCollection> indexed = extenders_->AsIndexedCollection();
    for (int i = 0; i < indexed->Count(); ++i)
        if (ComPtr<IWindowExtender> extender = Supports<IWindowExtender>(indexed->GetByIndex(i)))
            if (extender->Handle() == window)
                return extender;
    return nullptr;
}

void TEmbededApplication::Release(HWND window, const ComPtr<IWindowExtender>& extender) {
    {
        std::lock_guard lock(lock_);
        std::erase(windows_, window);
        if (extender)
            extenders_->Delete(Variant(extender->GetName()));
    }
    if (extender) {
        extender->Unlink();
        extender->ReleaseOwner();
    }
}

void TEmbededApplication::DetachWindow(HWND window) {
    try {
        ComPtr<IWindowExtender> extender;
        {
            std::lock_guard lock(lock_);
            if (!Contains(windows_, window))
                return;
            extender = FindExtender(window);
        }
        Release(window, extender);
    } catch (...) {
    }
}

void TEmbededApplication::RemoveSlave(ISlave* slave) {
    try {
        if (ComPtr<IWindowExtender> extender = Supports<IWindowExtender>(slave))
            Release(extender->Handle(), extender);
    } catch (...) {
    }
}

void TEmbededApplication::RemoveWindow(HWND window, ISlave* slave) {
    try {
        Release(window, Supports<IWindowExtender>(slave));
    } catch (...) {
    }
}

void TEmbededApplication::ReleaseAll() {
    try {
        std::vector<ComPtr<IWindowExtender>> all;
        {
            std::lock_guard lock(lock_);
            ComPtr<IIndexedCollection> indexed = extenders_->AsIndexedCollection();
            for (int i = 0; i < indexed->Count(); ++i)
                if (ComPtr<IWindowExtender> extender = Supports<IWindowExtender>(indexed->GetByIndex(i)))
                    all.push_back(extender);
        }
        for (const auto& extender : all) {
            extender->Unlink();
            extender->ReleaseOwner();
        }
        std::lock_guard lock(lock_);
        extenders_->Clear();
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
        if (!IsWindow(window) || text.empty())
            return;
        ComPtr<IWindowExtender> extender = TakeItem<IWindowExtender>(CreateItemByKey(text, "WINDOWEXTENDER"));
        if (!extender)
            return;
        {
            std::lock_guard lock(lock_);
            if (!Contains(windows_, window) || FindExtender(window))
                return; // detached meanwhile, or attached already
            extenders_->Add(extender.Get());
        }
        extender->SetOwner(static_cast<IWindowExtenderOwner*>(this));
        extender->Link();
        if (!extender->Attach(window))
            Release(window, extender);
    } catch (...) {
    }
}

void TEmbededApplication::EndFetch(HWND window) {
    try {
        std::lock_guard lock(lock_);
        if (!FindExtender(window))
            std::erase(windows_, window);
    } catch (...) {
    }
}

bool TEmbededApplication::InWindows(HWND window) {
    std::lock_guard lock(lock_);
    return Contains(windows_, window);
}

bool TEmbededApplication::IsAttached(HWND window) {
    std::lock_guard lock(lock_);
    return FindExtender(window) != nullptr;
}

int TEmbededApplication::ExtenderCount() {
    std::lock_guard lock(lock_);
    return extenders_->Count();
}
