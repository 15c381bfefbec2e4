#include "DetailPanelRoutines.h"

#include "ExtCtrls.h"
#include "MultiLanguages.h"

ComPtr<IBOMParam> FindParam(IBOMObject* from, const std::string& path) {
    if (from == nullptr)
        return nullptr;
    return Supports<IBOMParam>(from->ResolvePath(path).Get());
}

std::optional<std::string> ParamText(IBOMObject* from, const std::string& path) {
    if (ComPtr<IBOMParam> param = FindParam(from, path))
        return param->GetValue().AsString();
    return std::nullopt;
}

bool ParamIsYes(IBOMObject* from, const std::string& path) {
    return ParamText(from, path) == "yes";
}

void SetParamFlag(IBOMObject* from, const std::string& path, bool on) {
    if (ComPtr<IBOMParam> param = FindParam(from, path))
        param->SetValue(Variant(on ? "yes" : "no"));
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Padded(const std::string& text) {
    return " " + text + " ";
}

void ShowAsTopRow(TWinControl* child) {
    // Aligned while it is hidden, so that the parent lays out once, when it is shown.
    child->SetAlign(TAlign::alTop);
    child->Show();
}

TGroupBox* CreateClientGroupBox(TWinControl* panel, const std::string& caption) {
    // Made at the place it fills, so that it is not moved there.
    auto* box =
        Create<TGroupBox>(panel, TParent(panel).At({0, 0, panel->ClientWidth(), panel->ClientHeight()}));
    box->SetAlign(TAlign::alClient);
    box->SetCaption(caption);
    return box;
}

std::string TranslatePadded(const std::string& key, const std::string& caption) {
    return Padded(Translate(key, Trim(caption)));
}
