#include "uEAOperations.h"

#include "EARoutines.h"

namespace {

UniqueBitmap LoadPicture(const std::string& name) {
    return UniqueBitmap(LoadBitmapA(ThisModule(), name.c_str()));
}

} // namespace

void TOperation::SetParam(const std::string& name, const std::string& value) {
    TAbstractParamsItem::SetParam(name, value);
    if (name == "CAPTION")
        Caption = value;
    else if (name == "HINT")
        Hint = value;
    else if (name == "DEFAULT")
        Default = IsYes(value);
    else if (name == "DIRECTCALL")
        DirectCall = IsYes(value);
    else if (name == "IMAGE")
        Image = LoadPicture(value);
    else if (name == "DOWNIMAGE")
        DownImage = LoadPicture(value);
    else if (name == "IMAGE_SMALL")
        ImageSmall = LoadPicture(value);
    else if (name == "DOWNIMAGE_SMALL")
        DownImageSmall = LoadPicture(value);
}

TPublisher::TPublisher() {
    Name = "Publisher";
    Observers = NewObject<TObservers>();
}

ComPtr<IItem> TPublisher::GetOwner() {
    return Supports<IItem>(Owner);
}

void TPublisher::Subscribe(IObserver* observer) {
    if (Observers)
        Observers->Add(observer);
}

void TPublisher::Unsubscribe(IObserver* observer) {
    if (!Observers || observer == nullptr)
        return;
    for (int i = 0; i < Observers->Count(); ++i)
        if (Observers->Get(i).Get() == observer) {
            Observers->Delete(i);
            return;
        }
}

void TPublisher::SetOwner(IOwner* owner) {
    Owner = Supports<IPublisherOwner>(owner);
}

void TPublisher::NotifyAll() {
    if (!Observers)
        return;
    const int count = Observers->Count();
    for (int i = 0; i < count; ++i)
        if (ComPtr<IObserver> observer = Observers->Get(i))
            observer->Update(this);
}

void TPublisher::DetachAll() {
    // The owner goes also when a failure passes: the action holds this publisher in turn.
    const ComPtr<IPublisherOwner> owner = std::move(Owner);
    if (Observers)
        for (int i = Observers->Count() - 1; i >= 0; --i) {
            const ComPtr<IObserver> observer = Observers->Get(i);
            Observers->Delete(i);
            if (observer)
                observer->PublisherDetached(this);
        }
}
