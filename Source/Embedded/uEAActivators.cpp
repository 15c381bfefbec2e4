#include "uEAActivators.h"

#include "Declarations.h"
#include "EARoutines.h"
#include "Routines.h"

namespace {

TNameCounter triggerNames;

} // namespace

void TActionActivator::SetParam(const std::string& name, const std::string& value) {
    try {
        TAbstractParamsItem::SetParam(name, value);
        if (name == "ACTIONNAME")
            ActionName = value;
        else if (name == "ACTIONKIND")
            ActionKind = AsciiUpper(value) == "CONCRETE" ? TActionKind::Concrete : TActionKind::Next;
        else if (name == "OPERATIONNAME")
            OperationName = value;
    } catch (...) {
    }
}

void TActionActivator::SetTrigger(IOwner* owner) {
    try {
        Trigger = Supports<IActionActivatorOwner>(owner);
    } catch (...) {
    }
}

ComPtr<IWindowAction> TActionActivator::FindAction() {
    if (!Trigger)
        return nullptr;
    const ComPtr<IWindowHandler> handler = Trigger->GetWindowHandler();
    const ComPtr<IActions> actions = handler ? handler->Actions() : nullptr;
    return actions ? actions->Get(ActionName) : nullptr;
}

void TActionActivator::Link() {
    try {
        if (const ComPtr<IWindowAction> action = FindAction())
            if (const ComPtr<IPublisher> publisher = action->GetPublisher())
                publisher->Subscribe(this);
    } catch (...) {
    }
}

void TActionActivator::Unlink() {
    try {
        if (const ComPtr<IWindowAction> action = FindAction())
            if (const ComPtr<IPublisher> publisher = action->GetPublisher())
                publisher->Unsubscribe(this);
    } catch (...) {
    }
}

void TActionActivator::Fire() {
    try {
        const ComPtr<IWindowAction> action = FindAction();
        if (!action)
            return;
        if (ActionKind == TActionKind::Concrete)
            action->Execute(OperationName);
        else
            action->ExecuteNext();
    } catch (...) {
    }
}

void TActionsActivator::Init() {
    try {
        TAbstractParamsItem::Init();
        Name = triggerNames.Next("ActionsActivator");
        Agents = NewObject<TActionActivators>();
    } catch (...) {
    }
}

void TActionsActivator::SetParam(const std::string& name, const std::string& value) {
    try {
        TAbstractParamsItem::SetParam(name, value);
        if (name == "AGENT" && Agents)
            if (const ComPtr<IActionActivator> agent =
                    TakeItem<IActionActivator>(CreateItemByKey(value, AgentClassKey)))
                Agents->Add(agent.Get());
    } catch (...) {
        LogCurrentError("TActionsActivator.ParseParam");
    }
}

template <class F> void TActionsActivator::ForEachAgent(F&& f) {
    if (!Agents)
        return;
    for (int i = 0; i < Agents->Count(); ++i)
        if (const ComPtr<IActionActivator> agent = Agents->Get(i))
            f(agent);
}

void TActionsActivator::Fire() {
    try {
        ForEachAgent([](const ComPtr<IActionActivator>& agent) { agent->Fire(); });
    } catch (...) {
    }
}

void TActionsActivator::SetExtender(IOwner* owner) {
    try {
        Extender = Supports<IActionsActivatorOwner>(owner);
        IOwner* self = static_cast<IActionActivatorOwner*>(this);
        ForEachAgent([self](const ComPtr<IActionActivator>& agent) {
            if (const ComPtr<ISlave> slave = Supports<ISlave>(agent))
                slave->SetOwner(self);
        });
    } catch (...) {
    }
}

void TActionsActivator::ReleaseOwner() {
    try {
        ForEachAgent([](const ComPtr<IActionActivator>& agent) {
            if (const ComPtr<ISlave> slave = Supports<ISlave>(agent))
                slave->ReleaseOwner();
        });
    } catch (...) {
    }
    Extender.Reset();
}

void TActionsActivator::Link() {
    try {
        ForEachAgent([](const ComPtr<IActionActivator>& agent) {
            if (const ComPtr<ISlave> slave = Supports<ISlave>(agent))
                slave->Link();
        });
    } catch (...) {
    }
}

void TActionsActivator::Unlink() {
    try {
        ForEachAgent([](const ComPtr<IActionActivator>& agent) {
            if (const ComPtr<ISlave> slave = Supports<ISlave>(agent))
                slave->Unlink();
        });
    } catch (...) {
    }
}

ComPtr<IWindowHandler> TActionsActivator::GetWindowHandler() {
    try {
        return Extender ? Extender->GetWindowHandler() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

HWND TActionsActivator::WindowHandle() {
    const ComPtr<IWindowHandler> handler = GetWindowHandler();
    return handler ? handler->Handle() : nullptr;
}

void TActionsActivator::Attach() {
    try {
        if (const ComPtr<IWindowHandler> handler = GetWindowHandler())
            handler->AddMessageHandler(this);
        ForEachAgent([](const ComPtr<IActionActivator>& agent) { agent->Attach(); });
    } catch (...) {
    }
}

void TActionsActivator::Detach() {
    try {
        ForEachAgent([](const ComPtr<IActionActivator>& agent) { agent->Detach(); });
        if (const ComPtr<IWindowHandler> handler = GetWindowHandler())
            handler->RemoveMessageHandler(this);
    } catch (...) {
    }
}

void TMessageTrigger::Init() {
    try {
        TActionsActivator::Init();
        AgentClassKey = "MESSAGEAGENT";
    } catch (...) {
    }
}

TMessageTrigger::~TMessageTrigger() {
    try {
        LagTimer.reset();
    } catch (...) {
        LogCurrentError("TMessageTrigger.FreeLagTimer");
    }
}

void TMessageTrigger::SetParam(const std::string& name, const std::string& value) {
    try {
        TActionsActivator::SetParam(name, value);
        if (name == "LAG_ENABLED")
            LagEnabled = IsYes(value);
        else if (name == "LAG_INTERVAL")
            LagInterval = TextToInt(value).value_or(0);
    } catch (...) {
        LogCurrentError("TMessageTrigger.ParseParam");
    }
}

void TMessageTrigger::Fire() {
    try {
        if (LagEnabled && LagInterval != 0)
            PrepareLagTimer();
        else
            TActionsActivator::Fire();
    } catch (...) {
    }
}

void TMessageTrigger::PrepareLagTimer() {
    try {
        if (!LagTimer) {
            LagTimer = std::make_unique<TTimer>();
            LagTimer->SetOnTimer([this](TTimer&) { LagTimerNotify(); });
        }
        LagTimer->SetEnabled(false);
        LagTimer->SetInterval(LagInterval);
        LagTimer->SetEnabled(true);
    } catch (...) {
        LogCurrentError("TMessageTrigger.PrepareLagTimer");
    }
}

void TMessageTrigger::LagTimerNotify() {
    try {
        // The agents' actions may let go of this trigger while they run.
        const ComPtr<IUnknown> self(static_cast<ISlave*>(this));
        if (LagTimer)
            LagTimer->SetEnabled(false);
        if (IsTriggerValid())
            TActionsActivator::Fire();
    } catch (...) {
        LogCurrentError("TMessageTrigger.LagTimerNotify");
    }
}

void TWMCreateMessageTrigger::AfterMessage(TMessage& message, bool) {
    try {
        if (message.Msg == WM_CREATE || message.Msg == ExtenderAttachedMessage)
            Fire();
    } catch (...) {
        LogCurrentError("TWMCreateMessageTrigger.AfterMessage");
    }
}

void TWMActivateWindowMessageTrigger::AfterMessage(TMessage& message, bool) {
    try {
        if (message.Msg == WM_ACTIVATE && (message.WParam == WA_ACTIVE || message.WParam == WA_CLICKACTIVE))
            Fire();
    } catch (...) {
        LogCurrentError("TWMActivateWindowMessageTrigger.AfterMessage");
    }
}

bool TWMActivateWindowMessageTrigger::IsTriggerValid() {
    try {
        return WindowHandle() == GetForegroundWindow();
    } catch (...) {
        LogCurrentError("TWMActivateWindowMessageTrigger.IsTriggerValid");
        return false;
    }
}

void TWMInActivateWindowMessageTrigger::AfterMessage(TMessage& message, bool) {
    try {
        if (message.Msg == WM_ACTIVATE && message.WParam == WA_INACTIVE)
            Fire();
    } catch (...) {
        LogCurrentError("TWMInActivateWindowMessageTrigger.AfterMessage");
    }
}

void TWMInActivateWindowMessageTrigger::Attach() {
    TMessageTrigger::Attach();
    try {
        if (IsTriggerValid())
            TActionsActivator::Fire();
    } catch (...) {
        LogCurrentError("TWMInActivateWindowMessageTrigger.Attach");
    }
}

bool TWMInActivateWindowMessageTrigger::IsTriggerValid() {
    try {
        return WindowHandle() != GetForegroundWindow();
    } catch (...) {
        LogCurrentError("TWMInActivateWindowMessageTrigger.IsTriggerValid");
        return false;
    }
}
