#include "ElHashList.h"

#include "Routines.h"
#include "crc_32.h"

TElHashList::~TElHashList() {
    Clear();
}

std::uint32_t TElHashList::HashKey(std::string_view key) const {
    std::uint32_t h = 0;
    for (const unsigned char b : key)
        h = h * 5 + b;
    return h;
}

TElHashList::TEntry TElHashList::MakeEntry(std::string_view key, void* object) const {
    TEntry entry;
    entry.key = CaseInsensitive ? AsciiUpper(std::string(key)) : std::string(key);
    switch (hashKind_) {
    case hkMD5:
        entry.digest = TCrMD5::HashKey(entry.key);
        break;
    case hkCustom:
        entry.hash = HashKey(entry.key);
        break;
    case hkCRC32:
        entry.hash = CRC32(entry.key);
        break;
    }
    entry.object = object;
    return entry;
}

int TElHashList::Search(const TEntry& probe) const {
    for (int i = 0; i < count_; ++i) {
        const TEntry& entry = items_[i];
        const bool sameDigest = hashKind_ == hkMD5 ? entry.digest == probe.digest : entry.hash == probe.hash;
        if (sameDigest && entry.key == probe.key)
            return i;
    }
    return -1;
}

void TElHashList::Release(TEntry& entry) {
    if (OnDelete)
        OnDelete(*this, entry.object);
    if (ownsObjects_ && entry.object != nullptr && FreeObject)
        FreeObject(entry.object);
    entry.object = nullptr;
}

void TElHashList::Insert(int index, std::string_view key, void* object) {
    if (index < 0 || index > count_)
        throw EElHashListError("Invalid position for HashList.");
    TEntry entry = MakeEntry(key, object);
    const int existing = Search(entry);
    if (existing >= 0) {
        switch (DuplicatesPolicy) {
        case dpRaise:
            throw EElHashListError("Duplicate entry.");
        case dpReplace:
            if (OnDelete)
                OnDelete(*this, items_[existing].object);
            items_[existing].object = object;
            return;
        case dpIgnore:
            return;
        case dpInsert:
            break;
        }
    }
    if (count_ == capacity_)
        Grow();
    items_.insert(items_.begin() + index, std::move(entry));
    ++count_;
}

void TElHashList::Delete(std::string_view key) {
    const int index = IndexOf(key);
    if (index < 0 || index >= count_)
        throw EElHashListError("Hash not found.");
    DeleteAt(index);
}

void TElHashList::DeleteAt(int index) {
    if (index < 0 || index >= count_)
        throw EElHashListError("Invalid index.");
    Release(items_[index]);
    items_.erase(items_.begin() + index);
    --count_;
    if (count_ < capacity_ / 2)
        SetCapacity(capacity_ / 2);
}

int TElHashList::IndexOf(std::string_view key) const {
    const int index = Search(MakeEntry(key, nullptr));
    if (index < 0 && RaiseIfAbsent)
        throw EElHashListError("Hash is absent.");
    return index;
}

void* TElHashList::Find(std::string_view key) const {
    const int index = IndexOf(key);
    return index < 0 ? nullptr : items_[index].object;
}

void* TElHashList::GetItem(int index) const {
    if (index < 0 || index >= count_)
        throw EElHashListError("Invalid index.");
    return items_[index].object;
}

void TElHashList::Clear() {
    for (int i = 0; i < count_; ++i)
        Release(items_[i]);
    items_.clear();
    count_ = 0;
    SetCapacity(0);
}

void TElHashList::SetCapacity(int capacity) {
    if (capacity < count_ || capacity > MaxCapacity)
        throw EElHashListError("Invalid ElHashList capacity.");
    if (capacity == capacity_)
        return;
    capacity_ = capacity;
    if (static_cast<std::size_t>(capacity) < items_.capacity() / 2)
        items_.shrink_to_fit();
    items_.reserve(capacity);
}

void TElHashList::Grow() {
    int delta = 4;
    if (capacity_ > 64)
        delta = capacity_ / 4;
    else if (capacity_ > 8)
        delta = 16;
    SetCapacity(capacity_ + delta);
}

void TElHashList::SetHashKind(THashKind kind) {
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
