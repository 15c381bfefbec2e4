#include "DefaultRuleTemplate.h"

#include "BOMInterfaces.h"
#include "Errors.h"
#include "XMLStorage.h"

#include <mutex>

namespace {

// The template parsed once: a failure (no COM yet) is not kept, so the next rule tries again.
std::shared_ptr<const TStorageSnapshot> ParsedTemplate() {
    static std::mutex lock;
    static std::shared_ptr<const TStorageSnapshot> parsed;
    const std::lock_guard<std::mutex> guard(lock);
    if (!parsed) {
        ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
        if (!storage->LoadFromXML(std::string(DefaultRuleTemplateXML)))
            return nullptr;
        // Text that does not parse is kept as an empty template.
        parsed = storage->Snapshot();
        if (!parsed)
            parsed = std::make_shared<const TStorageSnapshot>();
    }
    return parsed;
}

} // namespace

void ApplyDefaultRuleTemplate(IBOMObject* rule) noexcept {
    if (DefaultRuleTemplateXML.empty() || rule == nullptr)
        return;
    // A template that does not load leaves the rule with what was loaded: never a failure.
    try {
        std::shared_ptr<const TStorageSnapshot> parsed = ParsedTemplate();
        if (!parsed)
            return;
        ComPtr<IHierStorage> storage = OpenSnapshot(std::move(parsed));
        if (ComPtr<IPersistObject> persist = Supports<IPersistObject>(static_cast<IUnknown*>(rule)))
            persist->Load(storage.Get());
    } catch (...) {
        TraceFailure("rule template");
    }
}
