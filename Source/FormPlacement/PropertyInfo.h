#pragma once

#include "Components.h"
#include "Variants.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPersistent;

// What the property storage knows of a property's type.
enum class TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkVariant,
    tkInt64
};
enum class TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// A published property of one object, bound to it: C++ has no run-time type information
// for properties, so every class describes its own. Only the accessors of its kind are set:
// ordinal ones (integer, character, enumeration, set as a bit mask, 64-bit), float ones,
// text ones (strings; a variant's text) or object ones (a nested object, or a component
// reference when Reference is set).
struct TPropInfo {
    TPropInfo(std::string name, TTypeKind kind) : Name(std::move(name)), Kind(kind) {}

    std::string Name;
    TTypeKind Kind = TTypeKind::tkUnknown;
    TFloatType FloatType = TFloatType::ftDouble;
    // Enumeration: the value names from ordinal MinValue up; set: the member names by bit.
    std::vector<std::string> Names;
    int MinValue = 0;
    bool Reference = false;

    std::function<long long()> GetOrd;
    std::function<void(long long)> SetOrd;
    std::function<long double()> GetFloat;
    std::function<void(long double)> SetFloat;
    std::function<std::string()> GetText;
    std::function<void(const std::string&)> SetText;
    std::function<Variant()> GetVariant;
    std::function<void(const Variant&)> SetVariant;
    std::function<TPersistent*()> GetNested;
    std::function<TComponent*()> GetComponent;
    std::function<void(TComponent*)> SetComponent;
};

using TPropList = std::vector<TPropInfo>;

// An object that describes its published properties.
class TPersistent {
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    virtual ~TPersistent() = default;
    virtual void DescribeProperties(TPropList& list);
};

// Lines of text (published properties: none).
class TStringList : public TPersistent {
public:
    std::vector<std::string> Lines;
};

class TCollection;

// An item of a collection; its properties are what the collection stores of it.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* collection) noexcept : collection_(collection) {}
    TCollection* Collection() const noexcept { return collection_; }
    int Index() const;

private:
    TCollection* collection_;
};

// Owned items of one class, made by NewItem.
class TCollection : public TPersistent {
public:
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TCollectionItem* Item(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    TCollectionItem* Add();
    void Clear() noexcept { items_.clear(); }
    void Delete(int index);
    void BeginUpdate() noexcept { ++updating_; }
    void EndUpdate() noexcept { --updating_; }
    bool Updating() const noexcept { return updating_ > 0; }

protected:
    virtual std::unique_ptr<TCollectionItem> NewItem() = 0;

private:
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int updating_ = 0;
};

// The published properties of an object: its own description, or for a component that has
// none, what the layer publishes of it (integers, texts, Booleans as False and True).
TPropList PublishedProperties(TPersistent* object);
TPropList PublishedProperties(TComponent* component);

using TTypeKinds = unsigned;
constexpr TTypeKinds KindBit(TTypeKind kind) {
    return 1u << static_cast<unsigned>(kind);
}
// Every kind but methods, which is what the storage always asks for.
constexpr TTypeKinds tkProperties = ~KindBit(TTypeKind::tkMethod);

// The published properties of one object, of the given kinds.
class TPropInfoList {
public:
    TPropInfoList() = default;
    TPropInfoList(TComponent* component, TTypeKinds kinds);
    TPropInfoList(TPersistent* object, TTypeKinds kinds);

    int Count() const noexcept { return static_cast<int>(list_.size()); }
    const TPropInfo& ItemAt(int index) const { return list_.at(static_cast<size_t>(index)); }
    // Letter case ignored; null when absent.
    const TPropInfo* FindByName(const std::string& name) const noexcept;

private:
    void Keep(TPropList list, TTypeKinds kinds);
    TPropList list_;
};
