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

void TAbstractDetailPanelClasses::Add(const TDetailPanelClass* panelClass, const std::string& name) {
    if (panelClass != nullptr)
        Items.Add(const_cast<TDetailPanelClass*>(panelClass), false, name);
}

const TDetailPanelClass* TAbstractDetailPanelClasses::Find(const Variant& key) const {
    return static_cast<const TDetailPanelClass*>(Items.Get(key));
}

void TAbstractDetailPanels::Add(IDetailPanel* panel, const std::string& name) {
    if (panel != nullptr)
        Items.Add(panel, false, name);
}

IDetailPanel* TAbstractDetailPanels::Get(const Variant& key) const {
    return static_cast<IDetailPanel*>(Items.Get(key));
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

std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string& name, HWND parent) {
    const TDetailPanelClass* panelClass = FindDetailPanelClass(name);
    return panelClass != nullptr ? panelClass->Create(parent) : nullptr;
}
