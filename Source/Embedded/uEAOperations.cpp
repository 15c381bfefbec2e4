#include "uEAOperations.h"

#include "EARoutines.h"

namespace {

UniqueBitmap LoadPicture(const std::string& name) {
    try {
        return UniqueBitmap(LoadBitmapA(ThisModule(), name.c_str()));
    } catch (...) {
        return UniqueBitmap();
    }
}

} // namespace

void TOperation::SetParam(const std::string& name, const std::string& value) {
    try {
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
    } catch (...) {
    }
}

TPublisher::TPublisher() {
    Name = "Publisher";
    try {
        Observers = NewObject<TObservers>();
    } catch (...) {
    }
}

ComPtr<IItem> TPublisher::GetOwner() {
    return Supports<IItem>(Owner);
}

void TPublisher::Subscribe(IObserver* observer) {
    try {
        if (Observers)
            Observers->Add(observer);
    } catch (...) {
    }
}

void TPublisher::Unsubscribe(IObserver* observer) {
    try {
        if (!Observers || observer == nullptr)
            return;
        for (int i = 0; i < Observers->Count(); ++i)
            if (Observers->Get(i).Get() == observer) {
                Observers->Delete(i);
                return;
            }
    } catch (...) {
    }
}

void TPublisher::SetOwner(IOwner* owner) {
    try {
        Owner = Supports<IPublisherOwner>(owner);
    } catch (...) {
    }
}

void TPublisher::NotifyAll() {
    try {
        if (!Observers)
            return;
        const int count = Observers->Count();
        for (int i = 0; i < count; ++i)
            if (ComPtr<IObserver> observer = Observers->Get(i))
                observer->Update(this);
    } catch (...) {
    }
}

void TPublisher::DetachAll() {
    try {
        if (Observers)
            for (int i = Observers->Count() - 1; i >= 0; --i) {
                const ComPtr<IObserver> observer = Observers->Get(i);
                Observers->Delete(i);
                if (observer)
                    observer->PublisherDetached(this);
            }
    } catch (...) {
    }
    Owner.Reset();
}
