#include "ElHashList.h"

#include "crc_32.h"

std::string AsciiUpper(std::string text) {
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

TElHashList::~TElHashList() {
    Clear();
}

std::uint32_t TElHashList::HashKey(const std::string& key) const {
    std::uint32_t h = 0;
    for (const char ch : key)
        h = h * 5 + static_cast<unsigned char>(ch);
    return h;
}

TElHashList::TEntry TElHashList::MakeEntry(const std::string& key, void* object) const {
    TEntry entry;
    entry.Key = CaseInsensitive ? AsciiUpper(key) : key;
    entry.Object = object;
    switch (hashKind_) {
    case hkMD5:
        entry.Digest = TCrMD5::HashKey(entry.Key);
        break;
    case hkCustom:
        entry.Hash = HashKey(entry.Key);
        break;
    default:
        entry.Hash = CRC32(entry.Key);
        break;
    }
    return entry;
}

int TElHashList::Search(const TEntry& probe) const {
    for (int i = 0; i < Count(); ++i) {
        const TEntry& entry = items_[i];
        const bool sameDigest = hashKind_ == hkMD5 ? entry.Digest == probe.Digest : entry.Hash == probe.Hash;
        // Equal digests of different texts are different keys.
        if (sameDigest && entry.Key == probe.Key)
            return i;
    }
    return -1;
}

void TElHashList::Release(void* object) {
    if (OnDelete)
        OnDelete(*this, object);
    if (ownsObjects_ && object != nullptr && FreeObject)
        FreeObject(object);
}

void TElHashList::Insert(int index, const std::string& key, void* object) {
    if (index < 0 || index > Count())
        throw EElHashListError("Invalid position for HashList.");
    TEntry entry = MakeEntry(key, object);
    const int existing = Search(entry);
    if (existing >= 0) {
        switch (DuplicatesPolicy) {
        case dpRaise:
            throw EElHashListError("Duplicate entry.");
        case dpReplace:
            if (OnDelete)
                OnDelete(*this, items_[existing].Object);
            items_[existing].Object = object;
            return;
        case dpIgnore:
            return;
        default:
            break;
        }
    }
    if (Count() == capacity_)
        Grow();
    items_.insert(items_.begin() + index, std::move(entry));
}

void TElHashList::DeleteAt(int index) {
    if (index < 0 || index >= Count())
        throw EElHashListError("Invalid index.");
    Release(items_[index].Object);
    items_.erase(items_.begin() + index);
    if (Count() < capacity_ / 2)
        SetCapacity(capacity_ / 2);
}

void TElHashList::Rekey(int index, const std::string& key) {
    if (index < 0 || index >= Count())
        throw EElHashListError("Invalid index.");
    TEntry entry = MakeEntry(key, items_[index].Object);
    const int existing = Search(entry);
    if (existing >= 0 && existing != index)
        throw EElHashListError("Duplicate entry.");
    items_[index] = std::move(entry);
}

void TElHashList::Delete(const std::string& key) {
    const int i = IndexOf(key);
    if (i < 0 || i >= Count())
        throw EElHashListError("Hash not found.");
    DeleteAt(i);
}

int TElHashList::IndexOf(const std::string& key) const {
    const int i = Search(MakeEntry(key, nullptr));
    if (i < 0 && RaiseIfAbsent)
        throw EElHashListError("Hash is absent.");
    return i;
}

void* TElHashList::Find(const std::string& key) const {
    const int i = IndexOf(key);
    return i < 0 ? nullptr : items_[i].Object;
}

void* TElHashList::GetItem(int index) const {
    if (index < 0 || index >= Count())
        throw EElHashListError("Invalid index.");
    return items_[index].Object;
}

void TElHashList::Clear() {
    for (const TEntry& entry : items_)
        Release(entry.Object);
    items_.clear();
    SetCapacity(0);
}

void TElHashList::SetCapacity(int n) {
    if (n < Count() || n > MaxCapacity)
        throw EElHashListError("Invalid ElHashList capacity.");
    if (n == capacity_)
        return;
    if (n > capacity_) {
        items_.reserve(static_cast<std::size_t>(n));
    } else {
        std::vector<TEntry> smaller;
        smaller.reserve(static_cast<std::size_t>(n));
        for (TEntry& entry : items_)
            smaller.push_back(std::move(entry));
        items_.swap(smaller);
    }
    capacity_ = n;
}

void TElHashList::Grow() {
    int delta = 4;
    if (capacity_ > 64)
        delta = capacity_ / 4;
    else if (capacity_ > 8)
        delta = 16;
    SetCapacity(capacity_ + delta);
}

void TElHashList::SetHashKind(std::uint8_t kind) {
    if (kind == hashKind_)
        return;
    Clear();
    hashKind_ = kind;
}

void TElHashList::SetUseCustomHash(bool value) {
    if (value == UseCustomHash())
        return;
    Clear();
    // Turning the custom hash off falls back to the kind a new list has.
    hashKind_ = value ? hkCustom : hkMD5;
}
