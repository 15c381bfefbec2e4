#pragma once

#include "ProcessesCommunication.h"
#include "uEAWindowExtender.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct IEmbededApplication : IUnknown {
    virtual void AttachWindow(HWND window) = 0;
    virtual void DetachWindow(HWND window) = 0;
    virtual void ReleaseAll() = 0;
    virtual void Apply(HWND window, const std::string& text) = 0;
};
__CRT_UUID_DECL(IEmbededApplication, 0x30DDE8EE, 0x6C22, 0x46AD, 0xAD, 0x7E, 0x64, 0x05, 0x05, 0x03, 0xF3,
                0xC2)

// One per process: the windows being attached or attached, their extenders, and the hand-over
// of fetched rules to the windows' own threads. One lock guards Windows, Extenders and the
// pending rules; it is never held while a window is sent a message, subclassed or restyled, or
// while an extender is called.
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
    // On the window's own thread.
    void Apply(HWND window, const std::string& text) override;

    // Worker side: leaves the text for the window's thread and asks it to apply it there.
    // True when the window's thread took it.
    bool HandOver(HWND window, const std::string& text);
    // Window-thread side, from the hook procedure on ApplyRuleMessage.
    void ApplyPending(HWND window, LPARAM id);
    // Drops a window whose fetch ended, unless its extender is attached.
    void EndFetch(HWND window);

    bool InWindows(HWND window);
    bool IsAttached(HWND window);
    int ExtenderCount();

    static constexpr UINT HandOverTimeout = 5000;

private:
    bool TakePending(LPARAM id, std::string& text);
    std::string AskInline(HWND window);
    // Under the lock: the extender attached to Window, or null.
    ComPtr<IWindowExtender> FindExtender(HWND window);
    // Takes the window and the extender out of the lists, then takes the extender down.
    void Release(HWND window, const ComPtr<IWindowExtender>& extender);

    std::mutex lock_;
    std::vector<HWND> windows_;
    ComPtr<IWindowExtenders> extenders_;
    std::map<LPARAM, std::string> pending_;
    LPARAM nextId_ = 0;
    // Only when no worker can be started; made on first use, never under the loader lock.
    std::mutex channelLock_;
    std::unique_ptr<TProcessesCommunication> channel_;

    static constexpr int InlineTimeout = 100;
};
