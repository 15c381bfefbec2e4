#pragma once

#include "uEAGeneralClasses.h"
#include "uHooks.h"

#include <memory>

struct IWindowExtender : ISlave {
    virtual HWND Handle() = 0;
    // False when the window could not be subclassed: nothing stays attached then.
    virtual bool Attach(HWND window) = 0;
    virtual void Detach() = 0;
};
__CRT_UUID_DECL(IWindowExtender, 0x995883F5, 0x3888, 0x4545, 0x92, 0x08, 0x5E, 0x53, 0x9C, 0xC2, 0x0A, 0xBB)

EA_TYPED_COLLECTION(IWindowExtenders, IWindowExtender)
EA_TYPED_COLLECTION(IMessageHandlers, IMessageHandler)
__CRT_UUID_DECL(IWindowExtenders, 0xDA7B7BC1, 0x8FD4, 0x4124, 0x96, 0x1D, 0x37, 0xD2, 0xE1, 0x04, 0x07, 0x67)
__CRT_UUID_DECL(IMessageHandlers, 0xF1C7BAA4, 0xF521, 0x4FD6, 0x86, 0xE6, 0x33, 0xF1, 0x61, 0x7E, 0x00, 0xA3)

using TWindowExtenders = TTypedCollection<IWindowExtenders, IWindowExtender, false>;
using TMessageHandlers = TTypedCollection<IMessageHandlers, IMessageHandler, true>;

// One rule attached to one window: its actions and triggers, and the subclassing through
// which its message handlers see the window's messages.
class TWindowExtender : public TAbstractParamsItem,
                        public IWindowExtender,
                        public IActionOwner,
                        public IActionsActivatorOwner,
                        public IWindowHandler {
    EA_ITEM_INTERFACES(TAbstractParamsItem, IWindowExtender, ISlave, IActionOwner, IActionsActivatorOwner,
                       IWindowHandler)

public:
    // ISlave
    void SetOwner(IOwner* owner) override;
    void ReleaseOwner() override;
    void Link() override;
    void Unlink() override;
    void SetName(const std::string& name) override { Name = name; }
    // IWindowExtender
    HWND Handle() override { return Window; }
    bool Attach(HWND window) override;
    void Detach() override;
    // IOwner, IWindowPartOwner
    void RemoveSlave(ISlave*) override {}
    ComPtr<IWindowHandler> GetWindowHandler() override { return static_cast<IWindowHandler*>(this); }
    // IWindowHandler
    void AddMessageHandler(IMessageHandler* handler) override;
    void RemoveMessageHandler(IMessageHandler* handler) override;
    ComPtr<IActions> Actions() override { return ActionList; }
    std::string Caption() override;
    std::string RuleName() override { return RuleNameText; }

    ComPtr<IActions> ActionList;
    ComPtr<IActionsActivators> Triggers;
    ComPtr<IMessageHandlers> MessageHandlers;
    ComPtr<IWindowExtenderOwner> Owner;
    HWND Window = nullptr;
    std::unique_ptr<TWHook> Hook;
    std::string RuleNameText;

protected:
    void Init() override;
    void SetParam(const std::string& name, const std::string& value) override;

private:
    // Not noexcept: the host's own exceptions pass through it (ours never leave it).
    void WndProc(TMessage& message);
    ISlave* AsSlave() { return static_cast<IWindowExtender*>(this); }
    // Each action, then each trigger, as interface I; a part's failure goes to the log as Where's.
    template <class I, class F> void ForEachPart(const char* where, F&& f);
};

void RegisterWindowExtender();
