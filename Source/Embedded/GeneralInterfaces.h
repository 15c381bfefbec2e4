#pragma once

#include "DebugInterfacedObjectUnit.h"
#include "Variants.h"

#include <string>

struct IOwner;

struct IItem : IUnknown {
    virtual std::string GetName() = 0;
};
__CRT_UUID_DECL(IItem, 0xA97A0D5A, 0x4204, 0x4FED, 0x96, 0xF5, 0x0A, 0xCE, 0xEF, 0x4B, 0xF2, 0x13)

struct IIndexedCollection : IUnknown {
    virtual int Count() = 0;
    // Null outside 0..Count-1.
    virtual ComPtr<IUnknown> GetByIndex(int index) = 0;
};
__CRT_UUID_DECL(IIndexedCollection, 0x654CC95B, 0xE4D8, 0x4224, 0x8D, 0xDC, 0xF8, 0xD3, 0x52, 0x95, 0x98,
                0x64)

struct ICollection : IItem {
    virtual int Count() = 0;
    virtual void Delete(const Variant& key) = 0;
    virtual int IndexOf(const std::string& name) = 0;
    virtual void Clear() = 0;
    virtual ComPtr<IIndexedCollection> AsIndexedCollection() = 0;
};
__CRT_UUID_DECL(ICollection, 0x9C4146F4, 0x8D9, 0x42D6, 0xB6, 0x21, 0xBE, 0x12, 0x18, 0xE5, 0xF8, 0xF7)

// What an owner drives an owned object through: SetOwner, Link, (Attach) ... (Detach),
// Unlink, ReleaseOwner. ReleaseOwner breaks the back references.
struct ISlave : IItem {
    virtual void SetOwner(IOwner* owner) = 0;
    virtual void ReleaseOwner() = 0;
    virtual void Link() = 0;
    virtual void Unlink() = 0;
    virtual void SetName(const std::string& name) = 0;
};
__CRT_UUID_DECL(ISlave, 0x3A08E545, 0xAF40, 0x43E7, 0xA9, 0x86, 0x20, 0xC6, 0x51, 0xA2, 0x15, 0xC8)

struct IOwner : IItem {
    virtual void RemoveSlave(ISlave* slave) = 0;
};
__CRT_UUID_DECL(IOwner, 0x314D43F1, 0xEF7F, 0x46AE, 0xBE, 0x8D, 0xB4, 0xBF, 0x78, 0x29, 0xB3, 0x39)
