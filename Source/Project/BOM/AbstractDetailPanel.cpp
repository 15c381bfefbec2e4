#include "AbstractDetailPanel.h"

#include "ScopedValue.h"

TAbstractDetailPanel::TAbstractDetailPanel(TParent parent) : TFrame(nullptr, parent) {}

TAbstractDetailPanel::~TAbstractDetailPanel() = default;

void TAbstractDetailPanel::Localize() {}

void TAbstractDetailPanel::SetObject(IBOMObject* obj) {
    Obj = obj;
    TakePlace();
    Localize();
}

void TAbstractDetailPanel::ClearObject() {
    Obj.Reset();
}

void TAbstractDetailPanel::Notify(int code, int, int) {
    if (code == NotifyTranslateTexts)
        Localize();
}

void TAbstractDetailPanel::UpdateControls() {
    const TScopedValue<int> updating(updating_, updating_ + 1);
    DoUpdateControls();
}

void TAbstractDetailPanel::DoUpdateControls() {}

std::string TAbstractDetailPanel::GetTitle() {
    return Title;
}

void TAbstractDetailPanel::StoreFocusedControl() {}

bool TAbstractDetailPanel::FocusedControlChanged() {
    return false;
}

void TAbstractDetailPanel::RenameObject(const std::string& newName) {
    if (!Obj || IsUpdatingControls())
        return;
    if (newName == Obj->GetName())
        return;
    try {
        if (ComPtr<IBOMObject> owner = Obj->ResolvePath(".."))
            MustCast<IBOMObjectOwner>(owner)->RenameChild(MustCast<IBOMObjectSlave>(Obj).Get(), newName);
    } catch (...) {
        // A refused name: the controls show the name in effect, the caller shows the error.
        UpdateControls();
        throw;
    }
    UpdateControls();
}

void TAbstractDetailPanel::SetParamValue(const std::string& name, const Variant& value) {
    // Without an object there is nothing to write; while the controls are filled, their
    // change notifications only echo the value the parameter holds.
    if (!Obj || IsUpdatingControls())
        return;
    ComPtr<IBOMObject> found = Obj->ResolvePath("params/" + name);
    if (!found)
        return;
    // Leaving a box or opening its list stores the text it shows: the same value again is no
    // change, and must not turn the configuration into a modified one.
    ComPtr<IBOMParam> param = MustCast<IBOMParam>(found);
    if (param->GetValue() == value)
        return;
    param->SetValue(value);
}
