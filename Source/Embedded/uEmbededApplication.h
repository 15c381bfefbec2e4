#pragma once

#include "ProcessesCommunication.h"
#include "uEAWindowExtender.h"

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

struct IEmbededApplication : IUnknown {
    virtual void AttachWindow(HWND window) = 0;
    virtual void DetachWindow(HWND window) = 0;
    virtual void ReleaseAll() = 0;
    virtual void Apply(HWND window, const std::string& text) = 0;
};
__CRT_UUID_DECL(IEmbededApplication, 0x30DDE8EE, 0x6C22, 0x46AD, 0xAD, 0x7E, 0x64, 0x05, 0x05, 0x03, 0xF3,
                0xC2)

// Each announcement of a window (its creation, an attach request) starts one fetch under a new
// number; a rule, a hand-over or the end of a fetch counts only for the window's latest one.
using TFetchId = unsigned long long;

// One per process: the windows being attached or attached, their extenders, and the hand-over
// of fetched rules to the windows' own threads. One lock guards Windows, Extenders and the
// pending rules; it is never held while a window is sent a message, subclassed or restyled, or
// while an extender is called. It is a slim lock: the host's threads and every window's worker
// meet on it, and under Wine a run-time mutex would cost a server round trip each time they do.
class TEmbededApplication : public TAbstractItem, public IWindowExtenderOwner, public IEmbededApplication {
    EA_ITEM_INTERFACES(TAbstractItem, IWindowExtenderOwner, IOwner, IEmbededApplication)

public:
    TEmbededApplication();

    // IWindowExtenderOwner
    void RemoveSlave(ISlave* slave) override;
    void RemoveWindow(HWND window, ISlave* slave) override;
    // IEmbededApplication
    void AttachWindow(HWND window) override;
    void DetachWindow(HWND window) override;
    void ReleaseAll() override;
    // On the window's own thread: the rule of the window's latest fetch.
    void Apply(HWND window, const std::string& text) override;

    // The detach message reached a window: a fetch still under way must never attach.
    void CancelFetch(HWND window);
    // Whether the fetch is still the window's latest one and nothing is attached or waiting yet.
    bool WantsRule(HWND window, TFetchId fetch);
    // Worker side: leaves the text with the window and asks its thread to apply it when it next
    // takes a message; nothing waits for that. True when the request is queued.
    bool HandOver(HWND window, TFetchId fetch, const std::string& text);
    // Window-thread side, from the hook procedure on ApplyRuleMessage.
    void ApplyPending(HWND window, LPARAM fetch);
    // A fetch that ended with no rule handed over: the window is dropped, so a later
    // announcement asks again.
    void EndFetch(HWND window, TFetchId fetch);

    bool InWindows(HWND window);
    bool IsAttached(HWND window);
    int ExtenderCount();
    // The window's latest fetch; 0 when it has none.
    TFetchId FetchOf(HWND window);

private:
    struct TWindowEntry {
        TFetchId Fetch = 0;
        std::optional<std::string> Pending; // handed over, not yet taken by the window's thread
    };

    void ApplyFetched(HWND window, TFetchId fetch, const std::string& text);
    std::string AskInline(HWND window);
    // Under the lock: the extender attached to Window, or null.
    ComPtr<IWindowExtender> FindExtender(HWND window);
    // Under the lock: the window's entry when Fetch is its latest; null otherwise.
    TWindowEntry* Current(HWND window, TFetchId fetch);
    // Takes the window and the extender out of the lists, then takes the extender down.
    void Release(HWND window, const ComPtr<IWindowExtender>& extender);
    // Under the lock: drops the window from the list.
    void Forget(HWND window);

    SRWLOCK lock_ = SRWLOCK_INIT;
    std::map<HWND, TWindowEntry> windows_;
    ComPtr<IWindowExtenders> extenders_;
    TFetchId lastFetch_ = 0;
    // Only when no worker can be started; made on first use, never under the loader lock.
    SRWLOCK channelLock_ = SRWLOCK_INIT;
    std::unique_ptr<TProcessesCommunication> channel_;

    static constexpr int InlineTimeout = 100;
};
