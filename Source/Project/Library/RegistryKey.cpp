#include "RegistryKey.h"

#include <algorithm>

#include "TextConversion.h"

namespace {

// Key and value names and texts are UTF-8; the wide calls carry them whatever the code page of
// the process (glzemb runs in hosts of any code page).
LONG QueryValue(HKEY key, const std::wstring& name, DWORD* type, void* data, DWORD* size) noexcept {
    return RegQueryValueExW(key, name.c_str(), nullptr, type, static_cast<BYTE*>(data), size);
}

bool IsText(DWORD type) noexcept {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// A text value; nothing when it is missing or of another type.
std::optional<std::string> ReadText(HKEY key, const std::wstring& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (QueryValue(key, name, &type, nullptr, &size) != ERROR_SUCCESS || !IsText(type))
        return std::nullopt;
    // The value may change between the two calls: ask again while the buffer is too small.
    std::wstring text;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        text.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        result = QueryValue(key, name, &type, text.data(), &size);
    }
    if (result != ERROR_SUCCESS || !IsText(type))
        return std::nullopt;
    text.resize(std::min<std::size_t>(size / sizeof(wchar_t), text.size()));
    // The stored string may or may not carry its terminator.
    if (const auto end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    return WideToUtf8(text);
}

} // namespace

TRegistryKey TRegistryKey::Open(HKEY root, const std::string& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Utf8ToWide(path).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::Create(HKEY root, const std::string& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, Utf8ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

bool TRegistryKey::HasValue(const std::string& name) const noexcept {
    return Get() != nullptr &&
           QueryValue(Get(), Utf8ToWide(name), nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> TRegistryKey::ReadString(const std::string& name) const {
    if (Get() == nullptr)
        return std::nullopt;
    DWORD type = 0;
    if (QueryValue(Get(), Utf8ToWide(name), &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD) {
        const auto number = ReadDword(name);
        return number ? std::optional(std::to_string(*number)) : std::nullopt;
    }
    return ReadText(Get(), Utf8ToWide(name));
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
    if (QueryValue(Get(), Utf8ToWide(name), &type, &value, &size) != ERROR_SUCCESS || type != REG_DWORD ||
        size != sizeof(value))
        return std::nullopt;
    return value;
}

bool TRegistryKey::ReadBool(const std::string& name, bool fallback) const noexcept {
    const auto value = ReadDword(name);
    return value ? *value != 0 : fallback;
}

bool TRegistryKey::WriteString(const std::string& name, const std::string& value) const noexcept {
    const std::wstring text = Utf8ToWide(value);
    return Get() != nullptr &&
           RegSetValueExW(Get(), Utf8ToWide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool TRegistryKey::WriteDword(const std::string& name, DWORD value) const noexcept {
    return Get() != nullptr &&
           RegSetValueExW(Get(), Utf8ToWide(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool TRegistryKey::DeleteValue(const std::string& name) const noexcept {
    return Get() != nullptr && RegDeleteValueW(Get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
}

bool TRegistryKey::DeleteSubKey(const std::string& name) const noexcept {
    // An empty name would delete what lies below this key itself.
    return Get() != nullptr && !name.empty() &&
           RegDeleteTreeW(Get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> TRegistryKey::ValueNames() const {
    std::vector<std::string> names;
    if (Get() == nullptr)
        return names;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring name(longest + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumValueW(Get(), index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(WideToUtf8(name.substr(0, size)));
    }
    return names;
}
