#pragma once

#include "ModelInterfaces.h"
#include "WindowProperties.h"

#include "BOMInterfaces.h"

#include <mutex>
#include <string>
#include <vector>

// What one usable criterion asks of a window, taken from its parameters.
struct TWindowTest {
    enum class TProperty { None, ClassName, Caption, Other };

    TProperty Property = TProperty::None;
    std::string Value;
    bool Exact = true;
    // A criterion of another class answers for itself.
    ComPtr<ICriterion> Other;

    bool Matches(TWindowProperties& window) const;
};

// A condition: every usable criterion must match, and there must be one.
struct TConditionTest {
    std::vector<TWindowTest> Tests;

    static TConditionTest Of(IBOMObject* condition);
    bool Matches(TWindowProperties& window) const;
};

// A rule: any one of its usable conditions must match.
struct TRuleTest {
    std::vector<TConditionTest> Conditions;

    static TRuleTest Of(IBOMObject* rule);
    bool Matches(TWindowProperties& window) const;
};

// The enabled rules of a rule list in order, worked out once: a query then reads no parameter
// and walks no path, and writes a rule's text once. The caller builds a new one whenever the tree
// may have changed (BOMEditCount). Queries may come from several threads at once: the tests are
// fixed when it is built and the texts are written under a lock.
class TRuleMatcher {
public:
    explicit TRuleMatcher(IBOMCollection* rules);

    // The text of the first rule that matches; empty when none does.
    void Find(HWND window, std::string& text);

private:
    struct TEntry {
        ComPtr<IWindowRule> Rule;
        bool Own;
        TRuleTest Test;
        bool HasText = false;
        std::string Text;
    };
    std::vector<TEntry> entries_;
    std::mutex textLock_;
};
