#include "TestExtender.h"

#include "Declarations.h"
#include "uEALoadClasses.h"

#include <map>

namespace {

std::map<HWND, TTestExtender*> attached;

} // namespace

void TTestExtender::Register() {
    LoadItemClasses();
    RegisterItemClass(ClassOf<TTestExtender>(), "WINDOWEXTENDER");
}

HWND TTestExtender::CreateTargetWindow() {
    static const bool registered = [] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = &TTestExtender::TargetProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "GlzTestTarget";
        return RegisterClassA(&cls) != 0;
    }();
    (void)registered;
    HWND window = CreateWindowExA(0, "GlzTestTarget", "Target", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

LRESULT CALLBACK TTestExtender::TargetProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    const auto found = attached.find(window);
    if (found == attached.end())
        return DefWindowProcA(window, msg, wParam, lParam);
    const ComPtr<TTestExtender> self(found->second);
    const std::vector<ComPtr<IMessageHandler>> handlers = self->handlers_;
    TMessage message{msg, wParam, lParam, 0};
    bool handled = false;
    for (const auto& handler : handlers)
        handled = handler->BeforeMessage(message) || handled;
    if (!handled)
        message.Result = DefWindowProcA(window, msg, wParam, lParam);
    for (const auto& handler : handlers)
        handler->AfterMessage(message, handled);
    return message.Result;
}

void TTestExtender::Init() {
    ActionList = NewObject<TActions>();
    TriggerList = NewObject<TActionsActivators>();
}

void TTestExtender::SetParam(const std::string& name, const std::string& value) {
    if (name == "WINDOWRULENAME")
        Rule = value;
    else if (name == "ACTION")
        ActionList->Add(CreateRulePart<IWindowAction>(value).Get());
    else if (name == "TRIGGER")
        TriggerList->Add(CreateRulePart<IActionsActivator>(value).Get());
}

template <class F> void TTestExtender::ForEachPart(F&& f) {
    for (int i = 0; i < ActionList->Count(); ++i)
        f(ComPtr<IUnknown>(ActionList->Get(i)), static_cast<IActionOwner*>(this));
    for (int i = 0; i < TriggerList->Count(); ++i)
        f(ComPtr<IUnknown>(TriggerList->Get(i)), static_cast<IActionsActivatorOwner*>(this));
}

void TTestExtender::SetOwner(IOwner*) {
    ForEachPart([](const ComPtr<IUnknown>& part, IOwner* self) { Supports<ISlave>(part)->SetOwner(self); });
}

void TTestExtender::ReleaseOwner() {
    Detach();
    ForEachPart([](const ComPtr<IUnknown>& part, IOwner*) { Supports<ISlave>(part)->ReleaseOwner(); });
}

void TTestExtender::Link() {
    ForEachPart([](const ComPtr<IUnknown>& part, IOwner*) { Supports<ISlave>(part)->Link(); });
}

void TTestExtender::Unlink() {
    ForEachPart([](const ComPtr<IUnknown>& part, IOwner*) { Supports<ISlave>(part)->Unlink(); });
}

void TTestExtender::RemoveMessageHandler(IMessageHandler* handler) {
    for (auto i = handlers_.size(); i-- > 0;)
        if (handlers_[i].Get() == handler) {
            handlers_.erase(handlers_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TTestExtender::Attach(HWND window) {
    window_ = window;
    attached[window] = this;
    ForEachPart([](const ComPtr<IUnknown>& part, IOwner*) { Supports<IWindowPart>(part)->Attach(); });
    SendMessageA(window, ExtenderAttachedMessage, 0, 0);
}

void TTestExtender::Detach() {
    if (window_ == nullptr)
        return;
    ForEachPart([](const ComPtr<IUnknown>& part, IOwner*) { Supports<IWindowPart>(part)->Detach(); });
    attached.erase(window_);
    window_ = nullptr;
}

ComPtr<TTestExtender> BuildExtender(const std::string& text) {
    const ComPtr<ISlave> slave = TakeItem<ISlave>(CreateItemByKey(text, "WINDOWEXTENDER"));
    return static_cast<TTestExtender*>(slave.Get());
}
