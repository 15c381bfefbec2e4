#include "ModelCriterions.h"

#include "BOMRoutines.h"
#include "ModelKeys.h"

namespace {
constexpr const char* KindCriterion = "Criterion";
constexpr const char* KindCondition = "Condition";
} // namespace

void TCriterion::Init() {
    TEnabledItem::Init();
    elementName_ = "criterion";
}

bool TCriterion::Match(HWND window) {
    TWindowProperties properties(window);
    return GetTest().Matches(properties);
}

TWindowTest TCriterion::GetTest() {
    return {};
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

TWindowTest TWindowClassNameCriterion::GetTest() {
    return {TWindowTest::TProperty::ClassName, ParamTextOr("window_class_name", ""), true, nullptr};
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

TWindowTest TWindowCaptionCriterion::GetTest() {
    // Only the exact word "no" turns exact search off.
    const bool exact = ParamTextOr("exact_search", "yes") != "no";
    return {TWindowTest::TProperty::Caption, ParamTextOr("window_caption", ""), exact, nullptr};
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
    TWindowProperties properties(window);
    return TConditionTest::Of(Self()).Matches(properties);
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
