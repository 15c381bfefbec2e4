#pragma once

#include "uEAOperations.h"

// An action: a ring of named operations, the one in force, the one that comes next.
class TAction : public TAbstractParamsItem, public ISlave, public IPublisherOwner, public IWindowAction {
    EA_ITEM_INTERFACES(TAbstractParamsItem, IWindowAction, ISlave, IPublisherOwner, IOwner, IWindowPart)

public:
    // ISlave
    void SetOwner(IOwner* owner) override { SetExtender(owner); }
    void ReleaseOwner() override { ReleaseObservers(); }
    void Link() override {}
    void Unlink() override {}
    void SetName(const std::string& name) override { Name = name; }
    // IPublisherOwner
    void RemoveSlave(ISlave*) override {}
    // IWindowAction
    void Attach() override;
    void Detach() override;
    ComPtr<IOperations> GetOperations() override { return Operations; }
    ComPtr<IOperation> GetNextOperation() override { return NextOperation; }
    bool Execute(const std::string& name) override;
    bool ExecuteNext() override;
    ComPtr<IPublisher> GetPublisher() override { return Supports<IPublisher>(Publisher); }
    ComPtr<IOperation> GetCurrentOperation() override { return CurrentOperation; }
    bool ApplyHoverEffect(const std::string& name) override;
    bool RemoveHoverEffect() override;

    bool SaveCurrentOperation = false;

protected:
    void Init() override;
    void SetParam(const std::string& name, const std::string& value) override;
    virtual void CreateOperations() {}
    virtual void SetCurrentOperation(const std::string& name);
    virtual bool DoOperation(const std::string& name);
    virtual void SetExtender(IOwner* owner);
    virtual void ReleaseObservers();

    // Adds an operation built from its text under "OPERATION"; small images end in "_SMALL".
    void AddOperation(const std::string& name, const std::string& caption, const std::string& image,
                      const std::string& downImage, bool isDefault);
    // The attached window, or null.
    HWND WindowHandle();
    ComPtr<IWindowHandler> WindowHandler();
    std::string NextOperationName();

    ComPtr<IActionOwner> Extender;
    ComPtr<IPublisherSlave> Publisher;
    ComPtr<IOperation> NextOperation;
    ComPtr<IOperation> CurrentOperation;
    std::string HoverOperation;
    ComPtr<IOperations> Operations;

private:
    std::string RegistryKey();
    std::string ValueName() const;
    void SaveToRegistry();
    std::string ReadFromRegistry();
};

// An action that also sees the window's messages while attached.
class TMessageHandlerAction : public TAction, public IMessageHandler {
    EA_ITEM_INTERFACES(TAction, IWindowAction, IMessageHandler)

public:
    void Attach() override;
    void Detach() override;
    bool BeforeMessage(TMessage&) override { return false; }
    void AfterMessage(TMessage&, bool) override {}
};

// "STAYONTOPACTION": keeps the window in the topmost band or takes it out.
class TStayOnTopAction : public TMessageHandlerAction {
public:
    void AfterMessage(TMessage& message, bool handled) override;
    void Detach() override;
    // Takes the window out of the topmost band when this action put it there and it is still
    // there; a window that was topmost by its own doing stays so. Safe to call more than once.
    void TakeAwayTopmost();

protected:
    void CreateOperations() override;
    bool DoOperation(const std::string& name) override;

private:
    // The window is in the topmost band because this action put it there.
    bool addedTopmost_ = false;
};

using TActions = TTypedCollection<IActions, IWindowAction, false>;
