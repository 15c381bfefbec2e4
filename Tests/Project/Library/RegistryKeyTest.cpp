#include "RegistryKey.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr char TestKey[] = "SOFTWARE\\Quenda Tools\\Glazlo Tests\\RegistryKey";

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }
};

TEST_F(RegistryKeyTest, TypedValuesRoundTripAndOtherTypesReadAsMissing) {
    {
        const TRegistryKey key = TRegistryKey::Create(HKEY_CURRENT_USER, TestKey);
        ASSERT_TRUE(key);
        EXPECT_TRUE(key.WriteString("Text", "hello world"));
        EXPECT_TRUE(key.WriteDword("Number", 4000000000u));
        EXPECT_TRUE(key.WriteBool("Flag", true));
        EXPECT_TRUE(key.WriteString("Empty", ""));
    }
    const TRegistryKey key = TRegistryKey::Open(HKEY_CURRENT_USER, TestKey);
    ASSERT_TRUE(key);
    EXPECT_EQ("hello world", key.ReadString("Text", "x"));
    EXPECT_EQ("", key.ReadString("Empty", "x"));
    EXPECT_EQ("x", key.ReadString("Missing", "x"));
    EXPECT_EQ(4000000000u, key.ReadDword("Number"));
    EXPECT_EQ("4000000000", key.ReadString("Number", "x"));
    EXPECT_FALSE(key.ReadDword("Text"));
    EXPECT_TRUE(key.ReadBool("Flag", false));
    EXPECT_FALSE(key.ReadBool("Missing", false));
    EXPECT_TRUE(key.HasValue("Empty"));
    EXPECT_FALSE(key.HasValue("Missing"));
    auto names = key.ValueNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Empty", "Flag", "Number", "Text"}), names);
}

TEST_F(RegistryKeyTest, ReadAccessRefusesWritesAndSubkeysDeleteWithTheirChildren) {
    ASSERT_TRUE(TRegistryKey::Create(HKEY_CURRENT_USER, std::string(TestKey) + "\\Sub\\Deeper"));
    const TRegistryKey readOnly = TRegistryKey::Open(HKEY_CURRENT_USER, TestKey, KEY_READ);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly.WriteString("Text", "no"));
    EXPECT_FALSE(readOnly.HasValue("Text"));

    const TRegistryKey key = TRegistryKey::Open(HKEY_CURRENT_USER, TestKey, KEY_ALL_ACCESS);
    EXPECT_FALSE(key.DeleteSubKey(""));
    EXPECT_TRUE(key.DeleteSubKey("Sub"));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_CURRENT_USER, std::string(TestKey) + "\\Sub"));
    EXPECT_TRUE(TRegistryKey::Open(HKEY_CURRENT_USER, TestKey));
}

TEST_F(RegistryKeyTest, AMissingKeyGivesAnEmptyHolderThatReadsNothing) {
    const TRegistryKey missing = TRegistryKey::Open(HKEY_CURRENT_USER, std::string(TestKey) + "\\Missing");
    EXPECT_FALSE(missing);
    EXPECT_EQ("fallback", missing.ReadString("Any", "fallback"));
    EXPECT_FALSE(missing.WriteString("Any", "x"));
}

TEST_F(RegistryKeyTest, MovingHandsTheKeyOverAndClosesItOnce) {
    TRegistryKey first = TRegistryKey::Create(HKEY_CURRENT_USER, TestKey);
    const HKEY raw = first.Get();
    TRegistryKey second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(raw, second.Get());
    EXPECT_TRUE(second.WriteString("Moved", "yes"));
    second.Reset();
    EXPECT_FALSE(second);
}

} // namespace
