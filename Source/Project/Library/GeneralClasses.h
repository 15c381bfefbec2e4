#pragma once

#include "DebugInterfacedObjectUnit.h"
#include "KLVCollection.h"
#include "Variants.h"

#include <string>

class TAbstractObject;

// What stands for a class reference: one descriptor per class, created on first use.
struct TAbstractObjectClassInfo {
    const char* Name;
    TAbstractObject* (*NewInstance)();
};
using TAbstractObjectClass = const TAbstractObjectClassInfo*;

// An object built from a parameter text of NAME=value pairs separated by "\".
class TAbstractObject : public TDebugInterfacedObject {
public:
    // Runs Init, then SetParam for every pair (name upper-cased in ASCII). The object is kept
    // alive meanwhile; an error frees it and passes on.
    static TAbstractObject* Construct(TAbstractObject* instance, const std::string& params);

protected:
    TAbstractObject() = default;

    virtual void Init() {}
    virtual void SetParam(const std::string& name, const std::string& value);
};

template <class T> TAbstractObjectClass ClassOf() {
    static const TAbstractObjectClassInfo info{typeid(T).name(),
                                               []() -> TAbstractObject* { return NewObject<T>(); }};
    return &info;
}

// Class key to class; keys ignore ASCII case, the first registration of a key stays.
class TAbstractClasses : public TAbstractPointerCollection {
public:
    void Add(TAbstractObjectClass cls, const std::string& key);
    // A string key finds by name, an integer key by position of registration.
    TAbstractObjectClass Find(const Variant& key) const;
};

// The process-wide registry lives between these two calls.
void InitAbstractClasses();
void DoneAbstractClasses();
TAbstractClasses* AbstractClasses() noexcept;

void RegisterClass(TAbstractObjectClass cls, const std::string& key);
TAbstractObjectClass FindClass(const std::string& key);

// KEY or KEY{params}; the new object carries no reference yet. Null for an unknown key.
TAbstractObject* CreateObject(const std::string& spec);
TAbstractObject* CreateObjectByKey(const std::string& params, const std::string& key);

// The same factories over any registry: glzemb keeps one of its own.
TAbstractObject* CreateObjectIn(const TAbstractClasses* classes, const std::string& spec);
TAbstractObject* CreateObjectByKeyIn(const TAbstractClasses* classes, const std::string& params,
                                     const std::string& key);
