#pragma once

#include "DetailPanels.h"
#include "Frame.h"
#include "Variants.h"

#include <string>

// A frame that shows and edits one object of the model.
class TAbstractDetailPanel : public TFrame, public IDetailPanel {
public:
    explicit TAbstractDetailPanel(TParent parent);
    ~TAbstractDetailPanel() override;

    ComPtr<IBOMObject> Obj;
    std::string Title;

    virtual void Localize();
    void SetObject(IBOMObject* obj) override;
    virtual void ClearObject();
    void Notify(int code, int param1, int param2) override;
    // Fills the controls from the object (DoUpdateControls). What the controls report while
    // they are filled is not an edit: RenameObject and SetParamValue ignore it.
    void UpdateControls() final;
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

// The panel behind a panel that a tree-bound object gives; null when it is none.
inline TAbstractDetailPanel* AsDetailPanel(IDetailPanel* panel) noexcept {
    return dynamic_cast<TAbstractDetailPanel*>(panel);
}
