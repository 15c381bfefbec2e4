#pragma once

#include "DebugInterfacedObjectUnit.h"
#include "ElHashList.h"
#include "Variants.h"

#include <string>

// Ordered items reached by name (ASCII case ignored) or by position, with automatic names.
// An Integer key selects by position (0 = first), a String key by name, any other key nothing.
class TBaseCollection {
public:
    TBaseCollection();
    TBaseCollection(const TBaseCollection&) = delete;
    TBaseCollection& operator=(const TBaseCollection&) = delete;
    virtual ~TBaseCollection() = default;

    // Item, or null when the name is taken.
    void* Add(void* item, bool autoName, const std::string& name = "");
    virtual void Delete(const Variant& key);
    virtual void Clear();
    int Count() const noexcept { return list_.Count(); }
    void* Get(const Variant& key) const;
    int IndexOf(const std::string& name) const { return list_.IndexOf(name); }
    bool Exists(const std::string& name) const { return IndexOf(name) != -1; }
    std::string GenerateName();
    // Moves the entry of oldName to newName at the same position; false when oldName is absent.
    // A newName that another entry holds raises "Duplicate entry.".
    bool Rename(const std::string& oldName, const std::string& newName);
    const std::string& LastName() const noexcept { return lastName_; }

protected:
    TElHashList list_;

private:
    void NoteName(const std::string& name);

    std::string lastName_;
};

class TPointerCollection : public TBaseCollection {};

// Holds one count of every stored interface.
class TInterfaceCollection : public TBaseCollection {
public:
    ~TInterfaceCollection() override;

    // The item is held only when its name was free; answers item either way.
    ComPtr<IUnknown> Add(IUnknown* item, bool autoName, const std::string& name = "");
    ComPtr<IUnknown> Get(const Variant& key) const;
    template <class I> ComPtr<I> GetAs(const Variant& key) const { return Supports<I>(Get(key)); }
    void Delete(const Variant& key) override;
    void Clear() override;
};

// Stores its own copy of each string, released with its entry.
class TStringCollection : public TBaseCollection {
public:
    TStringCollection();
    ~TStringCollection() override;

    std::string Add(const std::string& value, bool autoName, const std::string& name = "");
    // Empty when there is none.
    std::string Get(const Variant& key) const;
};

// Base of the registries: owns one pointer collection.
class TAbstractPointerCollection {
public:
    TAbstractPointerCollection() = default;
    TAbstractPointerCollection(const TAbstractPointerCollection&) = delete;
    TAbstractPointerCollection& operator=(const TAbstractPointerCollection&) = delete;
    virtual ~TAbstractPointerCollection() = default;

    void Delete(const Variant& key) { Items.Delete(key); }
    int Count() const noexcept { return Items.Count(); }

protected:
    TPointerCollection Items;
};
