#include "LanguageSetting.h"

#include "RegistryKey.h"

namespace {
constexpr const char* ProductKey = "SOFTWARE\\Quenda Tools\\Glazlo";
constexpr const char* LanguageValue = "Language";
} // namespace

std::string ReadLanguageSetting() {
    const TRegistryKey key = TRegistryKey::Open(HKEY_CURRENT_USER, ProductKey);
    // A number written by hand must not stop the program: built-in language.
    if (key.ReadDword(LanguageValue))
        return {};
    return key.ReadString(LanguageValue, std::string());
}
