#include "KLVCollection.h"

#include <memory>

namespace {

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// Compares as the ASCII upper case of both sides, byte by byte.
int CompareText(std::string_view a, std::string_view b) {
    const auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = upper(static_cast<unsigned char>(a[i])) - upper(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

} // namespace

TBaseCollection::TBaseCollection() {
    list_.SetHashKind(TElHashList::hkCRC32);
    list_.CaseInsensitive = true;
    list_.DuplicatesPolicy = TElHashList::dpRaise;
}

void* TBaseCollection::Add(void* item, bool autoName, const std::string& name) {
    return AddEntry(item, autoName, name) ? item : nullptr;
}

bool TBaseCollection::AddEntry(void* item, bool autoName, const std::string& name) {
    std::string key = name;
    if (autoName)
        key = GenerateName();
    else if (CompareText(TrimControls(name), TrimControls(lastName_)) > 0)
        lastName_ = name;
    try {
        list_.Add(key, item);
    } catch (const EElHashListError&) {
        return false;
    }
    return true;
}

std::string TBaseCollection::GenerateName() {
    do {
        if (lastName_.empty() || static_cast<unsigned char>(lastName_.back()) == 255)
            lastName_ += '!';
        else
            lastName_.back() = static_cast<char>(static_cast<unsigned char>(lastName_.back()) + 1);
    } while (Exists(lastName_));
    return lastName_;
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
    TInterfaceCollection::Clear();
}

bool TInterfaceCollection::Add(IUnknown* item, bool autoName, const std::string& name) {
    if (!AddEntry(item, autoName, name))
        return false;
    if (item != nullptr)
        item->AddRef();
    return true;
}

ComPtr<IUnknown> TInterfaceCollection::Get(const Variant& key) const {
    return static_cast<IUnknown*>(TBaseCollection::Get(key));
}

void TInterfaceCollection::Delete(const Variant& key) {
    IUnknown* item = static_cast<IUnknown*>(TBaseCollection::Get(key));
    if (key.IsString() && item == nullptr && !Exists(key.AsString()))
        throw EElHashListError("Hash not found.");
    TBaseCollection::Delete(key);
    if (item != nullptr)
        item->Release();
}

void TInterfaceCollection::Clear() {
    for (int i = Count() - 1; i >= 0; --i)
        Delete(i);
}

TStringCollection::TStringCollection() {
    list_.SetOwnsObjects(true);
    list_.FreeObject = [](void* text) {
        std::unique_ptr<std::string> owned(static_cast<std::string*>(text));
    };
}

bool TStringCollection::Add(const std::string& value, bool autoName, const std::string& name) {
    auto copy = std::make_unique<std::string>(value);
    if (!AddEntry(copy.get(), autoName, name))
        return false;
    copy.release();
    return true;
}

std::string TStringCollection::Get(const Variant& key) const {
    const auto* text = static_cast<const std::string*>(TBaseCollection::Get(key));
    return text ? *text : std::string();
}
