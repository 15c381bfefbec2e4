#pragma once

#include "BOMInterfaces.h"
#include "KLVCollection.h"
#include "Variants.h"

#include <memory>
#include <string>

// The Notify code, passed down a model tree and on to the open panels, that asks every receiver
// to translate its texts again. Other codes mean nothing to the framework.
inline constexpr int NotifyTranslateTexts = 1;

// A detail panel as a tree-bound object drives it. TAbstractDetailPanel, a frame of the form
// layer linked by the configuration program only, implements it.
class IDetailPanel {
public:
    virtual ~IDetailPanel() = default;
    // Sets the object the panel edits and translates the panel's texts.
    virtual void SetObject(IBOMObject* obj) = 0;
    // Fills the controls from the object.
    virtual void UpdateControls() = 0;
    // NotifyTranslateTexts: translate the texts again; other codes are ignored.
    virtual void Notify(int code, int param1, int param2) = 0;
};

// A panel class that can be created by reference. A panel is made hidden in the window given,
// where it stays; whoever shows it there shows it.
struct TDetailPanelClass {
    std::unique_ptr<IDetailPanel> (*Create)(HWND parent);
};

template <class T> const TDetailPanelClass* DetailPanelClassOf() {
    static const TDetailPanelClass cls{
        [](HWND parent) -> std::unique_ptr<IDetailPanel> { return std::make_unique<T>(parent); }};
    return &cls;
}

// Panel classes by name (letter case ignored); the first registration of a name wins.
class TAbstractDetailPanelClasses : public TAbstractPointerCollection {
public:
    void Add(const TDetailPanelClass* panelClass, const std::string& name);
    const TDetailPanelClass* Find(const Variant& key) const;
};

// The panels of one tree-bound object by name, in the order they were added. Owns nothing.
class TAbstractDetailPanels : public TAbstractPointerCollection {
public:
    void Add(IDetailPanel* panel, const std::string& name);
    IDetailPanel* Get(const Variant& key) const;
};

// The one registry of the process; null before the modules start and after they end.
TAbstractDetailPanelClasses* DetailPanelClasses() noexcept;

void RegisterDetailPanelClass(const TDetailPanelClass* panelClass, const std::string& name);
const TDetailPanelClass* FindDetailPanelClass(const Variant& key);
// A new panel of the class registered under name, made hidden in parent, or null; the caller
// owns it.
std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string& name, HWND parent);
