#pragma once

#include "DebugInterfacedObjectUnit.h"
#include "ElHashList.h"
#include "Variants.h"

#include <string>
#include <string_view>

// Ordered items reached by position or by case-insensitive name, with automatic names on
// request. A key selects by position when it is an integer, by name when it is a string,
// and nothing otherwise.
class TBaseCollection {
public:
    TBaseCollection();
    TBaseCollection(const TBaseCollection&) = delete;
    TBaseCollection& operator=(const TBaseCollection&) = delete;
    virtual ~TBaseCollection() = default;

    // The item, or null when the name is taken (in any ASCII case).
    void* Add(void* item, bool autoName, const std::string& name = {});
    virtual void Delete(const Variant& key);
    virtual void Clear();

    int Count() const noexcept { return list_.Count(); }
    void* Get(const Variant& key) const;
    int IndexOf(std::string_view name) const { return list_.IndexOf(name); }
    bool Exists(std::string_view name) const { return IndexOf(name) != -1; }

    // The next automatic name; never one that is already taken.
    std::string GenerateName();
    const std::string& LastName() const noexcept { return lastName_; }

protected:
    // True when the item was stored under its name.
    bool AddEntry(void* item, bool autoName, const std::string& name);

    TElHashList list_;

private:
    std::string lastName_;
};

class TPointerCollection : public TBaseCollection {
public:
    ~TPointerCollection() override { Clear(); }
};

// Holds one count of every stored interface.
class TInterfaceCollection : public TBaseCollection {
public:
    ~TInterfaceCollection() override;

    // True when the item was stored; a refused item is not held.
    bool Add(IUnknown* item, bool autoName, const std::string& name = {});
    ComPtr<IUnknown> Get(const Variant& key) const;
    template <class I> ComPtr<I> GetAs(const Variant& key) const { return Supports<I>(Get(key).Get()); }
    void Delete(const Variant& key) override;
    void Clear() override;
};

// Stores its own copy of every string.
class TStringCollection : public TBaseCollection {
public:
    TStringCollection();
    ~TStringCollection() override { Clear(); }

    // True when the value was stored.
    bool Add(const std::string& value, bool autoName, const std::string& name = {});
    // The stored text, empty when there is none.
    std::string Get(const Variant& key) const;
};

// Base of the registries: a pointer collection it owns.
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
