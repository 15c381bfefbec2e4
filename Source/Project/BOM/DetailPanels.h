#pragma once

#include "BOMInterfaces.h"
#include "Frame.h"
#include "KLVCollection.h"
#include "Variants.h"

#include <memory>
#include <string>

// A frame that shows and edits one object of the model.
class TAbstractDetailPanel : public TFrame {
public:
    TAbstractDetailPanel();
    ~TAbstractDetailPanel() override;

    ComPtr<IBOMObject> Obj;
    std::string Title;

    virtual void Localize();
    virtual void SetObject(IBOMObject* obj);
    virtual void ClearObject();
    virtual void Notify(int code, int param1, int param2);
    // Fills the controls from the object (DoUpdateControls). What the controls report while
    // they are filled is not an edit: RenameObject and SetParamValue ignore it.
    void UpdateControls();
    virtual std::string GetTitle();
    // Writes into the object what the user typed into the panel's focused control and has not
    // confirmed yet; the main window runs it before every command and when it closes.
    virtual void StoreFocusedControl();
    // Whether the focused control shows a value that StoreFocusedControl would write: an edit
    // the user has made, so that Save is offered while the box is still being typed in.
    virtual bool FocusedControlChanged();

    // A name that no path can reach raises EBOMNameError after the controls show the old name.
    void RenameObject(const std::string& newName);
    void SetParamValue(const std::string& name, const Variant& value);

    // True while the controls are being filled: their change notifications are not edits.
    bool IsUpdatingControls() const noexcept { return updating_ > 0; }

protected:
    // What UpdateControls does; subclasses fill their controls here.
    virtual void DoUpdateControls();

private:
    int updating_ = 0;
};

// A panel class that can be created by reference.
struct TDetailPanelClass {
    std::unique_ptr<TAbstractDetailPanel> (*Create)();
};

template <class T> const TDetailPanelClass* DetailPanelClassOf() {
    static const TDetailPanelClass cls{
        []() -> std::unique_ptr<TAbstractDetailPanel> { return std::make_unique<T>(); }};
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
    void Add(TAbstractDetailPanel* panel, const std::string& name);
    TAbstractDetailPanel* Get(const Variant& key) const;
};

// The one registry of the process; null before the modules start and after they end.
TAbstractDetailPanelClasses* DetailPanelClasses() noexcept;

void RegisterDetailPanelClass(const TDetailPanelClass* panelClass, const std::string& name);
const TDetailPanelClass* FindDetailPanelClass(const Variant& key);
// A new panel of the class registered under name, or null; the caller owns it.
std::unique_ptr<TAbstractDetailPanel> CreateDetailPanel(const std::string& name);
