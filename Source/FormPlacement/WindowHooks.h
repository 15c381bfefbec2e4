#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

class TRxWindowHook;
class TControlHook;

// One message as the hooks see it; a hook may change the result.
struct TWindowMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

using THookMessageEvent = std::function<void(TRxWindowHook* sender, TWindowMessage& message, bool& handled)>;

// A windowed control as the hooks watch it. Hooks that watch it hear when it goes.
class THookTarget {
public:
    THookTarget() = default;
    THookTarget(const THookTarget&) = delete;
    THookTarget& operator=(const THookTarget&) = delete;
    virtual ~THookTarget();

    // The control's window, made when it has none; null when it cannot have one.
    virtual HWND HookWindow() = 0;
    // The control itself is going (its window's destruction is no recreation).
    virtual bool HookTargetDestroying() const { return false; }

private:
    friend class TRxWindowHook;
    std::vector<TRxWindowHook*> watchers_;
};

// A window that somebody else made: it is never made again once destroyed.
class TWindowTarget : public THookTarget {
public:
    explicit TWindowTarget(HWND window) noexcept : window_(window) {}
    HWND HookWindow() override { return IsWindow(window_) ? window_ : nullptr; }

private:
    HWND window_;
};

// Sees every message of one control before and after the control's own procedure. Several
// hooks on one control share its control hook, which replaces the window's procedure once.
class TRxWindowHook {
public:
    TRxWindowHook() = default;
    TRxWindowHook(const TRxWindowHook&) = delete;
    TRxWindowHook& operator=(const TRxWindowHook&) = delete;
    virtual ~TRxWindowHook();

    bool Active() const noexcept { return active_; }
    void SetActive(bool active);
    THookTarget* GetWinControl() const noexcept;
    void SetWinControl(THookTarget* control);

    void Engage();
    void Disengage();
    // Leaves the control hook (answered, or null when not attached); Active becomes no.
    TControlHook* ReleaseControlHook();

    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;

protected:
    virtual void FireAfterMessage(TWindowMessage& message, bool& handled);
    virtual void FireBeforeMessage(TWindowMessage& message, bool& handled);

private:
    friend class TControlHook;
    friend class THookTarget;
    void ControlRemoved(THookTarget* control) noexcept;
    void Watch(THookTarget* control);
    void Unwatch() noexcept;

    bool active_ = true;
    bool destroying_ = false;
    THookTarget* control_ = nullptr;
    TControlHook* controlHook_ = nullptr;
};

enum class THookOrder { Before, After };

// The replacement procedure of one control's window and the hooks attached to it.
class TControlHook {
public:
    TControlHook() = default;
    TControlHook(const TControlHook&) = delete;
    TControlHook& operator=(const TControlHook&) = delete;
    ~TControlHook();

    THookTarget* Control() const noexcept { return control_; }
    const std::vector<TRxWindowHook*>& Hooks() const noexcept { return hooks_; }
    bool Destroying() const noexcept { return destroying_; }
    // The procedure ours replaced, while ours is installed; null otherwise.
    WNDPROC OldProcedure() const noexcept;

    void Attach(TRxWindowHook* hook);
    void Detach(TRxWindowHook* hook);
    void BindControl(THookTarget* control);
    void Subclass();
    void Unsubclass();
    void Dispatch(THookOrder order, TWindowMessage& message, bool& handled);
    // Our procedure for the control's window.
    void WindowProcedure(TWindowMessage& message);

private:
    THookTarget* control_ = nullptr;
    HWND window_ = nullptr;
    std::vector<TRxWindowHook*> hooks_;
    bool destroying_ = false;
};

// Every control hook of the process, with a hidden window that re-subclasses a control whose
// window was made again and frees a control hook that was left without hooks, both later
// than the message that caused them.
class THookList {
public:
    static constexpr UINT HookRebindMessage = 0xB052;
    static constexpr UINT HookReleaseMessage = 0xB053;

    THookList();
    THookList(const THookList&) = delete;
    THookList& operator=(const THookList&) = delete;
    ~THookList();

    TControlHook* FindFor(THookTarget* control) const noexcept;
    TControlHook* ObtainFor(THookTarget* control);
    bool Contains(const TControlHook* hook) const noexcept;
    // The control is going: no control hook may reach it any more.
    void ForgetControl(const THookTarget* control) noexcept;
    void Remove(const TControlHook* hook) noexcept;
    int Count() const noexcept { return static_cast<int>(hooks_.size()); }
    HWND Handle() const noexcept { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    std::vector<std::unique_ptr<TControlHook>> hooks_;
    HWND window_ = nullptr;
};

// Made on first use; null before it and after FreeGlobalHookList.
THookList* GlobalHookList() noexcept;
THookList& ObtainGlobalHookList();
// Frees every control hook (program shutdown).
void FreeGlobalHookList() noexcept;
