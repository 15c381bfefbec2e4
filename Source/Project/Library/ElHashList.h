#pragma once

#include "CryptMd5.h"
#include "Errors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class EElHashListError : public Exception {
public:
    using Exception::Exception;
};

// Ordered entries of key digest and object pointer, searched linearly. The key text is kept
// too, so that two different keys with equal digests stay two keys.
class TElHashList {
public:
    enum : std::uint8_t { hkMD5 = 0, hkCustom = 1, hkCRC32 = 2 };
    enum : std::uint8_t { dpInsert = 0, dpRaise = 1, dpReplace = 2, dpIgnore = 3 };
    static constexpr int MaxCapacity = 0x7FFFFFF;

    using TDeleteEvent = std::function<void(TElHashList& sender, void* object)>;
    using TFreeObject = std::function<void(void* object)>;

    TElHashList() = default;
    TElHashList(const TElHashList&) = delete;
    TElHashList& operator=(const TElHashList&) = delete;
    virtual ~TElHashList();

    void Add(const std::string& key, void* object) { Insert(Count(), key, object); }
    void Insert(int index, const std::string& key, void* object);
    void Delete(const std::string& key);
    void DeleteAt(int index);
    // Gives the entry at index another key in place; a key that another entry holds raises
    // "Duplicate entry." and changes nothing.
    void Rekey(int index, const std::string& key);
    void* Find(const std::string& key) const;
    int IndexOf(const std::string& key) const;
    void* GetItem(int index) const;
    void Clear();

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    int Capacity() const noexcept { return capacity_; }
    void SetCapacity(int n);
    void Grow();

    std::uint8_t HashKind() const noexcept { return hashKind_; }
    void SetHashKind(std::uint8_t kind);
    bool UseCustomHash() const noexcept { return hashKind_ == hkCustom; }
    void SetUseCustomHash(bool value);
    bool OwnsObjects() const noexcept { return ownsObjects_; }
    void SetOwnsObjects(bool value) noexcept { ownsObjects_ = value; }

    // Plain settings of the owner.
    bool CaseInsensitive = false;
    std::uint8_t DuplicatesPolicy = dpInsert;
    bool RaiseIfAbsent = false;
    TDeleteEvent OnDelete;
    // How an owned object is freed (untyped pointers carry no destructor of their own).
    TFreeObject FreeObject;

protected:
    // The custom hash: h := h * 5 + byte.
    virtual std::uint32_t HashKey(const std::string& key) const;

private:
    struct TEntry {
        std::string Key;
        std::uint32_t Hash = 0;
        TMD5Digest Digest{};
        void* Object = nullptr;
    };

    TEntry MakeEntry(const std::string& key, void* object) const;
    int Search(const TEntry& probe) const;
    void Release(void* object);

    std::vector<TEntry> items_;
    int capacity_ = 0;
    std::uint8_t hashKind_ = hkMD5;
    bool ownsObjects_ = false;
};

// Upper-cases ASCII a to z only.
std::string AsciiUpper(std::string text);
