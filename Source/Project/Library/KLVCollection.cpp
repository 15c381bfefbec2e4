#include "KLVCollection.h"

#include <memory>
#include <string_view>

namespace {

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// Like a byte comparison after ASCII upper-casing.
int CompareAsciiText(std::string_view a, std::string_view b) {
    const std::string ua = AsciiUpper(std::string(a));
    const std::string ub = AsciiUpper(std::string(b));
    return ua.compare(ub);
}

} // namespace

TBaseCollection::TBaseCollection() {
    list_.SetHashKind(TElHashList::hkCRC32);
    list_.CaseInsensitive = true;
    list_.DuplicatesPolicy = TElHashList::dpRaise;
}

std::string TBaseCollection::GenerateName() {
    // Skip names already taken: a generated name may equal a stored one but for letter case.
    do {
        if (lastName_.empty() || static_cast<unsigned char>(lastName_.back()) == 255)
            lastName_ += '!';
        else
            lastName_.back() = static_cast<char>(static_cast<unsigned char>(lastName_.back()) + 1);
    } while (Exists(lastName_));
    return lastName_;
}

void TBaseCollection::NoteName(const std::string& name) {
    if (CompareAsciiText(TrimControls(name), TrimControls(lastName_)) > 0)
        lastName_ = name;
}

void* TBaseCollection::Add(void* item, bool autoName, const std::string& name) {
    std::string key = name;
    if (autoName)
        key = GenerateName();
    else
        NoteName(name);
    try {
        list_.Add(key, item);
    } catch (const EElHashListError&) {
        return nullptr;
    }
    return item;
}

bool TBaseCollection::Rename(const std::string& oldName, const std::string& newName) {
    const int index = IndexOf(oldName);
    if (index < 0)
        return false;
    list_.Rekey(index, newName);
    NoteName(newName);
    return true;
}

void TBaseCollection::Delete(const Variant& key) {
    if (key.IsInteger())
        list_.DeleteAt(key.AsInteger());
    else if (key.IsString())
        list_.Delete(key.AsString());
}

void TBaseCollection::Clear() {
    list_.Clear();
}

void* TBaseCollection::Get(const Variant& key) const {
    if (key.IsInteger())
        return list_.GetItem(key.AsInteger());
    if (key.IsString())
        return list_.Find(key.AsString());
    return nullptr;
}

TInterfaceCollection::~TInterfaceCollection() {
    Clear();
}

ComPtr<IUnknown> TInterfaceCollection::Add(IUnknown* item, bool autoName, const std::string& name) {
    if (item != nullptr)
        item->AddRef();
    if (TBaseCollection::Add(item, autoName, name) == nullptr && item != nullptr)
        item->Release();
    return ComPtr<IUnknown>(item);
}

ComPtr<IUnknown> TInterfaceCollection::Get(const Variant& key) const {
    return ComPtr<IUnknown>(static_cast<IUnknown*>(TBaseCollection::Get(key)));
}

void TInterfaceCollection::Delete(const Variant& key) {
    ComPtr<IUnknown> item = Get(key);
    if (item != nullptr)
        item->Release();
    TBaseCollection::Delete(key);
}

void TInterfaceCollection::Clear() {
    for (int i = Count() - 1; i >= 0; --i)
        Delete(i);
}

TStringCollection::TStringCollection() {
    list_.SetOwnsObjects(true);
    list_.FreeObject = [](void* object) { delete static_cast<std::string*>(object); };
}

TStringCollection::~TStringCollection() {
    Clear();
}

std::string TStringCollection::Add(const std::string& value, bool autoName, const std::string& name) {
    auto copy = std::make_unique<std::string>(value);
    if (TBaseCollection::Add(copy.get(), autoName, name) != nullptr)
        copy.release();
    return value;
}

std::string TStringCollection::Get(const Variant& key) const {
    const auto* text = static_cast<const std::string*>(TBaseCollection::Get(key));
    return text != nullptr ? *text : std::string();
}
