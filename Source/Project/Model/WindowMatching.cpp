#include "WindowMatching.h"

#include "ModelCriterions.h"
#include "WindowRule.h"

namespace {

// Calls visit(item, as I) for each item of the collection at path that answers kind.
template <class I, class Visit>
void ForEachOfKind(IBOMObject* owner, const char* path, const char* kind, Visit visit) {
    ComPtr<IBOMCollection> items = Supports<IBOMCollection>(owner->ResolvePath(path).Get());
    if (!items)
        return;
    const int count = items->Count();
    for (int i = 0; i < count; ++i) {
        ComPtr<IBOMObject> item = items->Item(Variant(i));
        if (ComPtr<I> typed = Supports<I>(item->QueryKind(kind).Get()))
            visit(item.Get(), typed.Get());
    }
}

} // namespace

bool TWindowTest::Matches(TWindowProperties& window) const {
    switch (Property) {
    case TProperty::ClassName:
        return window.ClassName() == Value;
    case TProperty::Caption:
        return CaptionMatches(window.Caption(), Value, Exact);
    case TProperty::Other:
        return Other->Match(window.Window());
    default:
        return false;
    }
}

TConditionTest TConditionTest::Of(IBOMObject* condition) {
    TConditionTest result;
    ForEachOfKind<ICriterion>(condition, "criterions", "Criterion", [&](IBOMObject*, ICriterion* criterion) {
        if (!criterion->IsEnabled())
            return;
        if (auto* own = dynamic_cast<TCriterion*>(criterion))
            result.Tests.push_back(own->GetTest());
        else
            result.Tests.push_back(TWindowTest{TWindowTest::TProperty::Other, {}, true, criterion});
    });
    return result;
}

bool TConditionTest::Matches(TWindowProperties& window) const {
    if (Tests.empty())
        return false;
    for (const TWindowTest& test : Tests)
        if (!test.Matches(window))
            return false;
    return true;
}

TRuleTest TRuleTest::Of(IBOMObject* rule) {
    TRuleTest result;
    ForEachOfKind<ICondition>(rule, "conditions", "Condition", [&](IBOMObject* item, ICondition* condition) {
        if (!condition->IsEnabled())
            return;
        // One that can never match is left out.
        TConditionTest test = TConditionTest::Of(item);
        if (!test.Tests.empty())
            result.Conditions.push_back(std::move(test));
    });
    return result;
}

bool TRuleTest::Matches(TWindowProperties& window) const {
    for (const TConditionTest& condition : Conditions)
        if (condition.Matches(window))
            return true;
    return false;
}

TRuleMatcher::TRuleMatcher(IBOMCollection* rules) {
    if (rules == nullptr)
        return;
    const int count = rules->Count();
    for (int i = 0; i < count; ++i) {
        ComPtr<IBOMObject> item = rules->Item(Variant(i));
        ComPtr<IWindowRule> rule = Supports<IWindowRule>(item->QueryKind("WindowRule").Get());
        if (!rule || !rule->IsEnabled())
            continue;
        // A rule of another class answers for itself on every query.
        const bool own = dynamic_cast<TWindowRule*>(rule.Get()) != nullptr;
        TRuleTest test = own ? TRuleTest::Of(item.Get()) : TRuleTest{};
        if (!own || !test.Conditions.empty())
            entries_.push_back(TEntry{rule, own, std::move(test), false, {}});
    }
}

void TRuleMatcher::Find(HWND window, std::string& text) {
    text.clear();
    TWindowProperties properties(window);
    for (TEntry& entry : entries_) {
        if (!(entry.Own ? entry.Test.Matches(properties) : entry.Rule->Match(window)))
            continue;
        const std::lock_guard<std::mutex> guard(textLock_);
        if (!entry.HasText) {
            entry.Rule->GetDescriptor(entry.Text);
            entry.HasText = true;
        }
        text = entry.Text;
        return;
    }
}
