#pragma once

#include "uEAGeneralClasses.h"
#include "uRGLTimers.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The agent: steps one action of the rule to its next operation or runs a named one.
class TActionActivator : public TAbstractParamsItem,
                         public ISlave,
                         public IObserver,
                         public IActionActivator {
    EA_ITEM_INTERFACES(TAbstractParamsItem, IActionActivator, ISlave, IObserver, IWindowPart)

public:
    void SetOwner(IOwner* owner) override { SetTrigger(owner); }
    void ReleaseOwner() override { ClearTrigger(); }
    void Link() override;
    void Unlink() override;
    void SetName(const std::string& name) override { Name = name; }
    void Update(IPublisher*) override {}
    bool PublisherDetached(IPublisher*) override { return false; }
    void Attach() override { Enabled = true; }
    void Detach() override { Enabled = false; }
    std::string GetActionName() override { return ActionName; }
    TActionKind GetActionKind() override { return ActionKind; }
    std::string GetOperationName() override { return OperationName; }
    void Fire() override;

    std::string ActionName;
    TActionKind ActionKind = TActionKind::Next;
    std::string OperationName;
    bool Enabled = false;

protected:
    void SetParam(const std::string& name, const std::string& value) override;
    virtual void SetTrigger(IOwner* owner);
    virtual void ClearTrigger() { Trigger.Reset(); }
    ComPtr<IWindowAction> FindAction();

    ComPtr<IActionActivatorOwner> Trigger;
};

// "MESSAGEAGENT".
class TMessageActionActivator : public TActionActivator, public IMessageActionActivator {
    EA_ITEM_INTERFACES(TActionActivator, IMessageActionActivator)

public:
    void Attach() override { TActionActivator::Attach(); }
    void Detach() override { TActionActivator::Detach(); }
    std::string GetActionName() override { return ActionName; }
    TActionKind GetActionKind() override { return ActionKind; }
    std::string GetOperationName() override { return OperationName; }
    void Fire() override { TActionActivator::Fire(); }
};

using TActionActivators = TTypedCollection<IActionActivators, IActionActivator, false>;
using TActionsActivators = TTypedCollection<IActionsActivators, IActionsActivator, false>;

// The trigger: watches the window's messages and fires its agents.
class TActionsActivator : public TAbstractParamsItem,
                          public ISlave,
                          public IActionActivatorOwner,
                          public IMessageHandler,
                          public IActionsActivator {
    EA_ITEM_INTERFACES(TAbstractParamsItem, IActionsActivator, ISlave, IActionActivatorOwner,
                       IWindowPartOwner, IOwner, IMessageHandler, IWindowPart)

public:
    void SetOwner(IOwner* owner) override { SetExtender(owner); }
    void ReleaseOwner() override;
    void Link() override;
    void Unlink() override;
    void SetName(const std::string& name) override { Name = name; }
    void RemoveSlave(ISlave*) override {}
    ComPtr<IWindowHandler> GetWindowHandler() override;
    bool BeforeMessage(TMessage&) override { return false; }
    void AfterMessage(TMessage&, bool) override {}
    void Attach() override;
    void Detach() override;

    virtual void Fire();
    ComPtr<IActionActivators> Agents;
    std::string AgentClassKey;

protected:
    void Init() override;
    void SetParam(const std::string& name, const std::string& value) override;
    virtual void SetExtender(IOwner* owner);
    HWND WindowHandle();
    // F for every agent, first to last; an agent's failure goes to the log as Where's.
    template <class F> void ForEachAgent(const char* where, F&& f);
    // The same with each agent as ISlave.
    template <class F> void ForEachAgentSlave(const char* where, F&& f);

    ComPtr<IActionsActivatorOwner> Extender;
};

// A trigger with an optional lag: a burst of messages fires once, the lag after the last.
class TMessageTrigger : public TActionsActivator {
public:
    ~TMessageTrigger() override;
    void Fire() override;

    bool LagEnabled = false;
    int LagInterval = 0;

protected:
    void Init() override;
    void SetParam(const std::string& name, const std::string& value) override;
    virtual bool IsTriggerValid() { return true; }
    // Fires only these agents, with the lag as Fire; a qualifying message before the lag runs out
    // makes it fire every agent again.
    void FireOnly(std::vector<ComPtr<IActionActivator>> agents);

private:
    void FireAfterLag();
    void FireNow();
    void PrepareLagTimer();
    void LagTimerNotify();
    std::unique_ptr<TTimer> LagTimer;
    // The agents of the firing under way, when not all of them.
    std::optional<std::vector<ComPtr<IActionActivator>>> only_;
};

class TWMCreateMessageTrigger : public TMessageTrigger {
public:
    void AfterMessage(TMessage& message, bool handled) override;
};

// A trigger of the window's active or inactive state. A window already in that state when its
// rule arrives takes it on the attached message, after the creation triggers, rather than at its
// next switch. A "next" agent names no state: its step follows where the action's ring stands. A
// ring the creation triggers left as it was stands where the active state keeps it; one they
// stepped stands where the inactive state does.
class TWindowStateTrigger : public TMessageTrigger {
public:
    void Attach() override;

protected:
    // By action name, the operation in force.
    using TOperationsInForce = std::map<std::string, std::string>;
    // Those of the attachment, handed out once: a further attached message (anybody may send
    // one) finds none and changes nothing.
    TOperationsInForce TakeOperationsAtAttach() { return std::exchange(operationsAtAttach_, {}); }
    // Whether the operation in force in the agent's action is still the one of the attachment.
    bool UnchangedSince(const TOperationsInForce& atAttach, const ComPtr<IActionActivator>& agent);

private:
    // The operation in force in the named action of the rule; empty when there is none.
    std::string OperationInForce(const std::string& actionName);

    TOperationsInForce operationsAtAttach_;
};

class TWMActivateWindowMessageTrigger : public TWindowStateTrigger {
public:
    // Also on the attached message: a creation step that switched ghost mode on for an opaque
    // window would otherwise leave the window in front deaf to the mouse.
    void AfterMessage(TMessage& message, bool handled) override;

protected:
    bool IsTriggerValid() override;

private:
    // In front when the rule arrives: every agent that names its operation performs it, and a
    // "next" agent steps only a ring that a creation step moved.
    void ApplyActiveState();
};

class TWMInActivateWindowMessageTrigger : public TWindowStateTrigger {
public:
    void AfterMessage(TMessage& message, bool handled) override;

protected:
    bool IsTriggerValid() override;

private:
    // Behind when the rule arrives: only the actions the creation triggers left as they were
    // take this state. An action they set keeps what they set, and their "next" steps never
    // switch off again what this state switched on.
    void ApplyInactiveState();
};
