#include "ModelCriterions.h"

#include "BOMRoutines.h"
#include "ModelKeys.h"
#include "WinFuncs.h"
#include "WindowProperties.h"

namespace {
constexpr const char* KindCriterion = "Criterion";
constexpr const char* KindCondition = "Condition";
} // namespace

void TCriterion::Init() {
    TEnabledItem::Init();
    elementName_ = "criterion";
}

bool TCriterion::Match(HWND) {
    return false;
}

ComPtr<IUnknown> TCriterion::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TEnabledItem::QueryKind(kind))
        return found;
    if (kind == KindCriterion)
        return ComPtr<IUnknown>(static_cast<ICriterion*>(this));
    return nullptr;
}

bool TCriterion::IsKindOf(const std::string& kind) {
    return TEnabledItem::IsKindOf(kind) || kind == KindCriterion;
}

void TWindowClassNameCriterion::Init() {
    TCriterion::Init();
    PanelMap = "DefaultDetailPanel=WindowClassCriterionDetailPanel";
    classKey_ = KeyWindowClassNameCriterion;
    SetName(classKey_);
    AddParam("window_class_name", Variant(""));
}

bool TWindowClassNameCriterion::IsEnabled() {
    return TCriterion::IsEnabled() && !ParamTextOr("window_class_name", "").empty();
}

bool TWindowClassNameCriterion::Match(HWND window) {
    return GetWindowClassName(window) == ParamTextOr("window_class_name", "");
}

void TWindowCaptionCriterion::Init() {
    TCriterion::Init();
    PanelMap = "DefaultDetailPanel=WindowCaptionCriterionDetailPanel";
    classKey_ = KeyWindowCaptionCriterion;
    SetName(classKey_);
    AddParam("window_caption", Variant(""));
    AddParam("exact_search", Variant("yes"));
    GetParam("enabled")->SetValueSilent(Variant("no"));
}

bool TWindowCaptionCriterion::IsEnabled() {
    return TCriterion::IsEnabled() && !ParamTextOr("window_caption", "").empty();
}

bool TWindowCaptionCriterion::Match(HWND window) {
    // Only the exact word "no" turns exact search off.
    const bool exact = ParamTextOr("exact_search", "yes") != "no";
    return CaptionMatches(GetWindowCaption(window), ParamTextOr("window_caption", ""), exact);
}

void TCondition::Init() {
    TEnabledItem::Init();
    PanelMap = "DefaultDetailPanel=ConditionDetailPanel";
    ImageIndex = 2;
    classKey_ = KeyCondition;
    elementName_ = "condition";
    AddChild(KeyCriterions, "criterions");
    if (ComPtr<IBOMCollection> criterions = Supports<IBOMCollection>(ResolvePath("criterions").Get())) {
        criterions->Add(CreateBOMObject(KeyWindowClassNameCriterion, "").Get());
        criterions->Add(CreateBOMObject(KeyWindowCaptionCriterion, "").Get());
    }
}

bool TCondition::Match(HWND window) {
    ComPtr<IBOMCollection> criterions = Supports<IBOMCollection>(ResolvePath("criterions").Get());
    if (!criterions)
        return false;
    bool seenUsable = false;
    for (int i = 0; i < criterions->Count(); ++i) {
        ComPtr<ICriterion> criterion =
            Supports<ICriterion>(criterions->Item(Variant(i))->QueryKind(KindCriterion).Get());
        if (!criterion || !criterion->IsEnabled())
            continue;
        seenUsable = true;
        if (!criterion->Match(window))
            return false;
    }
    return seenUsable;
}

ComPtr<IUnknown> TCondition::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TEnabledItem::QueryKind(kind))
        return found;
    if (kind == KindCondition)
        return ComPtr<IUnknown>(static_cast<ICondition*>(this));
    return nullptr;
}

bool TCondition::IsKindOf(const std::string& kind) {
    return TEnabledItem::IsKindOf(kind) || kind == KindCondition;
}
