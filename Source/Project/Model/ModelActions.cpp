#include "ModelActions.h"

#include "ModelKeys.h"
#include "MultiLanguages.h"
#include "RuleDescriptor.h"

namespace {
constexpr const char* KindAction = "Action";
}

void TAction::Init() {
    TEnabledItem::Init();
    ImageIndex = 6;
    elementName_ = "action";
    AddParam("caption", Variant(GetName()));
    AddParam("save_current_operation", Variant("no"));
}

void TAction::GetDescriptor(std::string& text) {
    std::string extra;
    GetDescriptorExtra(extra);
    text = KindKey;
    text += '{';
    text += DescriptorPiece("NAME", GetName());
    text += DescriptorPiece("SAVECURRENTOPERATION", ParamTextOr("save_current_operation", "no"));
    // The separator before the extra part stands even when the part is empty.
    text += '\\';
    text += extra;
    text += '}';
}

void TAction::GetDescriptorExtra(std::string& text) {
    text.clear();
}

ComPtr<IUnknown> TAction::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TEnabledItem::QueryKind(kind))
        return found;
    if (kind == KindAction)
        return ComPtr<IUnknown>(static_cast<IAction*>(this));
    return nullptr;
}

bool TAction::IsKindOf(const std::string& kind) {
    return TEnabledItem::IsKindOf(kind) || kind == KindAction;
}

void TAction::Load(IHierStorage* storage) {
    TEnabledItem::Load(storage);
    if (ComPtr<IBOMParam> caption = GetParam("caption"))
        caption->SetValue(Variant(GetName()));
}

void TAction::Localize() {
    TEnabledItem::Localize();
    // Silent: translating texts must never mark the configuration modified.
    if (ComPtr<IBOMParam> caption = GetParam("caption"))
        caption->SetValueSilent(
            Variant(Translate("Action_" + KindKey + "_Caption", caption->GetValue().AsString())));
}

void TTransparentWindowAction::Init() {
    TAction::Init();
    PanelMap = "DefaultDetailPanel=TransparentWindowActionDetailPanel_GLZ";
    classKey_ = KeyTransparentWindowAction;
    KindKey = classKey_;
    AddParam("transparency_level", Variant("100"));
}

void TTransparentWindowAction::GetDescriptorExtra(std::string& text) {
    text = DescriptorPiece("TRANSPARENTLEVEL", ParamTextOr("transparency_level", "100"));
}

void TStayOnTopAction::Init() {
    TAction::Init();
    PanelMap = "DefaultDetailPanel=";
    classKey_ = KeyStayOnTopAction;
    KindKey = classKey_;
}

void TGhostWindowAction::Init() {
    TAction::Init();
    classKey_ = KeyGhostWindowAction;
    KindKey = classKey_;
}
