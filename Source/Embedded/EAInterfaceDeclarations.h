#pragma once

#include "GeneralInterfaces.h"

#include <windows.h>

#include <string>

// A window message as the window procedure received it, every field in full width.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

struct IWindowHandler;
struct IActions;

struct IWindowPartOwner : IOwner {
    virtual ComPtr<IWindowHandler> GetWindowHandler() = 0;
};
struct IWindowPart : IItem {
    virtual void Attach() = 0;
    virtual void Detach() = 0;
};
struct IMessageHandler : IUnknown {
    // True: handled, the window does not see the message.
    virtual bool BeforeMessage(TMessage& message) = 0;
    virtual void AfterMessage(TMessage& message, bool handled) = 0;
};
struct IWindowHandler : IUnknown {
    virtual HWND Handle() = 0;
    virtual void AddMessageHandler(IMessageHandler* handler) = 0;
    virtual void RemoveMessageHandler(IMessageHandler* handler) = 0;
    virtual ComPtr<IActions> Actions() = 0;
    virtual std::string Caption() = 0;
    virtual std::string RuleName() = 0;
};
struct IWindowExtenderOwner : IOwner {
    virtual void RemoveWindow(HWND window, ISlave* slave) = 0;
};
// The owners of an action, of a trigger and of an agent.
struct IActionOwner : IWindowPartOwner {};
struct IActionsActivatorOwner : IWindowPartOwner {};
struct IActionActivatorOwner : IWindowPartOwner {};

struct IOperation : IItem {
    virtual std::string GetCaption() = 0;
    virtual std::string GetHint() = 0;
    virtual HBITMAP GetImage() = 0;
    virtual HBITMAP GetDownImage() = 0;
    virtual HBITMAP GetImageSmall() = 0;
    virtual HBITMAP GetDownImageSmall() = 0;
    virtual bool GetDirectCall() = 0;
    virtual bool GetDefault() = 0;
};

struct IPublisher;
struct IObserver : IUnknown {
    virtual void Update(IPublisher* publisher) = 0;
    virtual bool PublisherDetached(IPublisher* publisher) = 0;
};
struct IPublisher : IUnknown {
    virtual ComPtr<IItem> GetOwner() = 0;
    virtual void Subscribe(IObserver* observer) = 0;
    virtual void Unsubscribe(IObserver* observer) = 0;
};
struct IPublisherOwner : IItem {
    virtual void RemoveSlave(ISlave* slave) = 0;
};

// Typed collections: Get by position (integer) or name (string), null when absent or of
// another kind; Add ignores null and a name already present.
#define EA_TYPED_COLLECTION(Name, Item)                                                                      \
    struct Name : ICollection {                                                                              \
        virtual ComPtr<Item> Get(const Variant& key) = 0;                                                    \
        virtual void Add(Item* item) = 0;                                                                    \
    };

EA_TYPED_COLLECTION(IOperations, IOperation)
EA_TYPED_COLLECTION(IObservers, IObserver)

struct IPublisherSlave : ISlave {
    virtual ComPtr<IObservers> GetObservers() = 0;
    virtual void NotifyAll() = 0;
};

struct IWindowAction : IWindowPart {
    virtual ComPtr<IOperations> GetOperations() = 0;
    virtual ComPtr<IOperation> GetNextOperation() = 0;
    virtual bool Execute(const std::string& name) = 0;
    virtual bool ExecuteNext() = 0;
    virtual ComPtr<IPublisher> GetPublisher() = 0;
    virtual ComPtr<IOperation> GetCurrentOperation() = 0;
    virtual bool ApplyHoverEffect(const std::string& name) = 0;
    virtual bool RemoveHoverEffect() = 0;
};
struct IActionsActivator : IWindowPart {};

enum class TActionKind { Next, Concrete };
struct IActionActivator : IWindowPart {
    virtual std::string GetActionName() = 0;
    virtual TActionKind GetActionKind() = 0;
    virtual std::string GetOperationName() = 0;
    virtual void Fire() = 0;
};
struct IMessageActionActivator : IActionActivator {};

EA_TYPED_COLLECTION(IActions, IWindowAction)
EA_TYPED_COLLECTION(IActionsActivators, IActionsActivator)
EA_TYPED_COLLECTION(IActionActivators, IActionActivator)

// clang-format off
__CRT_UUID_DECL(IWindowPartOwner, 0xD1FEA1C3, 0xCAEE, 0x4288, 0xA6, 0xC3, 0xB6, 0x6E, 0xB8, 0x64, 0xCA, 0xC6)
__CRT_UUID_DECL(IWindowPart, 0x3CC955CD, 0x8F32, 0x4507, 0xAC, 0x6F, 0x73, 0x03, 0x5A, 0x23, 0x79, 0x57)
__CRT_UUID_DECL(IWindowHandler, 0xEFDE4CFC, 0x4347, 0x4DAF, 0xA1, 0x2E, 0x8A, 0x86, 0xB0, 0xF3, 0x97, 0x7A)
__CRT_UUID_DECL(IMessageHandler, 0xF5C57385, 0xAB37, 0x49A0, 0xBA, 0x2F, 0xF0, 0x1F, 0xCB, 0x8A, 0x2E, 0xB8)
__CRT_UUID_DECL(IWindowExtenderOwner, 0x4F9A419D, 0xAA8A, 0x4871, 0xAE, 0x2E, 0xB4, 0x39, 0x7F, 0x86, 0x32, 0x76)
__CRT_UUID_DECL(IActionOwner, 0x5DA2924B, 0x6F7F, 0x471F, 0xA1, 0x8E, 0x95, 0x28, 0x09, 0xD2, 0x94, 0x4B)
__CRT_UUID_DECL(IActionsActivatorOwner, 0xB1734D33, 0x2874, 0x4BF9, 0xA9, 0x7A, 0x38, 0x49, 0x31, 0x77, 0x65, 0xED)
__CRT_UUID_DECL(IActionActivatorOwner, 0x31006CD3, 0x2024, 0x4C4A, 0xBB, 0x5D, 0x8D, 0x75, 0x64, 0xDA, 0x84, 0xB1)
__CRT_UUID_DECL(IOperations, 0xE132191E, 0x8F8C, 0x4621, 0xB1, 0x12, 0x3F, 0x1E, 0xAE, 0x86, 0x3A, 0x7E)
__CRT_UUID_DECL(IObservers, 0x7C333FCD, 0xB2C1, 0x4110, 0xB2, 0x09, 0x58, 0xE2, 0xDE, 0x9E, 0x4D, 0xFF)
__CRT_UUID_DECL(IActions, 0x0409B4CE, 0xB75F, 0x415B, 0x83, 0x26, 0x52, 0x14, 0x85, 0xA9, 0xC0, 0xEF)
__CRT_UUID_DECL(IActionsActivators, 0x3230DD5D, 0x1C00, 0x482A, 0xBF, 0xC1, 0x79, 0x7C, 0xA4, 0x2E, 0xA4, 0xDC)
__CRT_UUID_DECL(IActionActivators, 0x545F1F67, 0x4F46, 0x4741, 0x85, 0xB5, 0x85, 0x9C, 0xC8, 0x66, 0x9C, 0x85)
__CRT_UUID_DECL(IOperation, 0x8D3473DF, 0x24BC, 0x46D8, 0xBC, 0xE8, 0x4F, 0x0C, 0x51, 0x15, 0x58, 0x5C)
__CRT_UUID_DECL(IObserver, 0xEC645D72, 0x64A3, 0x448C, 0xB2, 0xBA, 0x0B, 0x31, 0x1F, 0xF5, 0xE8, 0xAA)
__CRT_UUID_DECL(IPublisher, 0x2C4BCDF0, 0xCDE3, 0x4C0B, 0xBA, 0x44, 0xEE, 0x99, 0x30, 0x1B, 0x84, 0x91)
__CRT_UUID_DECL(IPublisherOwner, 0xB7B67D15, 0xE47C, 0x4705, 0xBF, 0xF9, 0x2C, 0xF0, 0x61, 0x13, 0x5A, 0xAC)
__CRT_UUID_DECL(IPublisherSlave, 0xC3310EB2, 0xB4F1, 0x4839, 0xAB, 0xE5, 0x94, 0xA7, 0x74, 0xFC, 0x28, 0xCB)
__CRT_UUID_DECL(IWindowAction, 0x4D5CF8FE, 0x00D2, 0x4C74, 0x98, 0xD9, 0xB1, 0xA3, 0xA5, 0xF7, 0x75, 0x1F)
__CRT_UUID_DECL(IActionsActivator, 0xF80FD391, 0xEEE9, 0x41C5, 0xAE, 0x83, 0xA2, 0x70, 0xB8, 0xF6, 0x30, 0xD8)
__CRT_UUID_DECL(IActionActivator, 0x76A9DEB9, 0x6FAA, 0x408F, 0x92, 0x31, 0x70, 0x98, 0x0A, 0x13, 0xE1, 0x8D)
__CRT_UUID_DECL(IMessageActionActivator, 0xDE5FFAB7, 0x5865, 0x4BCC, 0x87, 0x43, 0xFD, 0xB6, 0x1C, 0x32, 0x4C, 0x65)
// clang-format on
