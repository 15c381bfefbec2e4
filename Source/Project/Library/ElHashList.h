#pragma once

#include "CryptMd5.h"
#include "Errors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class EElHashListError : public Exception {
public:
    using Exception::Exception;
};

// Ordered entries of key digest and object pointer, searched linearly. The key text is kept
// beside its digest, so two keys whose digests collide stay two keys.
class TElHashList {
public:
    enum THashKind : std::uint8_t { hkMD5 = 0, hkCustom = 1, hkCRC32 = 2 };
    enum TDuplicatesPolicy : std::uint8_t { dpInsert = 0, dpRaise = 1, dpReplace = 2, dpIgnore = 3 };
    static constexpr int MaxCapacity = 0x7FFFFFF;

    using TDeleteEvent = std::function<void(TElHashList& sender, void* object)>;
    using TFreeObject = std::function<void(void* object)>;

    TElHashList() = default;
    TElHashList(const TElHashList&) = delete;
    TElHashList& operator=(const TElHashList&) = delete;
    virtual ~TElHashList();

    void Add(std::string_view key, void* object) { Insert(count_, key, object); }
    void Insert(int index, std::string_view key, void* object);
    void Delete(std::string_view key);
    void DeleteAt(int index);
    void* Find(std::string_view key) const;
    int IndexOf(std::string_view key) const;
    void* GetItem(int index) const;
    void Clear();

    int Count() const noexcept { return count_; }
    int Capacity() const noexcept { return capacity_; }
    void SetCapacity(int capacity);
    void Grow();

    THashKind HashKind() const noexcept { return hashKind_; }
    void SetHashKind(THashKind kind);
    bool UseCustomHash() const noexcept { return hashKind_ == hkCustom; }
    void SetUseCustomHash(bool value);
    bool OwnsObjects() const noexcept { return ownsObjects_; }
    void SetOwnsObjects(bool value) noexcept { ownsObjects_ = value; }

    // Plain settings of the owner.
    bool CaseInsensitive = false;
    TDuplicatesPolicy DuplicatesPolicy = dpInsert;
    bool RaiseIfAbsent = false;
    TDeleteEvent OnDelete;
    // How an owned object is freed; an owning list without it frees nothing.
    TFreeObject FreeObject;

protected:
    // The custom hash: h := h * 5 + byte for each byte.
    virtual std::uint32_t HashKey(std::string_view key) const;

private:
    struct TEntry {
        std::uint32_t hash = 0;
        TMD5Digest digest{};
        std::string key;
        void* object = nullptr;
    };

    TEntry MakeEntry(std::string_view key, void* object) const;
    int Search(const TEntry& probe) const;
    void Release(TEntry& entry);

    std::vector<TEntry> items_;
    int count_ = 0;
    int capacity_ = 0;
    THashKind hashKind_ = hkMD5;
    bool ownsObjects_ = false;
};
