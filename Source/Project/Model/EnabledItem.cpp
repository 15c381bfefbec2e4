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

std::optional<std::string> TEnabledItem::ParamText(const std::string& name) {
    ComPtr<IBOMParam> param = GetParam(name);
    if (!param)
        return std::nullopt;
    return param->GetValue().AsString();
}

std::string TEnabledItem::ParamTextOr(const std::string& name, const std::string& fallback) {
    return ParamText(name).value_or(fallback);
}

void TEnabledItem::UpdateStateIndex() {
    StateIndex = IsEnabled() ? StateEnabled : StateDisabled;
}

void TEnabledItem::SetOwner(IBOMObjectOwner* owner) {
    TBOM_UI_Object::SetOwner(owner);
    UpdateStateIndex();
}

void TEnabledItem::ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                                    IBOMObject* sender) {
    if (path == "params/enabled")
        UpdateStateIndex();
    TBOM_UI_Object::ChangedFromChild(path, source, from, sender);
}

TAbstractDetailPanel* TEnabledItem::CreateDetailPanel(const std::string& name) {
    TOneArrayOfString entries;
    SplitString(PanelMap, entries, ';');
    for (const std::string& entry : entries) {
        const auto eq = entry.find('=');
        const std::string entryName = entry.substr(0, eq);
        if (AsciiUpper(entryName) != AsciiUpper(name))
            continue;
        const std::string panel = eq == std::string::npos ? std::string() : entry.substr(eq + 1);
        return panel.empty() ? nullptr : ::CreateDetailPanel(panel);
    }
    return nullptr;
}

void TEnabledItem::MouseDown(TTreeNode node, TMouseButton button, TShiftState shift, int x, int y) {
    TBOM_UI_Object::MouseDown(node, button, shift, x, y);
    if (!node || node.TreeView() == nullptr || !node.TreeView()->IsOnStateIcon(x, y))
        return;
    if (ComPtr<IBOMParam> enabled = GetParam("enabled"))
        enabled->SetValue(Variant(IsYes(enabled->GetValue().AsString()) ? "no" : "yes"));
}
