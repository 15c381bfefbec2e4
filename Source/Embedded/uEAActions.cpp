#include "uEAActions.h"

#include "EARoutines.h"
#include "RegistryKey.h"

namespace {

constexpr char RulesKey[] = "SOFTWARE\\Quenda Tools\\Glazlo\\WindowRules\\";

} // namespace

void TAction::Init() {
    TAbstractParamsItem::Init();
    SaveCurrentOperation = false;
    Publisher = NewObject<TPublisher>();
    Operations = NewObject<TOperations>();
    CreateOperations();
}

void TAction::SetParam(const std::string& name, const std::string& value) {
    TAbstractParamsItem::SetParam(name, value);
    if (name == "SAVECURRENTOPERATION")
        SaveCurrentOperation = IsYes(value);
}

void TAction::AddOperation(const std::string& name, const std::string& caption, const std::string& image,
                           const std::string& downImage, bool isDefault) {
    const std::string params = "\\NAME=" + name + "\\CAPTION=" + caption + "\\HINT=" + caption +
                               "\\IMAGE=" + image + "\\DOWNIMAGE=" + downImage + "\\IMAGE_SMALL=" + image +
                               "_SMALL" + "\\DOWNIMAGE_SMALL=" + downImage + "_SMALL" +
                               "\\DEFAULT=" + (isDefault ? "yes" : "no") + "\\DIRECTCALL=yes";
    if (const ComPtr<IOperation> operation = TakeItem<IOperation>(CreateItemByKey(params, "OPERATION")))
        Operations->Add(operation.Get());
}

void TAction::SetCurrentOperation(const std::string& name) {
    CurrentOperation.Reset();
    NextOperation.Reset();
    const int i = Operations ? Operations->IndexOf(name) : -1;
    if (i == -1)
        return;
    CurrentOperation = Operations->Get(i);
    NextOperation = Operations->Get(i + 1 == Operations->Count() ? 0 : i + 1);
}

bool TAction::DoOperation(const std::string&) {
    return true;
}

void TAction::SetExtender(IOwner* owner) {
    Extender = Supports<IActionOwner>(owner);
    if (Publisher)
        Publisher->SetOwner(static_cast<IPublisherOwner*>(this));
}

void TAction::ReleaseObservers() {
    // Let go of the extender also when a failure passes: it holds this action in turn.
    const ComPtr<IActionOwner> extender = std::move(Extender);
    if (Publisher)
        Publisher->ReleaseOwner();
}

ComPtr<IWindowHandler> TAction::WindowHandler() {
    return Extender ? Extender->GetWindowHandler() : nullptr;
}

HWND TAction::WindowHandle() {
    const ComPtr<IWindowHandler> handler = WindowHandler();
    return handler ? handler->Handle() : nullptr;
}

std::string TAction::NextOperationName() {
    return NextOperation ? NextOperation->GetName() : std::string();
}

bool TAction::Execute(const std::string& name) {
    if (!HoverOperation.empty()) {
        SetCurrentOperation(name);
        return true;
    }
    const bool done = DoOperation(name);
    if (done) {
        SetCurrentOperation(name);
        if (Publisher)
            Publisher->NotifyAll();
    }
    return done;
}

bool TAction::ExecuteNext() {
    if (!NextOperation)
        return true;
    return Execute(NextOperation->GetName());
}

bool TAction::ApplyHoverEffect(const std::string& name) {
    HoverOperation.clear();
    const bool done = DoOperation(name);
    if (done)
        HoverOperation = name;
    return done;
}

bool TAction::RemoveHoverEffect() {
    HoverOperation.clear();
    return CurrentOperation ? DoOperation(CurrentOperation->GetName()) : false;
}

std::string TAction::RegistryKey() {
    const ComPtr<IWindowHandler> handler = WindowHandler();
    return handler ? RulesKey + handler->RuleName() : std::string();
}

std::string TAction::ValueName() const {
    return Name + "_CurrentOperation";
}

void TAction::SaveToRegistry() {
    const std::string key = RegistryKey();
    if (key.empty() || !CurrentOperation)
        return;
    if (const TRegistryKey reg = TRegistryKey::Create(HKEY_CURRENT_USER, key, KEY_WRITE))
        reg.WriteString(ValueName(), CurrentOperation->GetName());
}

std::string TAction::ReadFromRegistry() {
    const std::string key = RegistryKey();
    if (key.empty())
        return {};
    return TRegistryKey::Open(HKEY_CURRENT_USER, key).ReadString(ValueName(), std::string());
}

// The saved state is a convenience: failing to restore or to save it must not keep an action
// from the rest of its attach or detach.
void TAction::Attach() {
    if (SaveCurrentOperation)
        Guarded("TAction.ReadCurrentOperationFromRegistry", [this] {
            const std::string saved = ReadFromRegistry();
            if (!saved.empty())
                Execute(saved);
        });
}

void TAction::Detach() {
    if (SaveCurrentOperation)
        Guarded("TAction.SaveCurrentOperationToRegistry", [this] { SaveToRegistry(); });
}

void TMessageHandlerAction::Attach() {
    TAction::Attach();
    if (const ComPtr<IWindowHandler> handler = WindowHandler())
        handler->AddMessageHandler(this);
}

void TMessageHandlerAction::Detach() {
    TAction::Detach();
    if (const ComPtr<IWindowHandler> handler = WindowHandler())
        handler->RemoveMessageHandler(this);
}

void TStayOnTopAction::CreateOperations() {
    AddOperation("STAYONTOPON", "StayOnTop On", "STAYONTOPON", "STAYONTOPOFF", true);
    AddOperation("STAYONTOPOFF", "StayOnTop Off", "STAYONTOPOFF", "STAYONTOPON", false);
    SetCurrentOperation("STAYONTOPOFF");
}

namespace {

bool IsTopmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Without SWP_NOACTIVATE a switch on deactivation would pull the focus straight back.
bool PlaceInBand(HWND window, HWND after) {
    return SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != 0;
}

} // namespace

bool TStayOnTopAction::DoOperation(const std::string& name) {
    const HWND window = WindowHandle();
    if (name == "STAYONTOPON") {
        const bool wasTopmost = IsTopmost(window);
        if (!PlaceInBand(window, HWND_TOPMOST))
            return false;
        addedTopmost_ = addedTopmost_ || !wasTopmost;
        return true;
    }
    if (name == "STAYONTOPOFF") {
        // Only what we added goes: a window that keeps itself on top stays there.
        if (!addedTopmost_)
            return true;
        if (!PlaceInBand(window, HWND_NOTOPMOST))
            return false;
        addedTopmost_ = false;
        return true;
    }
    return false;
}

void TStayOnTopAction::TakeAwayTopmost() {
    const HWND window = WindowHandle();
    if (addedTopmost_ && IsWindow(window) && IsTopmost(window))
        PlaceInBand(window, HWND_NOTOPMOST);
    addedTopmost_ = false;
}

void TStayOnTopAction::Detach() {
    // The state in force is saved first; taking our part away is no choice of the user's.
    TMessageHandlerAction::Detach();
    TakeAwayTopmost();
}

void TStayOnTopAction::AfterMessage(TMessage& message, bool) {
    if (message.Msg != WM_WINDOWPOSCHANGED || message.LParam == 0)
        return;
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
    if (pos->hwndInsertAfter == HWND_TOPMOST)
        SetCurrentOperation("STAYONTOPON");
    else if (pos->hwndInsertAfter == HWND_NOTOPMOST) {
        // Out of the band, whoever did it: nothing of ours is left to take away.
        addedTopmost_ = false;
        SetCurrentOperation("STAYONTOPOFF");
    } else
        return;
    if (Publisher)
        Publisher->NotifyAll();
}
