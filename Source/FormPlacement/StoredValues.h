#pragma once

#include "PropertyInfo.h"
#include "Variants.h"

#include <functional>
#include <string>

class TStoredValue;

// Where stored values go: the form storage's own section.
class IValueStorage {
public:
    virtual std::string ReadValue(const std::string& ident, const std::string& fallback) = 0;
    virtual void WriteValue(const std::string& ident, const std::string& value) = 0;

protected:
    ~IValueStorage() = default;
};

// The handler may change the value on its way to or from the store.
using TStoredValueEvent = std::function<void(TStoredValue* sender, Variant& value)>;

// A named free value kept beside a form's placement; with a key it is stored scrambled.
class TStoredValue : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;

    const std::string& Name() const noexcept { return name_; }
    // A name another value of the collection has (letter case ignored) raises.
    void SetName(const std::string& name);
    std::string DisplayName() const;

    Variant Value;
    std::string KeyString;
    TStoredValueEvent OnSave;
    TStoredValueEvent OnRestore;

    void ResetValue() { Value = Variant(); }
    bool HasValue() const noexcept { return !Value.IsEmpty(); }
    void Assign(const TStoredValue& source);

    virtual void WriteToStore();
    virtual void ReadFromStore();

    void DescribeProperties(TPropList& list) override;

private:
    IValueStorage* Storage() const;
    std::string name_;
};

// The stored values of one form storage component.
class TStoredValues : public TCollection {
public:
    explicit TStoredValues(IValueStorage* storage = nullptr) noexcept : Storage(storage) {}

    IValueStorage* Storage;

    TStoredValue* Add() { return static_cast<TStoredValue*>(TCollection::Add()); }
    TStoredValue* ItemAt(int index) const { return static_cast<TStoredValue*>(Item(index)); }
    // First match by the locale's letter-case-free comparison; -1 when absent.
    int IndexOfName(const std::string& name) const;

    virtual void WriteAllValues();
    virtual void ReadAllValues();

    static constexpr char DefaultItemCaption[] = "(Untitled)";

protected:
    std::unique_ptr<TCollectionItem> NewItem() override { return std::make_unique<TStoredValue>(this); }
};
