#pragma once

// A small owner of rule items for tests: reads a rule text as the window extender does and
// delivers the real messages of a real test window to its message handlers.
#include "uEAActions.h"
#include "uEAActivators.h"

#include <vector>

class TTestExtender : public TAbstractParamsItem,
                      public ISlave,
                      public IActionOwner,
                      public IActionsActivatorOwner,
                      public IWindowHandler {
    EA_ITEM_INTERFACES(TAbstractParamsItem, ISlave, IActionOwner, IActionsActivatorOwner, IWindowHandler)

public:
    static void Register();
    // A visible top-level window whose procedure hands messages to the attached extender.
    static HWND CreateTargetWindow();

    ComPtr<IActions> ActionList;
    ComPtr<IActionsActivators> TriggerList;
    std::string Rule;

    // ISlave
    void SetOwner(IOwner* owner) override;
    void ReleaseOwner() override;
    void Link() override;
    void Unlink() override;
    void SetName(const std::string& name) override { Name = name; }
    // owners
    void RemoveSlave(ISlave*) override {}
    ComPtr<IWindowHandler> GetWindowHandler() override { return this; }
    // IWindowHandler
    HWND Handle() override { return window_; }
    void AddMessageHandler(IMessageHandler* handler) override { handlers_.emplace_back(handler); }
    void RemoveMessageHandler(IMessageHandler* handler) override;
    ComPtr<IActions> Actions() override { return ActionList; }
    std::string Caption() override { return {}; }
    std::string RuleName() override { return Rule; }

    void Attach(HWND window);
    void Detach();

protected:
    void Init() override;
    void SetParam(const std::string& name, const std::string& value) override;

private:
    static LRESULT CALLBACK TargetProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    template <class F> void ForEachPart(F&& f);

    HWND window_ = nullptr;
    std::vector<ComPtr<IMessageHandler>> handlers_;
};

// Builds an extender from a rule text, as the application object does.
ComPtr<TTestExtender> BuildExtender(const std::string& text);
