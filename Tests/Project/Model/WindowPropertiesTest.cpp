#include "LanguageSetting.h"
#include "WindowProperties.h"

#include <gtest/gtest.h>

TEST(WindowProperties, CaptionMatchesExactlyOrAsSubstring) {
    EXPECT_TRUE(CaptionMatches("Untitled - Notepad", "Untitled - Notepad", true));
    EXPECT_FALSE(CaptionMatches("Untitled - Notepad", "Notepad", true));
    EXPECT_TRUE(CaptionMatches("Untitled - Notepad", "Notepad", false));
    EXPECT_FALSE(CaptionMatches("Untitled - Notepad", "notepad", false));
    EXPECT_FALSE(CaptionMatches("Untitled - Notepad", "untitled - notepad", true));
}

namespace {
const char* const ProductKey = "SOFTWARE\\Quenda Tools\\Glazlo";

void SetLanguageValue(DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, ProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Language", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void DeleteLanguageValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ProductKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Language");
        RegCloseKey(key);
    }
}
} // namespace

TEST(LanguageSetting, StringValueIsTheLanguageId) {
    SetLanguageValue(REG_SZ, "RUS", 4);
    EXPECT_EQ(ReadLanguageSetting(), "RUS");
    DeleteLanguageValue();
}

TEST(LanguageSetting, DwordValueReadsAsBuiltInLanguage) {
    const DWORD number = 1049;
    SetLanguageValue(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(ReadLanguageSetting(), "");
    DeleteLanguageValue();
}

TEST(LanguageSetting, MissingValueReadsAsBuiltInLanguage) {
    DeleteLanguageValue();
    EXPECT_EQ(ReadLanguageSetting(), "");
}
