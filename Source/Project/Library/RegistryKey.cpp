#include "RegistryKey.h"

TRegistryKey TRegistryKey::Open(HKEY root, const std::string& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::Create(HKEY root, const std::string& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

bool TRegistryKey::HasValue(const std::string& name) const noexcept {
    return Get() != nullptr &&
           RegQueryValueExA(Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> TRegistryKey::ReadString(const std::string& name) const {
    if (Get() == nullptr)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD) {
        const auto number = ReadDword(name);
        return number ? std::optional(std::to_string(*number)) : std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    // The value may change between the two calls: ask again while the buffer is too small.
    std::string text;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        text.assign(size + 1, '\0');
        size = static_cast<DWORD>(text.size());
        result = RegQueryValueExA(Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                  &size);
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    text.resize(std::min<std::size_t>(size, text.size()));
    // The stored string may or may not carry its terminator.
    if (const auto end = text.find('\0'); end != std::string::npos)
        text.resize(end);
    return text;
}

std::string TRegistryKey::ReadString(const std::string& name, const std::string& fallback) const {
    return ReadString(name).value_or(fallback);
}

std::optional<DWORD> TRegistryKey::ReadDword(const std::string& name) const noexcept {
    if (Get() == nullptr)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

bool TRegistryKey::ReadBool(const std::string& name, bool fallback) const noexcept {
    const auto value = ReadDword(name);
    return value ? *value != 0 : fallback;
}

bool TRegistryKey::WriteString(const std::string& name, const std::string& value) const noexcept {
    return Get() != nullptr &&
           RegSetValueExA(Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool TRegistryKey::WriteDword(const std::string& name, DWORD value) const noexcept {
    return Get() != nullptr &&
           RegSetValueExA(Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

bool TRegistryKey::DeleteValue(const std::string& name) const noexcept {
    return Get() != nullptr && RegDeleteValueA(Get(), name.c_str()) == ERROR_SUCCESS;
}

bool TRegistryKey::DeleteSubKey(const std::string& name) const noexcept {
    // An empty name would delete what lies below this key itself.
    return Get() != nullptr && !name.empty() && RegDeleteTreeA(Get(), name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> TRegistryKey::ValueNames() const {
    std::vector<std::string> names;
    if (Get() == nullptr)
        return names;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::string name(longest + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumValueA(Get(), index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), size);
    }
    return names;
}
