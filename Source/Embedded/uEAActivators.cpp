#include "uEAActivators.h"

#include "Declarations.h"
#include "EARoutines.h"
#include "RuleTextNumbers.h"
#include "Routines.h"

#include <utility>

namespace {

TNameCounter triggerNames;

} // namespace

void TActionActivator::SetParam(const std::string& name, const std::string& value) {
    TAbstractParamsItem::SetParam(name, value);
    if (name == "ACTIONNAME")
        ActionName = value;
    else if (name == "ACTIONKIND")
        ActionKind = AsciiUpper(value) == "CONCRETE" ? TActionKind::Concrete : TActionKind::Next;
    else if (name == "OPERATIONNAME")
        OperationName = value;
}

void TActionActivator::SetTrigger(IOwner* owner) {
    Trigger = Supports<IActionActivatorOwner>(owner);
}

ComPtr<IWindowAction> TActionActivator::FindAction() {
    if (!Trigger)
        return nullptr;
    const ComPtr<IWindowHandler> handler = Trigger->GetWindowHandler();
    const ComPtr<IActions> actions = handler ? handler->Actions() : nullptr;
    return actions ? actions->Get(ActionName) : nullptr;
}

void TActionActivator::Link() {
    if (const ComPtr<IWindowAction> action = FindAction())
        if (const ComPtr<IPublisher> publisher = action->GetPublisher())
            publisher->Subscribe(this);
}

void TActionActivator::Unlink() {
    if (const ComPtr<IWindowAction> action = FindAction())
        if (const ComPtr<IPublisher> publisher = action->GetPublisher())
            publisher->Unsubscribe(this);
}

void TActionActivator::Fire() {
    const ComPtr<IWindowAction> action = FindAction();
    if (!action)
        return;
    if (ActionKind == TActionKind::Concrete)
        action->Execute(OperationName);
    else
        action->ExecuteNext();
}

void TActionsActivator::Init() {
    TAbstractParamsItem::Init();
    Name = triggerNames.Next("ActionsActivator");
    Agents = NewObject<TActionActivators>();
}

void TActionsActivator::SetParam(const std::string& name, const std::string& value) {
    TAbstractParamsItem::SetParam(name, value);
    if (name == "AGENT" && Agents)
        if (const ComPtr<IActionActivator> agent =
                TakeItem<IActionActivator>(CreateItemByKey(value, AgentClassKey)))
            Agents->Add(agent.Get());
}

template <class F> void TActionsActivator::ForEachAgent(const char* where, F&& f) {
    if (!Agents)
        return;
    // The agents are independent of each other: one that fails keeps none of the others from
    // their turn.
    for (int i = 0; i < Agents->Count(); ++i)
        if (const ComPtr<IActionActivator> agent = Agents->Get(i))
            Guarded(where, [&] { f(agent); });
}

template <class F> void TActionsActivator::ForEachAgentSlave(const char* where, F&& f) {
    ForEachAgent(where, [&](const ComPtr<IActionActivator>& agent) {
        if (const ComPtr<ISlave> slave = Supports<ISlave>(agent))
            f(slave.Get());
    });
}

void TActionsActivator::Fire() {
    ForEachAgent("TActionsActivator.Fire", [](const ComPtr<IActionActivator>& agent) { agent->Fire(); });
}

void TActionsActivator::SetExtender(IOwner* owner) {
    Extender = Supports<IActionsActivatorOwner>(owner);
    IOwner* self = static_cast<IActionActivatorOwner*>(this);
    ForEachAgentSlave("TActionsActivator.SetExtender", [self](ISlave* slave) { slave->SetOwner(self); });
}

void TActionsActivator::ReleaseOwner() {
    // Let go of the extender also when a failure passes: it holds this trigger in turn.
    const ComPtr<IActionsActivatorOwner> extender = std::move(Extender);
    ForEachAgentSlave("TActionsActivator.ReleaseOwner", [](ISlave* slave) { slave->ReleaseOwner(); });
}

void TActionsActivator::Link() {
    ForEachAgentSlave("TActionsActivator.Link", [](ISlave* slave) { slave->Link(); });
}

void TActionsActivator::Unlink() {
    ForEachAgentSlave("TActionsActivator.Unlink", [](ISlave* slave) { slave->Unlink(); });
}

ComPtr<IWindowHandler> TActionsActivator::GetWindowHandler() {
    return Extender ? Extender->GetWindowHandler() : nullptr;
}

HWND TActionsActivator::WindowHandle() {
    const ComPtr<IWindowHandler> handler = GetWindowHandler();
    return handler ? handler->Handle() : nullptr;
}

void TActionsActivator::Attach() {
    if (const ComPtr<IWindowHandler> handler = GetWindowHandler())
        handler->AddMessageHandler(this);
    ForEachAgent("TActionsActivator.Attach", [](const ComPtr<IActionActivator>& agent) { agent->Attach(); });
}

void TActionsActivator::Detach() {
    ForEachAgent("TActionsActivator.Detach", [](const ComPtr<IActionActivator>& agent) { agent->Detach(); });
    if (const ComPtr<IWindowHandler> handler = GetWindowHandler())
        handler->RemoveMessageHandler(this);
}

void TMessageTrigger::Init() {
    TActionsActivator::Init();
    AgentClassKey = "MESSAGEAGENT";
}

TMessageTrigger::~TMessageTrigger() = default;

void TMessageTrigger::SetParam(const std::string& name, const std::string& value) {
    TActionsActivator::SetParam(name, value);
    if (name == "LAG_ENABLED")
        LagEnabled = IsYes(value);
    else if (name == "LAG_INTERVAL")
        LagInterval = TextToInt(value).value_or(0);
}

void TMessageTrigger::Fire() {
    only_.reset();
    FireAfterLag();
}

void TMessageTrigger::FireOnly(std::vector<ComPtr<IActionActivator>> agents) {
    only_ = std::move(agents);
    FireAfterLag();
}

void TMessageTrigger::FireAfterLag() {
    if (LagEnabled && LagInterval != 0)
        PrepareLagTimer();
    else
        FireNow();
}

void TMessageTrigger::FireNow() {
    if (!only_) {
        TActionsActivator::Fire();
        return;
    }
    const std::vector<ComPtr<IActionActivator>> agents = std::move(*only_);
    only_.reset();
    for (const ComPtr<IActionActivator>& agent : agents)
        Guarded("TActionsActivator.Fire", [&] { agent->Fire(); });
}

void TMessageTrigger::PrepareLagTimer() {
    if (!LagTimer) {
        LagTimer = std::make_unique<TTimer>();
        LagTimer->SetOnTimer([this](TTimer&) { LagTimerNotify(); });
    }
    LagTimer->SetEnabled(false);
    LagTimer->SetInterval(LagInterval);
    LagTimer->SetEnabled(true);
}

void TMessageTrigger::LagTimerNotify() {
    // The agents' actions may let go of this trigger while they run.
    const ComPtr<IUnknown> self(static_cast<ISlave*>(this));
    if (LagTimer)
        LagTimer->SetEnabled(false);
    if (IsTriggerValid())
        FireNow();
    only_.reset();
}

void TWMCreateMessageTrigger::AfterMessage(TMessage& message, bool) {
    if (message.Msg == WM_CREATE || message.Msg == ExtenderAttachedMessage)
        Fire();
}

void TWindowStateTrigger::Attach() {
    TMessageTrigger::Attach();
    operationsAtAttach_.clear();
    ForEachAgent("TWindowStateTrigger.Attach", [this](const ComPtr<IActionActivator>& agent) {
        const std::string name = agent->GetActionName();
        operationsAtAttach_.emplace(name, OperationInForce(name));
    });
}

bool TWindowStateTrigger::UnchangedSince(const TOperationsInForce& atAttach,
                                         const ComPtr<IActionActivator>& agent) {
    const std::string name = agent->GetActionName();
    const auto found = atAttach.find(name);
    return found != atAttach.end() && found->second == OperationInForce(name);
}

std::string TWindowStateTrigger::OperationInForce(const std::string& actionName) {
    const ComPtr<IWindowHandler> handler = GetWindowHandler();
    const ComPtr<IActions> actions = handler ? handler->Actions() : nullptr;
    const ComPtr<IWindowAction> action = actions ? actions->Get(actionName) : nullptr;
    const ComPtr<IOperation> operation = action ? action->GetCurrentOperation() : nullptr;
    return operation ? operation->GetName() : std::string();
}

void TWMActivateWindowMessageTrigger::AfterMessage(TMessage& message, bool) {
    if (message.Msg == WM_ACTIVATE && (message.WParam == WA_ACTIVE || message.WParam == WA_CLICKACTIVE))
        Fire();
    else if (message.Msg == ExtenderAttachedMessage)
        ApplyActiveState();
}

void TWMActivateWindowMessageTrigger::ApplyActiveState() {
    const TOperationsInForce atAttach = TakeOperationsAtAttach();
    if (atAttach.empty() || !IsTriggerValid())
        return;
    std::vector<ComPtr<IActionActivator>> agents;
    ForEachAgent("TWMActivateWindowMessageTrigger.ApplyActiveState",
                 [&](const ComPtr<IActionActivator>& agent) {
                     if (agent->GetActionKind() == TActionKind::Concrete || !UnchangedSince(atAttach, agent))
                         agents.push_back(agent);
                 });
    if (!agents.empty())
        FireOnly(std::move(agents));
}

bool TWMActivateWindowMessageTrigger::IsTriggerValid() {
    return WindowHandle() == GetForegroundWindow();
}

void TWMInActivateWindowMessageTrigger::AfterMessage(TMessage& message, bool) {
    if (message.Msg == WM_ACTIVATE && message.WParam == WA_INACTIVE)
        Fire();
    else if (message.Msg == ExtenderAttachedMessage)
        ApplyInactiveState();
}

void TWMInActivateWindowMessageTrigger::ApplyInactiveState() {
    const TOperationsInForce atAttach = TakeOperationsAtAttach();
    if (!IsTriggerValid())
        return;
    ForEachAgent("TWMInActivateWindowMessageTrigger.ApplyInactiveState",
                 [&](const ComPtr<IActionActivator>& agent) {
                     if (UnchangedSince(atAttach, agent))
                         agent->Fire();
                 });
}

bool TWMInActivateWindowMessageTrigger::IsTriggerValid() {
    return WindowHandle() != GetForegroundWindow();
}
