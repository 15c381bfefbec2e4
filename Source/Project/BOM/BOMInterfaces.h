#pragma once

#include "DebugInterfacedObjectUnit.h"
#include "Variants.h"

#include <string>

struct IBOMObject : public IUnknown {
    virtual ComPtr<IBOMObject> ResolvePath(const std::string& path) = 0;
    virtual std::string GetName() = 0;
    virtual std::string GetPath() = 0;
    virtual ComPtr<IUnknown> QueryKind(const std::string& kind) = 0;
    virtual bool IsKindOf(const std::string& kind) = 0;
    virtual void Changed(const std::string& path, IBOMObject* source, const std::string& from,
                         IBOMObject* sender) = 0;
    virtual void NameChanged(const std::string& path, IBOMObject* source, const std::string& from,
                             IBOMObject* sender, const std::string& oldNamePath) = 0;
    virtual void Notify(int code, int param1, int param2) = 0;
    virtual ULONG GetRefCount() = 0;
};
__CRT_UUID_DECL(IBOMObject, 0xB01E1F2E, 0x4A8E, 0x4496, 0x80, 0x85, 0xA8, 0x6B, 0x63, 0x8D, 0xDB, 0x1B)

struct IBOMObjectOwner;

struct IBOMObjectSlave : public IBOMObject {
    virtual void SetOwner(IBOMObjectOwner* owner) = 0;
    virtual void ClearOwner() = 0;
    virtual std::string GetClassKey() = 0;
    virtual void SetName(const std::string& newName) = 0;
};
__CRT_UUID_DECL(IBOMObjectSlave, 0xD4BF3169, 0x0633, 0x4579, 0x85, 0xCF, 0xB8, 0xA0, 0xB3, 0xEA, 0xEE, 0x98)

struct IBOMObjectOwner : public IBOMObject {
    virtual void RenameChild(IBOMObjectSlave* child, const std::string& newName) = 0;
};
__CRT_UUID_DECL(IBOMObjectOwner, 0xBE6B345B, 0xBD0A, 0x4813, 0x8B, 0xB1, 0x3C, 0xE5, 0x61, 0x1C, 0xA0, 0x6E)

// Ordered list of objects keyed by name (case ignored); an Integer key is a position.
struct IBOMCollection : public IBOMObject {
    virtual int Count() = 0;
    virtual ComPtr<IBOMObject> Item(const Variant& key) = 0;
    virtual void Add(IBOMObject* item) = 0;
    virtual void Delete(const Variant& key) = 0;
    virtual int IndexOf(const std::string& name) = 0;
    virtual void Clear() = 0;
    virtual void Rename(IBOMObject* item, const std::string& newName) = 0;
};
__CRT_UUID_DECL(IBOMCollection, 0x1ED5A211, 0x8CF6, 0x4B11, 0xAF, 0xDB, 0xEA, 0xDB, 0x2D, 0x29, 0x59, 0x0D)

struct IBOMParam : public IBOMObject {
    virtual Variant GetValue() = 0;
    virtual void SetValue(const Variant& value) = 0;
    virtual void SetValueSilent(const Variant& value) = 0;
};
__CRT_UUID_DECL(IBOMParam, 0x0D998A55, 0xAB28, 0x4A08, 0x8F, 0xB2, 0x1E, 0x2C, 0x19, 0x9F, 0xAE, 0x11)
