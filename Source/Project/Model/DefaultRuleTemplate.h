#pragma once

#include <string_view>

struct IBOMObject;

// The items every new window rule is born with; the rule panel switches them by name.
extern const std::string_view DefaultRuleTemplateXML;

// Loads the template into a rule; a failure leaves the rule with what was loaded so far.
void ApplyDefaultRuleTemplate(IBOMObject* rule) noexcept;
