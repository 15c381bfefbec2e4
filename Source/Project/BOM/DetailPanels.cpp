#include "DetailPanels.h"

namespace {

// Lives from static initialisation to static finalisation of the program's modules.
struct TRegistryHolder {
    TAbstractDetailPanelClasses classes;
    bool alive = true;
    ~TRegistryHolder() { alive = false; }
};

TRegistryHolder& Holder() {
    static TRegistryHolder holder;
    return holder;
}

} // namespace

TAbstractDetailPanel::TAbstractDetailPanel() = default;

TAbstractDetailPanel::~TAbstractDetailPanel() = default;

void TAbstractDetailPanel::Localize() {}

void TAbstractDetailPanel::SetObject(IBOMObject* obj) {
    Obj = obj;
    Localize();
}

void TAbstractDetailPanel::ClearObject() {
    Obj.Reset();
}

void TAbstractDetailPanel::Notify(int code, int, int) {
    if (code == 1)
        Localize();
}

void TAbstractDetailPanel::UpdateControls() {
    ++updating_;
    try {
        DoUpdateControls();
    } catch (...) {
        --updating_;
        throw;
    }
    --updating_;
}

void TAbstractDetailPanel::DoUpdateControls() {}

std::string TAbstractDetailPanel::GetTitle() {
    return Title;
}

void TAbstractDetailPanel::StoreFocusedControl() {}

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

void TAbstractDetailPanelClasses::Add(const TDetailPanelClass* panelClass, const std::string& name) {
    if (panelClass != nullptr)
        Items.Add(const_cast<TDetailPanelClass*>(panelClass), false, name);
}

const TDetailPanelClass* TAbstractDetailPanelClasses::Find(const Variant& key) const {
    return static_cast<const TDetailPanelClass*>(Items.Get(key));
}

void TAbstractDetailPanels::Add(TAbstractDetailPanel* panel, const std::string& name) {
    if (panel != nullptr)
        Items.Add(panel, false, name);
}

TAbstractDetailPanel* TAbstractDetailPanels::Get(const Variant& key) const {
    return static_cast<TAbstractDetailPanel*>(Items.Get(key));
}

TAbstractDetailPanelClasses* DetailPanelClasses() noexcept {
    TRegistryHolder& holder = Holder();
    return holder.alive ? &holder.classes : nullptr;
}

void RegisterDetailPanelClass(const TDetailPanelClass* panelClass, const std::string& name) {
    if (TAbstractDetailPanelClasses* classes = DetailPanelClasses())
        classes->Add(panelClass, name);
}

const TDetailPanelClass* FindDetailPanelClass(const Variant& key) {
    TAbstractDetailPanelClasses* classes = DetailPanelClasses();
    return classes != nullptr ? classes->Find(key) : nullptr;
}

std::unique_ptr<TAbstractDetailPanel> CreateDetailPanel(const std::string& name) {
    const TDetailPanelClass* panelClass = FindDetailPanelClass(name);
    return panelClass != nullptr ? panelClass->Create() : nullptr;
}
