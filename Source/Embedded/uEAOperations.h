#pragma once

#include "Handles.h"
#include "uEAGeneralClasses.h"

// One named step of an action's ring, created from text under the key "OPERATION".
class TOperation : public TAbstractParamsItem, public IOperation {
    EA_ITEM_INTERFACES(TAbstractParamsItem, IOperation)

    std::string GetCaption() override { return Caption; }
    std::string GetHint() override { return Hint; }
    HBITMAP GetImage() override { return Image.Get(); }
    HBITMAP GetDownImage() override { return DownImage.Get(); }
    HBITMAP GetImageSmall() override { return ImageSmall.Get(); }
    HBITMAP GetDownImageSmall() override { return DownImageSmall.Get(); }
    bool GetDirectCall() override { return DirectCall; }
    bool GetDefault() override { return Default; }

    std::string Caption;
    std::string Hint;
    UniqueBitmap Image, DownImage, ImageSmall, DownImageSmall;
    bool DirectCall = false;
    bool Default = false;

protected:
    void SetParam(const std::string& name, const std::string& value) override;
};

using TOperations = TTypedCollection<IOperations, IOperation, false>;
using TObservers = TTypedCollection<IObservers, IObserver, true>;

// Tells the observers of an action whenever its current operation changes.
class TPublisher : public TAbstractItem, public IPublisher, public IPublisherSlave {
    EA_ITEM_INTERFACES(TAbstractItem, IPublisherSlave, IPublisher, ISlave)

public:
    TPublisher();

    ComPtr<IItem> GetOwner() override;
    void Subscribe(IObserver* observer) override;
    void Unsubscribe(IObserver* observer) override;

    void SetOwner(IOwner* owner) override;
    void ReleaseOwner() override { DetachAll(); }
    void Link() override {}
    void Unlink() override {}
    void SetName(const std::string& name) override { Name = name; }
    ComPtr<IObservers> GetObservers() override { return Observers; }
    void NotifyAll() override;
    void DetachAll();

private:
    ComPtr<IObservers> Observers;
    ComPtr<IPublisherOwner> Owner;
};
