#include "uEAWindowExtender.h"

#include "AppSpecificConsts.h"
#include "Declarations.h"
#include "EARoutines.h"
#include "WinFuncs.h"
#include "uEAStartup.h"

#include <vector>

namespace {

TNameCounter extenderNumbers;

template <class I> std::vector<ComPtr<I>> Snapshot(IIndexedCollection* collection) {
    std::vector<ComPtr<I>> items;
    if (collection == nullptr)
        return items;
    for (int i = 0; i < collection->Count(); ++i)
        if (ComPtr<I> item = Supports<I>(collection->GetByIndex(i)))
            items.push_back(item);
    return items;
}

template <class C> ComPtr<IIndexedCollection> Indexed(const ComPtr<C>& collection) {
    return collection ? collection->AsIndexedCollection() : nullptr;
}

} // namespace

void TWindowExtender::Init() {
    TAbstractParamsItem::Init();
    Name = extenderNumbers.Next("WindowExtender");
    RuleNameText.clear();
    ActionList = NewObject<TTypedCollection<IActions, IWindowAction, false>>();
    Triggers = NewObject<TTypedCollection<IActionsActivators, IActionsActivator, false>>();
    MessageHandlers = NewObject<TMessageHandlers>();
}

void TWindowExtender::SetParam(const std::string& name, const std::string& value) {
    if (name == "WINDOWRULENAME")
        RuleNameText = value;
    else if (name == "ACTION") {
        if (ComPtr<IWindowAction> action = CreateRulePart<IWindowAction>(value))
            ActionList->Add(action.Get());
    } else if (name == "TRIGGER") {
        if (ComPtr<IActionsActivator> trigger = CreateRulePart<IActionsActivator>(value))
            Triggers->Add(trigger.Get());
    }
}

template <class I, class F> void TWindowExtender::ForEachPart(const char* where, F&& f) {
    // Each part gets its turn even when another one fails: what one of them did to the window is
    // undone whatever the others do.
    for (const ComPtr<I>& part : Snapshot<I>(Indexed(ActionList).Get()))
        Guarded(where, [&] { f(part.Get()); });
    for (const ComPtr<I>& part : Snapshot<I>(Indexed(Triggers).Get()))
        Guarded(where, [&] { f(part.Get()); });
}

void TWindowExtender::SetOwner(IOwner* owner) {
    Owner = Supports<IWindowExtenderOwner>(owner);
    IOwner* self = static_cast<IActionOwner*>(this);
    ForEachPart<ISlave>("TWindowExtender.SetOwner", [&](ISlave* part) { part->SetOwner(self); });
}

void TWindowExtender::ReleaseOwner() {
    Detach();
    ForEachPart<ISlave>("TWindowExtender.ReleaseOwner", [](ISlave* part) { part->ReleaseOwner(); });
    Owner = nullptr;
}

void TWindowExtender::Link() {
    ForEachPart<ISlave>("TWindowExtender.Link", [](ISlave* part) { part->Link(); });
}

void TWindowExtender::Unlink() {
    ForEachPart<ISlave>("TWindowExtender.Unlink", [](ISlave* part) { part->Unlink(); });
}

bool TWindowExtender::Attach(HWND window) {
    Window = window;
    // Parts first: their handlers are in place before the first subclassed message.
    ForEachPart<IWindowPart>("TWindowExtender.Attach", [](IWindowPart* part) { part->Attach(); });
    try {
        Hook = std::make_unique<TWHook>(window, [this](TMessage& message) { WndProc(message); });
    } catch (const EWindowHook&) {
        Detach();
        return false;
    }
    PinModule();
    SendMessageA(window, ExtenderAttachedMessage, 0, 0);
    return true;
}

void TWindowExtender::Detach() {
    ForEachPart<IWindowPart>("TWindowExtender.Detach", [](IWindowPart* part) { part->Detach(); });
    Hook.reset();
    Window = nullptr;
}

void TWindowExtender::AddMessageHandler(IMessageHandler* handler) {
    MessageHandlers->Add(handler);
}

void TWindowExtender::RemoveMessageHandler(IMessageHandler* handler) {
    ComPtr<IIndexedCollection> indexed = Indexed(MessageHandlers);
    for (int i = indexed->Count() - 1; i >= 0; --i)
        if (SameObject(indexed->GetByIndex(i).Get(), handler)) {
            MessageHandlers->Delete(Variant(i));
            return;
        }
}

std::string TWindowExtender::Caption() {
    return GetWindowCaption(Window);
}

void TWindowExtender::WndProc(TMessage& message) {
    // Our own work runs behind guards; the call of the window's previous procedure does not, so
    // that an exception of the host's own passes through to the host as if we were not here.
    const ComPtr<IWindowExtender> keep(this); // alive until this call returns
    if (message.Msg == DetachExtenderMessage) {
        Guarded("TWindowExtender.WndProc", [&] {
            if (ComPtr<IWindowExtenderOwner> owner = Owner)
                owner->RemoveSlave(AsSlave());
        });
        return;
    }
    // A snapshot: a handler may add or remove handlers while it runs.
    std::vector<ComPtr<IMessageHandler>> handlers;
    Guarded("TWindowExtender.WndProc",
            [&] { handlers = Snapshot<IMessageHandler>(Indexed(MessageHandlers).Get()); });
    bool handled = false;
    for (const auto& handler : handlers)
        Guarded("TWindowExtender.BeforeMessage",
                [&] { handled = handler->BeforeMessage(message) || handled; });
    if (!handled && Hook) {
        if (message.Msg == WM_DESTROY)
            Hook->Unhook();
        else if (message.Msg == WndProcChainMessage &&
                 message.WParam == reinterpret_cast<WPARAM>(Hook->OldProc()) &&
                 (InSendMessageEx(nullptr) & ISMEX_SEND) == 0)
            // Only the window's own thread may choose the procedure we call.
            Hook->SetOldProc(reinterpret_cast<WNDPROC>(message.LParam));
        Hook->CallOld(message);
    }
    for (const auto& handler : handlers)
        Guarded("TWindowExtender.AfterMessage", [&] { handler->AfterMessage(message, handled); });
    if (message.Msg == WM_DESTROY)
        Guarded("TWindowExtender.WndProc", [&] {
            if (ComPtr<IWindowExtenderOwner> owner = Owner)
                owner->RemoveSlave(AsSlave());
        });
}

void RegisterWindowExtender() {
    RegisterItemClass(ClassOf<TWindowExtender>(), "WINDOWEXTENDER");
}
