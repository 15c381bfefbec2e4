#include "LanguageSetting.h"

#include <windows.h>

namespace {
constexpr const char* ProductKey = "SOFTWARE\\Quenda Tools\\Glazlo";
constexpr const char* LanguageValue = "Language";

class RegKey {
public:
    explicit RegKey(HKEY key) noexcept : key_(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    HKEY Get() const noexcept { return key_; }

private:
    HKEY key_;
};
} // namespace

std::string ReadLanguageSetting() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ProductKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return {};
    RegKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), LanguageValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    // Another type (a number written by hand, say) must not stop the program: built-in language.
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return {};
    std::string text(size, '\0');
    if (RegQueryValueExA(key.Get(), LanguageValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    text.resize(size);
    // The stored string may or may not carry its terminator.
    if (auto end = text.find('\0'); end != std::string::npos)
        text.resize(end);
    return text;
}
