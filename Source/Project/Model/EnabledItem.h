#pragma once

#include "BOM_UI.h"
#include "ModelInterfaces.h"

#include <optional>
#include <string>

// Base of every model item: a tree-bound object with the switch "enabled".
class TEnabledItem : public TBOM_UI_Object, public IEnabledItem {
    GLZ_INTERFACES(TBOM_UI_Object, IEnabledItem)

public:
    // "name=panel" entries separated by ";"; only "DefaultDetailPanel" is used.
    std::string PanelMap;

    bool IsEnabled() override;
    void SetOwner(IBOMObjectOwner* owner) override;
    std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string& name, HWND parent) override;
    // A click on the state icon switches "enabled".
    void MouseDown(TUINode node, TMouseButton button, TShiftState shift, int x, int y) override;

    // Readers of this model treat a missing parameter as its default.
    std::optional<std::string> ParamText(const std::string& name);
    std::string ParamTextOr(const std::string& name, const std::string& fallback);

protected:
    void Init() override;
    void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override;

private:
    void UpdateStateIndex();
};

// True when the text counts as switched on: exactly "yes".
inline bool IsYes(const std::string& text) noexcept {
    return text == "yes";
}
