#include "uEmbededApplication.h"

#include "EARoutines.h"
#include "uEAHookProc.h"
#include "uEAStartup.h"
#include "uEAThread.h"

TEmbededApplication::TEmbededApplication() {
    extenders_ = NewObject<TWindowExtenders>();
}

void TEmbededApplication::AttachWindow(HWND window) {
    TFetchId fetch = 0;
    {
        const SlimLock lock(lock_);
        const auto found = windows_.find(window);
        // Attached, or a fetch under way: nothing to do. A rule still waiting for this thread
        // may come from an earlier run of the resident program (its request went with that
        // hook): the window asks afresh.
        if (found != windows_.end() && (!found->second.Pending || FindExtender(window)))
            return;
        fetch = ++lastFetch_;
        windows_[window] = TWindowEntry{fetch, std::nullopt};
    }
    if (TEAThread::Start(window, fetch))
        return;
    // No worker: one short try here, on the window's own thread.
    ApplyFetched(window, fetch, AskInline(window));
    EndFetch(window, fetch);
}

std::string TEmbededApplication::AskInline(HWND window) {
    const SlimLock lock(channelLock_);
    // Names that were not usable (another process held or took them) are tried afresh.
    if (!channel_ || !channel_->Usable()) {
        // On the window's own thread: even opening the names waits no longer than a send.
        channel_ = std::make_unique<TProcessesCommunication>(ChannelPrefix, InlineTimeout);
    }
    return AskWindowRule(*channel_, window).value_or(std::string());
}

ComPtr<IWindowExtender> TEmbededApplication::FindExtender(HWND window) {
    ComPtr<IIndexedCollection> indexed = extenders_->AsIndexedCollection();
    for (int i = 0; i < indexed->Count(); ++i)
        if (ComPtr<IWindowExtender> extender = Supports<IWindowExtender>(indexed->GetByIndex(i)))
            if (extender->Handle() == window)
                return extender;
    return nullptr;
}

TEmbededApplication::TWindowEntry* TEmbededApplication::Current(HWND window, TFetchId fetch) {
    const auto found = windows_.find(window);
    return found != windows_.end() && found->second.Fetch == fetch ? &found->second : nullptr;
}

void TEmbededApplication::Forget(HWND window) {
    windows_.erase(window);
}

void TEmbededApplication::Release(HWND window, const ComPtr<IWindowExtender>& extender) {
    {
        const SlimLock lock(lock_);
        Forget(window);
        if (extender)
            extenders_->Delete(Variant(extender->GetName()));
    }
    if (extender) {
        extender->Unlink();
        extender->ReleaseOwner();
    }
}

void TEmbededApplication::DetachWindow(HWND window) {
    ComPtr<IWindowExtender> extender;
    {
        const SlimLock lock(lock_);
        if (!windows_.contains(window))
            return;
        extender = FindExtender(window);
    }
    Release(window, extender);
}

void TEmbededApplication::CancelFetch(HWND window) {
    // An attached window's extender takes itself down on the same message.
    const SlimLock lock(lock_);
    if (windows_.contains(window) && !FindExtender(window))
        Forget(window);
}

void TEmbededApplication::RemoveSlave(ISlave* slave) {
    if (ComPtr<IWindowExtender> extender = Supports<IWindowExtender>(slave))
        Release(extender->Handle(), extender);
}

void TEmbededApplication::RemoveWindow(HWND window, ISlave* slave) {
    Release(window, Supports<IWindowExtender>(slave));
}

void TEmbededApplication::ReleaseAll() {
    std::vector<ComPtr<IWindowExtender>> all;
    {
        const SlimLock lock(lock_);
        ComPtr<IIndexedCollection> indexed = extenders_->AsIndexedCollection();
        for (int i = 0; i < indexed->Count(); ++i)
            if (ComPtr<IWindowExtender> extender = Supports<IWindowExtender>(indexed->GetByIndex(i)))
                all.push_back(extender);
    }
    // Every window gets its procedure back, even when taking down one extender fails.
    for (const auto& extender : all)
        Guarded("TEmbededApplication.ReleaseAll", [&extender] {
            extender->Unlink();
            extender->ReleaseOwner();
        });
    const SlimLock lock(lock_);
    extenders_->Clear();
    windows_.clear();
}

bool TEmbededApplication::WantsRule(HWND window, TFetchId fetch) {
    const SlimLock lock(lock_);
    const TWindowEntry* entry = Current(window, fetch);
    return entry != nullptr && !entry->Pending && !FindExtender(window);
}

bool TEmbededApplication::HandOver(HWND window, TFetchId fetch, const std::string& text) {
    {
        const SlimLock lock(lock_);
        TWindowEntry* entry = Current(window, fetch);
        if (entry == nullptr)
            return false;
        entry->Pending = text;
    }
    // Queued for the thread however long it is busy; it takes the rule when it gets there, and
    // nothing waits for it meanwhile. Without the hook in the thread by then the request is
    // not seen, and the window asks afresh at its next announcement.
    if (SendNotifyMessageA(window, ApplyRuleMessage(), 0, static_cast<LPARAM>(fetch)))
        return true;
    const SlimLock lock(lock_);
    if (TWindowEntry* entry = Current(window, fetch))
        entry->Pending.reset();
    return false;
}

void TEmbededApplication::ApplyPending(HWND window, LPARAM id) {
    const auto fetch = static_cast<TFetchId>(id);
    std::string text;
    {
        const SlimLock lock(lock_);
        TWindowEntry* entry = Current(window, fetch);
        if (entry == nullptr || !entry->Pending)
            return;
        text = std::move(*entry->Pending);
        entry->Pending.reset();
    }
    ApplyFetched(window, fetch, text);
}

void TEmbededApplication::Apply(HWND window, const std::string& text) {
    if (const TFetchId fetch = FetchOf(window))
        ApplyFetched(window, fetch, text);
}

void TEmbededApplication::ApplyFetched(HWND window, TFetchId fetch, const std::string& text) {
    ComPtr<IWindowExtender> extender;
    if (IsWindow(window) && !text.empty())
        extender = TakeItem<IWindowExtender>(CreateItemByKey(text, "WINDOWEXTENDER"));
    {
        const SlimLock lock(lock_);
        if (Current(window, fetch) == nullptr || FindExtender(window))
            return; // detached or announced again meanwhile, or attached already
        if (!extender) {
            // No rule to attach: a later announcement asks again.
            Forget(window);
            return;
        }
        extenders_->Add(extender.Get());
    }
    extender->SetOwner(static_cast<IWindowExtenderOwner*>(this));
    extender->Link();
    if (!extender->Attach(window))
        Release(window, extender);
}

void TEmbededApplication::EndFetch(HWND window, TFetchId fetch) {
    const SlimLock lock(lock_);
    const TWindowEntry* entry = Current(window, fetch);
    if (entry != nullptr && !entry->Pending && !FindExtender(window))
        Forget(window);
}

bool TEmbededApplication::InWindows(HWND window) {
    const SlimLock lock(lock_);
    return windows_.contains(window);
}

bool TEmbededApplication::IsAttached(HWND window) {
    const SlimLock lock(lock_);
    return FindExtender(window) != nullptr;
}

int TEmbededApplication::ExtenderCount() {
    const SlimLock lock(lock_);
    return extenders_->Count();
}

TFetchId TEmbededApplication::FetchOf(HWND window) {
    const SlimLock lock(lock_);
    const auto found = windows_.find(window);
    return found != windows_.end() ? found->second.Fetch : 0;
}
