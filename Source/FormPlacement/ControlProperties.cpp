#include "ControlProperties.h"

namespace {

const std::vector<std::string> AlignNames{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
const std::vector<std::string> BooleanNames{"False", "True"};

template <class Get, class Set>
TPropInfo Ordinal(const char* name, TTypeKind kind, Get get, Set set,
                  const std::vector<std::string>& names = {}) {
    TPropInfo info(name, kind);
    info.Names = names;
    info.GetOrd = get;
    info.SetOrd = set;
    return info;
}

} // namespace

void DescribeControl(TWinControl* control, TPropList& list) {
    const auto integer = TTypeKind::tkInteger;
    list.push_back(Ordinal(
        "Left", integer, [control] { return control->Left(); },
        [control](long long v) { control->SetLeft(static_cast<int>(v)); }));
    list.push_back(Ordinal(
        "Top", integer, [control] { return control->Top(); },
        [control](long long v) { control->SetTop(static_cast<int>(v)); }));
    list.push_back(Ordinal(
        "Width", integer, [control] { return control->Width(); },
        [control](long long v) { control->SetWidth(static_cast<int>(v)); }));
    list.push_back(Ordinal(
        "Height", integer, [control] { return control->Height(); },
        [control](long long v) { control->SetHeight(static_cast<int>(v)); }));
    list.push_back(Ordinal(
        "Align", TTypeKind::tkEnumeration, [control] { return static_cast<long long>(control->Align()); },
        [control](long long v) { control->SetAlign(static_cast<TAlign>(v)); }, AlignNames));
    list.push_back(Ordinal(
        "Visible", TTypeKind::tkEnumeration, [control] { return control->Visible() ? 1 : 0; },
        [control](long long v) { control->SetVisible(v != 0); }, BooleanNames));
    list.push_back(Ordinal(
        "Enabled", TTypeKind::tkEnumeration, [control] { return control->Enabled() ? 1 : 0; },
        [control](long long v) { control->SetEnabled(v != 0); }, BooleanNames));
    TPropInfo hint("Hint", TTypeKind::tkLString);
    hint.GetText = [control] { return control->Hint(); };
    hint.SetText = [control](const std::string& text) { control->SetHint(text); };
    list.push_back(std::move(hint));
    list.push_back(Ordinal(
        "Tag", integer, [control] { return control->Tag; },
        [control](long long v) { control->Tag = static_cast<int>(v); }));
}
