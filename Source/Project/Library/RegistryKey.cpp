#include "RegistryKey.h"

#include <algorithm>

namespace {

LONG QueryValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size) noexcept {
    return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
}

LONG QueryValue(HKEY key, const wchar_t* name, DWORD* type, void* data, DWORD* size) noexcept {
    return RegQueryValueExW(key, name, nullptr, type, static_cast<BYTE*>(data), size);
}

bool IsText(DWORD type) noexcept {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// A text value; nothing when it is missing or of another type.
template <class Char> std::optional<std::basic_string<Char>> ReadText(HKEY key, const Char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (QueryValue(key, name, &type, nullptr, &size) != ERROR_SUCCESS || !IsText(type))
        return std::nullopt;
    // The value may change between the two calls: ask again while the buffer is too small.
    std::basic_string<Char> text;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        text.assign(size / sizeof(Char) + 1, Char());
        size = static_cast<DWORD>(text.size() * sizeof(Char));
        result = QueryValue(key, name, &type, text.data(), &size);
    }
    if (result != ERROR_SUCCESS || !IsText(type))
        return std::nullopt;
    text.resize(std::min<std::size_t>(size / sizeof(Char), text.size()));
    // The stored string may or may not carry its terminator.
    if (const auto end = text.find(Char()); end != std::basic_string<Char>::npos)
        text.resize(end);
    return text;
}

} // namespace

TRegistryKey TRegistryKey::Open(HKEY root, const std::string& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::Open(HKEY root, const std::wstring& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::Create(HKEY root, const std::wstring& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
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
    if (QueryValue(Get(), name.c_str(), &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD) {
        const auto number = ReadDword(name);
        return number ? std::optional(std::to_string(*number)) : std::nullopt;
    }
    return ReadText(Get(), name.c_str());
}

std::optional<std::wstring> TRegistryKey::ReadString(const std::wstring& name) const {
    if (Get() == nullptr)
        return std::nullopt;
    return ReadText(Get(), name.c_str());
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

bool TRegistryKey::WriteString(const std::wstring& name, const std::wstring& value) const noexcept {
    return Get() != nullptr &&
           RegSetValueExW(Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
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
