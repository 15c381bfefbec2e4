#include "EnabledItem.h"

#include "DetailPanels.h"
#include "Routines.h"

namespace {

constexpr int StateEnabled = 2;
constexpr int StateDisabled = 1;

} // namespace

void TEnabledItem::Init() {
    TBOM_UI_Object::Init();
    AddParam("enabled", Variant("yes"));
}

bool TEnabledItem::IsEnabled() {
    const auto enabled = ParamText("enabled");
    return !enabled || IsYes(*enabled);
}

void TEnabledItem::UpdateStateIndex() {
    StateIndex = IsEnabled() ? StateEnabled : StateDisabled;
}

void TEnabledItem::SetOwner(IBOMObjectOwner* owner) {
    UpdateStateIndex();
    TBOM_UI_Object::SetOwner(owner);
}

void TEnabledItem::ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                                    IBOMObject* sender) {
    if (path == "params/enabled")
        UpdateStateIndex();
    TBOM_UI_Object::ChangedFromChild(path, source, from, sender);
}

std::unique_ptr<IDetailPanel> TEnabledItem::CreateDetailPanel(const std::string& name, HWND parent) {
    std::string panelName;
    if (!GetNameValue(PanelMap, name, ';', panelName, '=') || panelName.empty())
        return nullptr;
    return ::CreateDetailPanel(panelName, parent);
}

void TEnabledItem::MouseDown(TUINode node, TMouseButton button, TShiftState shift, int x, int y) {
    TBOM_UI_Object::MouseDown(node, button, shift, x, y);
    if (node.Tree == nullptr || !node.Tree->IsOnStateIcon(x, y))
        return;
    if (ComPtr<IBOMParam> enabled = GetParam("enabled"))
        enabled->SetValue(Variant(enabled->GetValue().AsString() == "yes" ? "no" : "yes"));
}

std::optional<std::string> TEnabledItem::ParamText(const std::string& name) {
    ComPtr<IBOMParam> param = GetParam(name);
    if (!param)
        return std::nullopt;
    return param->GetValue().AsString();
}

std::string TEnabledItem::ParamTextOr(const std::string& name, const std::string& fallback) {
    return ParamText(name).value_or(fallback);
}
