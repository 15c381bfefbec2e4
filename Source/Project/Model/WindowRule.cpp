#include "WindowRule.h"

#include "DefaultRuleTemplate.h"
#include "ModelKeys.h"
#include "RuleDescriptor.h"
#include "WindowMatching.h"

namespace {
constexpr const char* KindWindowRule = "WindowRule";

// Appends one piece per enabled item of the given kind, in collection order.
template <class I>
void AppendItems(IBOMCollection* items, const char* kind, const char* piece, std::string& text) {
    if (items == nullptr)
        return;
    for (int i = 0; i < items->Count(); ++i) {
        ComPtr<I> item = Supports<I>(items->Item(Variant(i))->QueryKind(kind).Get());
        if (!item)
            continue;
        std::string itemText;
        if (item->IsEnabled())
            item->GetDescriptor(itemText);
        if (!itemText.empty())
            text += DescriptorPiece(piece, itemText);
    }
}
} // namespace

void TWindowRule::Init() {
    TEnabledItem::Init();
    PanelMap = "DefaultDetailPanel=WindowRuleDetailPanel";
    ImageIndex = 1;
    // A rule is a leaf: its parts are edited in its panel, not as tree nodes.
    HasChildren = false;
    classKey_ = KeyWindowRule;
    elementName_ = "window_rule";
    AddChild(KeyConditions, "conditions");
    AddChild(KeyActions, "actions");
    AddChild(KeyTriggers, "triggers");
    ApplyDefaultRuleTemplate(Self());
}

bool TWindowRule::Match(HWND window) {
    TWindowProperties properties(window);
    return TRuleTest::Of(Self()).Matches(properties);
}

void TWindowRule::GetDescriptor(std::string& text) {
    text = DescriptorPiece("WINDOWRULENAME", GetName());
    AppendItems<IAction>(Supports<IBOMCollection>(ResolvePath("actions").Get()).Get(), "Action", "ACTION",
                         text);
    AppendItems<IDescriptorItem>(Supports<IBOMCollection>(ResolvePath("triggers").Get()).Get(), "Trigger",
                                 "TRIGGER", text);
}

ComPtr<IUnknown> TWindowRule::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TEnabledItem::QueryKind(kind))
        return found;
    if (kind == KindWindowRule)
        return ComPtr<IUnknown>(static_cast<IWindowRule*>(this));
    return nullptr;
}

bool TWindowRule::IsKindOf(const std::string& kind) {
    return TEnabledItem::IsKindOf(kind) || kind == KindWindowRule;
}

void TWindowRule::FillTreeNode(TUINode node) {
    for (const char* part : {"conditions", "actions", "triggers"})
        AddElementNode(node, ResolvePath(part).Get());
}
