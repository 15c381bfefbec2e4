#pragma once

#include "DebugInterfacedObjectUnit.h"
#include "KLVCollection.h"

#include <string>
#include <typeinfo>

class TAbstractObject;

// C++ has no class references: a class is the address of its one descriptor.
struct TAbstractObjectClassInfo {
    const char* Name;
    TAbstractObject* (*NewInstance)();
};
using TAbstractObjectClass = const TAbstractObjectClassInfo*;

// An object built from parameter text: Init, then SetParam for each NAME=value pair.
class TAbstractObject : public TDebugInterfacedObject {
public:
    TAbstractObject() = default;

    // Makes an instance of cls and sets it up from params ("\" separated pairs). The result
    // carries no reference; when Init or SetParam raises, the object is freed and the error
    // passes on.
    static TAbstractObject* Create(TAbstractObjectClass cls, const std::string& params);

protected:
    ~TAbstractObject() override = default;

    virtual void Init() {}
    virtual void SetParam(const std::string& /*name*/, const std::string& /*value*/) {}
};

template <class T> TAbstractObjectClass ClassOf() {
    static const TAbstractObjectClassInfo info{typeid(T).name(),
                                               []() -> TAbstractObject* { return NewObject<T>(); }};
    return &info;
}

// Class key (ASCII case ignored) to class, in the order of registration.
class TAbstractClasses : public TAbstractPointerCollection {
public:
    // A null class and a key already taken are ignored.
    void Add(TAbstractObjectClass cls, const std::string& key);
    // String key by name, Integer key by position.
    TAbstractObjectClass Find(const Variant& key) const;
};

// The process-wide registry; registration and lookup do nothing outside Init..Done.
void InitAbstractClasses();
void DoneAbstractClasses();
TAbstractClasses* AbstractClasses() noexcept;

void RegisterClass(TAbstractObjectClass cls, const std::string& key);
TAbstractObjectClass FindClass(const std::string& key);
// The descriptor is KEY{params}; null for an unknown key.
TAbstractObject* CreateObject(const std::string& descriptor);
TAbstractObject* CreateObjectByKey(const std::string& params, const std::string& key);
