#include "WindowHooks.h"

#include "Application.h"
#include "Errors.h"
#include "Forms.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

constexpr char HookListClassName[] = "GLZ_HookListWindow";

// Our procedure stands in a window's chain as long as it has a record here. A record without
// a control hook is a pass-through: we were detached while another subclasser stood above
// us, so we cannot leave the chain without cutting it, and stay until the window is gone.
struct TSubclassRecord {
    WNDPROC OldProcedure = nullptr;
    bool Unicode = false;
    TControlHook* Hook = nullptr;
};

std::map<HWND, TSubclassRecord>& Records() {
    static std::map<HWND, TSubclassRecord> records;
    return records;
}

TSubclassRecord* RecordOf(HWND window) {
    auto& records = Records();
    const auto found = records.find(window);
    return found == records.end() ? nullptr : &found->second;
}

LRESULT CallOld(const TSubclassRecord& record, HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (record.OldProcedure == nullptr)
        return record.Unicode ? DefWindowProcW(window, msg, wp, lp) : DefWindowProcA(window, msg, wp, lp);
    return record.Unicode ? CallWindowProcW(record.OldProcedure, window, msg, wp, lp)
                          : CallWindowProcA(record.OldProcedure, window, msg, wp, lp);
}

LRESULT Route(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        TSubclassRecord* record = RecordOf(window);
        if (record == nullptr)
            return IsWindowUnicode(window) ? DefWindowProcW(window, msg, wp, lp)
                                           : DefWindowProcA(window, msg, wp, lp);
        LRESULT result = 0;
        if (record->Hook != nullptr) {
            TWindowMessage message{msg, wp, lp, 0};
            record->Hook->WindowProcedure(message);
            result = message.Result;
        } else {
            result = CallOld(*record, window, msg, wp, lp);
        }
        if (msg == WM_NCDESTROY)
            Records().erase(window);
        return result;
    } catch (...) {
        Application().HandleException();
        return 0;
    }
}

LRESULT CALLBACK HookProcA(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return Route(window, msg, wp, lp);
}

LRESULT CALLBACK HookProcW(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return Route(window, msg, wp, lp);
}

WNDPROC CurrentProcedure(HWND window, bool unicode) {
    return reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC)
                                             : GetWindowLongPtrA(window, GWLP_WNDPROC));
}

void SetProcedure(HWND window, bool unicode, WNDPROC procedure) {
    if (unicode)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    else
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

WNDPROC OurProcedure(bool unicode) {
    return unicode ? HookProcW : HookProcA;
}

std::unique_ptr<THookList>& GlobalList() {
    // The records must outlive the list, whose end still unsubclasses: make them first.
    Records();
    static std::unique_ptr<THookList> list;
    return list;
}

// Frees a control hook left without hooks later, outside the message that may have left it.
void PostRelease(TControlHook* left) {
    if (left != nullptr && left->Hooks().empty() && GlobalHookList() != nullptr)
        PostMessageA(GlobalHookList()->Handle(), THookList::HookReleaseMessage, 0,
                     reinterpret_cast<LPARAM>(left));
}

} // namespace

THookTarget::~THookTarget() {
    // Each watcher leaves this list as it lets go of the control.
    while (!watchers_.empty())
        watchers_.back()->ControlRemoved(this);
    // A control hook left without hooks may still wait for its release message.
    if (THookList* list = GlobalHookList())
        list->ForgetControl(this);
}

TRxWindowHook::~TRxWindowHook() {
    destroying_ = true;
    try {
        SetActive(false);
        SetWinControl(nullptr);
    } catch (...) {
        TraceFailure("window hook");
    }
    Unwatch();
}

void TRxWindowHook::SetActive(bool active) {
    if (active == active_)
        return;
    if (active)
        Engage();
    else
        Disengage();
}

THookTarget* TRxWindowHook::GetWinControl() const noexcept {
    return controlHook_ != nullptr ? controlHook_->Control() : control_;
}

void TRxWindowHook::SetWinControl(THookTarget* control) {
    if (control == GetWinControl())
        return;
    const bool wasActive = active_;
    TControlHook* old = ReleaseControlHook();
    Unwatch();
    control_ = control;
    Watch(control);
    if (old != nullptr && old->Hooks().empty() && GlobalHookList() != nullptr)
        PostMessageA(GlobalHookList()->Handle(), THookList::HookReleaseMessage, 0,
                     reinterpret_cast<LPARAM>(old));
    if (wasActive)
        Engage();
}

void TRxWindowHook::Engage() {
    if (control_ != nullptr && !destroying_)
        ObtainGlobalHookList().ObtainFor(control_)->Attach(this);
    active_ = true;
}

void TRxWindowHook::Disengage() {
    // Without the release the control hook would stay in the list until the program ends.
    PostRelease(ReleaseControlHook());
    active_ = false;
}

TControlHook* TRxWindowHook::ReleaseControlHook() {
    TControlHook* left = controlHook_;
    if (left != nullptr)
        left->Detach(this);
    active_ = false;
    return left;
}

void TRxWindowHook::FireAfterMessage(TWindowMessage& message, bool& handled) {
    if (AfterMessage)
        AfterMessage(this, message, handled);
}

void TRxWindowHook::FireBeforeMessage(TWindowMessage& message, bool& handled) {
    if (BeforeMessage)
        BeforeMessage(this, message, handled);
}

void TRxWindowHook::ControlRemoved(THookTarget* control) noexcept {
    try {
        if (control == control_ || control == GetWinControl())
            SetWinControl(nullptr);
    } catch (...) {
        Application().HandleException();
    }
    auto& watchers = control->watchers_;
    watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
}

void TRxWindowHook::Watch(THookTarget* control) {
    if (control != nullptr)
        control->watchers_.push_back(this);
}

void TRxWindowHook::Unwatch() noexcept {
    if (control_ == nullptr)
        return;
    auto& watchers = control_->watchers_;
    watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
    control_ = nullptr;
}

TControlHook::~TControlHook() {
    destroying_ = true;
    if (THookList* list = GlobalHookList())
        list->Remove(this);
    while (!hooks_.empty())
        Detach(hooks_.back());
    Unsubclass();
    control_ = nullptr;
}

WNDPROC TControlHook::OldProcedure() const noexcept {
    const TSubclassRecord* record = window_ != nullptr ? RecordOf(window_) : nullptr;
    return record != nullptr && record->Hook == this ? record->OldProcedure : nullptr;
}

void TControlHook::Attach(TRxWindowHook* hook) {
    if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) {
        hooks_.push_back(hook);
        hook->controlHook_ = this;
        BindControl(hook->control_);
    }
    Subclass();
}

void TControlHook::Detach(TRxWindowHook* hook) {
    hook->controlHook_ = nullptr;
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
    if (hooks_.empty())
        Unsubclass();
}

void TControlHook::BindControl(THookTarget* control) {
    if (control == control_)
        return;
    Unsubclass();
    control_ = control;
    if (!hooks_.empty())
        Subclass();
}

void TControlHook::Subclass() {
    if (control_ == nullptr || control_->HookTargetDestroying() || destroying_)
        return;
    const HWND window = control_->HookWindow();
    if (window == nullptr)
        return;
    if (window_ != nullptr && window_ != window)
        Unsubclass();
    if (TSubclassRecord* record = RecordOf(window)) {
        // Still in the chain, as this hook or as a pass-through: take the place again.
        if (record->Hook != nullptr && record->Hook != this)
            return;
        record->Hook = this;
        window_ = window;
        return;
    }
    const bool unicode = IsWindowUnicode(window) != FALSE;
    const WNDPROC current = CurrentProcedure(window, unicode);
    if (current == OurProcedure(unicode))
        return;
    Records()[window] = TSubclassRecord{current, unicode, this};
    window_ = window;
    SetProcedure(window, unicode, OurProcedure(unicode));
}

void TControlHook::Unsubclass() {
    const HWND window = std::exchange(window_, nullptr);
    TSubclassRecord* record = window != nullptr ? RecordOf(window) : nullptr;
    if (record == nullptr || record->Hook != this)
        return;
    if (!IsWindow(window)) {
        Records().erase(window);
    } else if (CurrentProcedure(window, record->Unicode) == OurProcedure(record->Unicode)) {
        SetProcedure(window, record->Unicode, record->OldProcedure);
        Records().erase(window);
    } else {
        // Someone subclassed after us: putting our predecessor back would cut them out.
        record->Hook = nullptr;
    }
}

void TControlHook::Dispatch(THookOrder order, TWindowMessage& message, bool& handled) {
    if (hooks_.empty() || control_ == nullptr || destroying_ || control_->HookTargetDestroying())
        return;
    // A handler may detach hooks: walk a copy and skip those that left.
    const std::vector<TRxWindowHook*> hooks = hooks_;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        if (std::find(hooks_.begin(), hooks_.end(), *it) == hooks_.end())
            continue;
        try {
            if (order == THookOrder::Before)
                (*it)->FireBeforeMessage(message, handled);
            else
                (*it)->FireAfterMessage(message, handled);
        } catch (...) {
            Application().HandleException();
        }
        if (handled)
            break;
    }
}

void TControlHook::WindowProcedure(TWindowMessage& message) {
    const HWND window = window_;
    // A before-handler may unbind the last hook, which takes our record away: the message
    // still goes on to the procedure that stood below us when it arrived.
    const TSubclassRecord* record = RecordOf(window);
    const std::optional<TSubclassRecord> old =
        record != nullptr ? std::optional<TSubclassRecord>(*record) : std::nullopt;
    bool handled = false;
    if (control_ != nullptr && message.Msg != WM_QUIT)
        Dispatch(THookOrder::Before, message, handled);
    if (!handled || message.Msg == WM_DESTROY) {
        if (old) {
            try {
                message.Result = CallOld(*old, window, message.Msg, message.WParam, message.LParam);
            } catch (...) {
                Application().HandleException();
            }
        }
        Dispatch(THookOrder::After, message, handled);
    }
    if (message.Msg == WM_DESTROY) {
        Unsubclass();
        THookList* list = GlobalHookList();
        if (list != nullptr && !destroying_ && control_ != nullptr && !control_->HookTargetDestroying())
            PostMessageA(list->Handle(), THookList::HookRebindMessage, 0, reinterpret_cast<LPARAM>(this));
    }
}

THookList::THookList() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = HookListClassName;
    RegisterClassExA(&wc);
    window_ = CreateWindowExA(0, HookListClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr)
        throw std::runtime_error("The hook list window cannot be created");
}

THookList::~THookList() {
    while (!hooks_.empty()) {
        // The control hook's destructor would look for itself in this list: take it out first.
        std::unique_ptr<TControlHook> last = std::move(hooks_.back());
        hooks_.pop_back();
        last.reset();
    }
    DestroyWindow(window_);
}

TControlHook* THookList::FindFor(THookTarget* control) const noexcept {
    if (control == nullptr)
        return nullptr;
    for (const auto& hook : hooks_)
        if (hook->Control() == control)
            return hook.get();
    return nullptr;
}

TControlHook* THookList::ObtainFor(THookTarget* control) {
    if (TControlHook* found = FindFor(control))
        return found;
    auto hook = std::make_unique<TControlHook>();
    TControlHook* result = hook.get();
    hooks_.push_back(std::move(hook));
    result->BindControl(control);
    return result;
}

void THookList::ForgetControl(const THookTarget* control) noexcept {
    for (const auto& hook : hooks_)
        if (hook->Control() == control)
            hook->BindControl(nullptr);
}

bool THookList::Contains(const TControlHook* hook) const noexcept {
    return std::any_of(hooks_.begin(), hooks_.end(), [hook](const auto& item) { return item.get() == hook; });
}

void THookList::Remove(const TControlHook* hook) noexcept {
    const auto found =
        std::find_if(hooks_.begin(), hooks_.end(), [hook](const auto& item) { return item.get() == hook; });
    if (found != hooks_.end()) {
        // Called from the control hook's own destructor: let go without freeing it again.
        static_cast<void>(found->release());
        hooks_.erase(found);
    }
}

LRESULT CALLBACK THookList::WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        THookList* list = GlobalHookList();
        if (list != nullptr && list->window_ == window)
            return list->HandleMessage(msg, wp, lp);
    } catch (...) {
        Application().HandleException();
        return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

LRESULT THookList::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    auto* hook = reinterpret_cast<TControlHook*>(lp);
    if (msg == HookRebindMessage) {
        if (Contains(hook) && !hook->Hooks().empty())
            hook->Subclass();
        return 0;
    }
    if (msg == HookReleaseMessage) {
        if (Contains(hook) && hook->Hooks().empty()) {
            const auto found = std::find_if(hooks_.begin(), hooks_.end(),
                                            [hook](const auto& item) { return item.get() == hook; });
            std::unique_ptr<TControlHook> owned = std::move(*found);
            hooks_.erase(found);
            owned.reset();
        }
        return 0;
    }
    return DefWindowProcA(window_, msg, wp, lp);
}

THookList* GlobalHookList() noexcept {
    return GlobalList().get();
}

THookList& ObtainGlobalHookList() {
    auto& list = GlobalList();
    if (!list)
        list = std::make_unique<THookList>();
    return *list;
}

void FreeGlobalHookList() noexcept {
    try {
        GlobalList().reset();
    } catch (...) {
        TraceFailure("window hook list");
    }
}
