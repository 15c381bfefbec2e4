#include "GeneralClasses.h"

#include "Routines.h"

#include <memory>

namespace {

std::unique_ptr<TAbstractClasses> registry;

} // namespace

void TAbstractObject::SetParam(const std::string&, const std::string&) {}

TAbstractObject* TAbstractObject::Construct(TAbstractObject* instance, const std::string& params) {
    instance->BeginConstruction();
    try {
        instance->Init();
        if (!params.empty()) {
            TTwoArrayOfString pairs;
            const int n = SplitNameValues(params, pairs, '\\', '=');
            for (int i = 0; i < n; ++i)
                instance->SetParam(AsciiUpper(pairs[i][0]), pairs[i][1]);
        }
    } catch (...) {
        // Release frees it unless a reference handed out meanwhile is still held.
        instance->Release();
        throw;
    }
    instance->EndConstruction();
    return instance;
}

void TAbstractClasses::Add(TAbstractObjectClass cls, const std::string& key) {
    if (cls != nullptr)
        Items.Add(const_cast<TAbstractObjectClassInfo*>(cls), false, key);
}

TAbstractObjectClass TAbstractClasses::Find(const Variant& key) const {
    return static_cast<TAbstractObjectClass>(Items.Get(key));
}

void InitAbstractClasses() {
    if (!registry)
        registry = std::make_unique<TAbstractClasses>();
}

void DoneAbstractClasses() {
    registry.reset();
}

TAbstractClasses* AbstractClasses() noexcept {
    return registry.get();
}

void RegisterClass(TAbstractObjectClass cls, const std::string& key) {
    if (registry)
        registry->Add(cls, key);
}

TAbstractObjectClass FindClass(const std::string& key) {
    return registry ? registry->Find(key) : nullptr;
}

TAbstractObject* CreateObjectIn(const TAbstractClasses* classes, const std::string& spec) {
    const auto brace = spec.find('{');
    if (brace == std::string::npos)
        return CreateObjectByKeyIn(classes, {}, spec);
    const std::string params = spec.substr(brace + 1, spec.size() - brace - 2);
    return CreateObjectByKeyIn(classes, params, spec.substr(0, brace));
}

TAbstractObject* CreateObjectByKeyIn(const TAbstractClasses* classes, const std::string& params,
                                     const std::string& key) {
    if (classes == nullptr)
        return nullptr;
    const TAbstractObjectClass cls = classes->Find(key);
    if (cls == nullptr)
        return nullptr;
    return TAbstractObject::Construct(cls->NewInstance(), params);
}

TAbstractObject* CreateObject(const std::string& spec) {
    return CreateObjectIn(registry.get(), spec);
}

TAbstractObject* CreateObjectByKey(const std::string& params, const std::string& key) {
    return CreateObjectByKeyIn(registry.get(), params, key);
}
