#include "StoredValues.h"

#include "Errors.h"
#include "Pex.h"
#include "PlacementStrings.h"

void TStoredValue::SetName(const std::string& name) {
    auto* values = dynamic_cast<TStoredValues*>(Collection());
    if (!name.empty() && !TextEqualsIgnoreCase(name, name_) && values != nullptr &&
        values->IndexOfName(name) >= 0)
        throw Exception("String list does not allow duplicates");
    name_ = name;
}

std::string TStoredValue::DisplayName() const {
    return name_.empty() ? TStoredValues::DefaultItemCaption : name_;
}

void TStoredValue::Assign(const TStoredValue& source) {
    if (source.Value.IsEmpty())
        ResetValue();
    else
        Value = source.Value;
    SetName(source.Name());
    KeyString = source.KeyString;
}

IValueStorage* TStoredValue::Storage() const {
    auto* values = dynamic_cast<TStoredValues*>(Collection());
    return values != nullptr ? values->Storage : nullptr;
}

void TStoredValue::WriteToStore() {
    IValueStorage* storage = Storage();
    if (storage == nullptr)
        return;
    Variant value = Value;
    if (OnSave)
        OnSave(this, value);
    std::string text = value.IsEmpty() ? std::string() : value.AsString();
    if (!KeyString.empty())
        text = XorToHex(KeyString, text);
    storage->WriteValue(name_, text);
}

void TStoredValue::ReadFromStore() {
    IValueStorage* storage = Storage();
    if (storage == nullptr)
        return;
    std::string fallback = Value.IsEmpty() ? std::string() : Value.AsString();
    if (!KeyString.empty())
        fallback = XorToHex(KeyString, fallback);
    std::string text = storage->ReadValue(name_, fallback);
    if (!KeyString.empty())
        text = XorFromHex(KeyString, text);
    Variant value(text);
    if (OnRestore)
        OnRestore(this, value);
    Value = value;
}

void TStoredValue::DescribeProperties(TPropList& list) {
    TPropInfo name("Name", TTypeKind::tkLString);
    name.GetText = [this] { return name_; };
    name.SetText = [this](const std::string& text) { SetName(text); };
    TPropInfo value("Value", TTypeKind::tkVariant);
    value.GetVariant = [this] { return Value; };
    value.SetVariant = [this](const Variant& v) { Value = v; };
    TPropInfo key("KeyString", TTypeKind::tkLString);
    key.GetText = [this] { return KeyString; };
    key.SetText = [this](const std::string& text) { KeyString = text; };
    list.push_back(std::move(name));
    list.push_back(std::move(value));
    list.push_back(std::move(key));
}

int TStoredValues::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (TextEqualsIgnoreCase(ItemAt(i)->Name(), name))
            return i;
    return -1;
}

void TStoredValues::WriteAllValues() {
    for (int i = 0; i < Count(); ++i)
        ItemAt(i)->WriteToStore();
}

void TStoredValues::ReadAllValues() {
    for (int i = 0; i < Count(); ++i)
        ItemAt(i)->ReadFromStore();
}
