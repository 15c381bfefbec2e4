#include "EnabledItem.h"

void TEnabledItem::Init() {
    TBOMObject::Init();
    AddParam("enabled", Variant("yes"));
}

bool TEnabledItem::IsEnabled() {
    const auto enabled = ParamText("enabled");
    return !enabled || IsYes(*enabled);
}

void TEnabledItem::Notify(int code, int param1, int param2) {
    TBOMObject::Notify(code, param1, param2);
    if (code == 1)
        Localize();
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
