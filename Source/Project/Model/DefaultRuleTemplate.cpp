#include "DefaultRuleTemplate.h"

#include "BOMInterfaces.h"
#include "XMLStorage.h"

void ApplyDefaultRuleTemplate(IBOMObject* rule) noexcept {
    if (DefaultRuleTemplateXML.empty() || rule == nullptr)
        return;
    // A template that does not load leaves the rule with what was loaded: never a failure.
    try {
        ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
        storage->LoadFromXML(std::string(DefaultRuleTemplateXML));
        storage->LoadObject(Supports<IPersistObject>(static_cast<IUnknown*>(rule)).Get());
    } catch (...) {
    }
}
