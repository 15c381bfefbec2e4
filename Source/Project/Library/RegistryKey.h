#pragma once

#include "Handles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Owns an opened registry key, closed exactly once, with typed reads and writes of its values.
// Paths, names and texts are UTF-8, whatever the code page of the process.
// The predefined roots (HKEY_CURRENT_USER, ...) are never owned: Open and Create always hand
// out a key of their own, even for an empty path.
class TRegistryKey {
public:
    TRegistryKey() noexcept = default;

    // An empty holder when the key is missing or the root does not exist (HKEY_DYN_DATA).
    static TRegistryKey Open(HKEY root, const std::string& path, REGSAM access = KEY_READ) noexcept;
    // Creates the missing keys of path; empty when that is refused.
    static TRegistryKey Create(HKEY root, const std::string& path,
                               REGSAM access = KEY_READ | KEY_WRITE) noexcept;

    HKEY Get() const noexcept { return key_.Get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(key_); }
    void Reset() noexcept { key_.Reset(); }

    bool HasValue(const std::string& name) const noexcept;
    // Text values (REG_SZ, REG_EXPAND_SZ unexpanded); a DWORD reads as its decimal text.
    // Nothing when the value is missing or of another type.
    std::optional<std::string> ReadString(const std::string& name) const;
    std::string ReadString(const std::string& name, const std::string& fallback) const;
    // REG_DWORD values; nothing when missing or of another type.
    std::optional<DWORD> ReadDword(const std::string& name) const noexcept;
    bool ReadBool(const std::string& name, bool fallback) const noexcept;

    // Each answers whether the registry took the change.
    bool WriteString(const std::string& name, const std::string& value) const noexcept;
    bool WriteDword(const std::string& name, DWORD value) const noexcept;
    bool WriteBool(const std::string& name, bool value) const noexcept {
        return WriteDword(name, value ? 1 : 0);
    }
    bool DeleteValue(const std::string& name) const noexcept;
    // Deletes the subkey with everything below it.
    bool DeleteSubKey(const std::string& name) const noexcept;

    // Value names in the registry's enumeration order.
    std::vector<std::string> ValueNames() const;

private:
    explicit TRegistryKey(HKEY key) noexcept : key_(key) {}
    UniqueRegKey key_;
};
