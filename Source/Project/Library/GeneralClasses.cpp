#include "GeneralClasses.h"

#include "Routines.h"

#include <memory>

namespace {

std::unique_ptr<TAbstractClasses> registry;

} // namespace

TAbstractObject* TAbstractObject::Create(TAbstractObjectClass cls, const std::string& params) {
    TAbstractObject* object = cls->NewInstance();
    object->BeginConstruction();
    try {
        object->Init();
        if (!params.empty()) {
            TTwoArrayOfString pairs;
            const int n = SplitNameValues(params, pairs, '\\', '=');
            for (int i = 0; i < n; ++i)
                object->SetParam(AsciiUpper(pairs[i][0]), pairs[i][1]);
        }
    } catch (...) {
        // Frees it unless Init handed out a reference that is still held.
        object->Release();
        throw;
    }
    object->EndConstruction();
    return object;
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

TAbstractObject* CreateObject(const std::string& descriptor) {
    const std::size_t k = descriptor.find('{');
    if (k == std::string::npos)
        return CreateObjectByKey(std::string(), descriptor);
    const std::string params =
        descriptor.size() - k >= 2 ? descriptor.substr(k + 1, descriptor.size() - k - 2) : std::string();
    return CreateObjectByKey(params, descriptor.substr(0, k));
}

TAbstractObject* CreateObjectByKey(const std::string& params, const std::string& key) {
    const TAbstractObjectClass cls = FindClass(key);
    if (cls == nullptr)
        return nullptr;
    return TAbstractObject::Create(cls, params);
}
