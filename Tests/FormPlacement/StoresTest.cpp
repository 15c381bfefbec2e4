#include "PlacementStores.h"
#include "PlacementStrings.h"
#include "PlacementTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(PlacementStrings, ReplaceAllNeverSearchesTheInsertedText) {
    EXPECT_EQ("aaaaaa", ReplaceAll("aaa", "a", "aa"));
    EXPECT_EQ("x-y-z", ReplaceAll("x, y, z", ", ", "-"));
    EXPECT_EQ("abc", ReplaceAll("abc", "", "z"));
    EXPECT_EQ("", ReplaceAll("abab", "ab", ""));
}

TEST(PlacementStrings, WordsAreRunsBetweenDelimiters) {
    const std::string text = " 10, 20,,30 ";
    EXPECT_EQ(3, CountWords(text, PositionDelimiters));
    EXPECT_EQ("10", NthWord(1, text, PositionDelimiters));
    EXPECT_EQ("20", NthWord(2, text, PositionDelimiters));
    EXPECT_EQ("30", NthWord(3, text, PositionDelimiters));
    EXPECT_EQ("", NthWord(5, text, PositionDelimiters));
    EXPECT_EQ(6, WordStart(2, text, PositionDelimiters));
    EXPECT_EQ(0, WordStart(0, text, PositionDelimiters));
    EXPECT_EQ(0, CountWords("", PositionDelimiters));
    EXPECT_EQ(3, CountWords("[fsBold, fsItalic,fsUnderline]", SetDelimiters));
    EXPECT_EQ("fsItalic", NthWord(2, "[fsBold, fsItalic,fsUnderline]", SetDelimiters));
}

TEST(PlacementStrings, XorHexScramblingIsReversible) {
    EXPECT_EQ("616263", XorToHex("", "abc"));
    EXPECT_EQ("abc", XorFromHex("", "616263"));
    EXPECT_EQ("a b", XorFromHex("", "61zz62"));
    EXPECT_EQ("a", XorFromHex("", "616"));
    // 'a' ^ 'k' = 0x0a, 'b' ^ 'e' = 0x07, 'c' ^ 'k' = 0x08: the key repeats.
    EXPECT_EQ("0a0708", XorToHex("ke", "abc"));
    const std::string text = "P\xe4ssw\xf6rd \x01\xff";
    const std::string hex = XorToHex("secret", text);
    EXPECT_EQ(text.size() * 2, hex.size());
    EXPECT_EQ(std::string::npos, hex.find_first_not_of("0123456789abcdef"));
    EXPECT_EQ(text, XorFromHex("secret", hex));
}

TEST(PlacementStores, IniStoreProtectsEnclosingQuotesAndRoundTrips) {
    TScratchIni ini("PlacementStores.ini");
    TIniFileStore store(ini.Path());
    StoreWriteText(&store, "Form", "Quoted", "'single'");
    StoreWriteText(&store, "Form", "Double", "\"double\"");
    StoreWriteText(&store, "Form", "Lone", "'");
    StoreWriteText(&store, "Form", "Plain", "plain text");
    StoreWriteInt(&store, "Form", "Number", -42);
    EXPECT_NE(std::string::npos, ini.Contents().find("Quoted=\"'single'\""));
    EXPECT_EQ("'single'", ini.Raw("Form", "Quoted"));
    EXPECT_EQ("\"double\"", ini.Raw("Form", "Double"));
    EXPECT_EQ("plain text", ini.Raw("Form", "Plain"));
    EXPECT_EQ("-42", ini.Raw("Form", "Number"));
    EXPECT_EQ("'single'", StoreReadText(&store, "Form", "Quoted", ""));
    EXPECT_EQ("'", StoreReadText(&store, "Form", "Lone", ""));
    EXPECT_EQ("fallback", StoreReadText(&store, "Form", "Missing", "fallback"));
    EXPECT_EQ(-42, StoreReadInt(&store, "Form", "Number", 0));
    // Values that fill the first read's room, or go beyond it, come back whole.
    for (const std::size_t length : {2046u, 2047u, 2048u, 9000u}) {
        const std::string value(length, 'v');
        StoreWriteText(&store, "Form", "Long", value);
        EXPECT_EQ(value, StoreReadText(&store, "Form", "Long", "")) << length;
    }

    store.EraseSection("Form");
    EXPECT_EQ("<missing>", ini.Raw("Form", "Plain"));
}

TEST(PlacementStores, RegistryStoreKeepsValuesAsTheyAreInSubkeys) {
    TScratchKey key("Stores");
    {
        TRegistryStore store(HKEY_CURRENT_USER, key.Path(), false);
        StoreWriteText(&store, "Form", "Quoted", "'single'");
        StoreWriteInt(&store, "Form", "Number", 1234);
    }
    EXPECT_EQ("'single'", key.Section("Form").ReadString("Quoted", ""));
    EXPECT_EQ("1234", key.Section("Form").ReadString("Number", ""));

    TRegistryStore reader(HKEY_CURRENT_USER, key.Path(), true);
    EXPECT_EQ(1234, StoreReadInt(&reader, "Form", "Number", 0));
    EXPECT_EQ("x", StoreReadText(&reader, "Other", "Quoted", "x"));
    StoreWriteText(&reader, "Form", "Refused", "no");
    EXPECT_FALSE(key.Section("Form").HasValue("Refused"));

    TRegistryStore writer(HKEY_CURRENT_USER, key.Path(), false);
    writer.EraseSection("Form");
    EXPECT_FALSE(key.Section("Form"));
}

TEST(PlacementStores, AReadOnlyStoreBelowTheCurrentUserCreatesItsKey) {
    TScratchKey key("Fresh");
    TRegistryStore reader(HKEY_CURRENT_USER, key.Path(), true);
    EXPECT_TRUE(reader.Opened());
    EXPECT_TRUE(TRegistryKey::Open(HKEY_CURRENT_USER, key.Path()));
}

TEST(PlacementStores, IntegersAcceptDollarHexAndTheIniStoreAlsoCHex) {
    TScratchKey key("Numbers");
    TScratchIni ini("PlacementNumbers.ini");
    TRegistryStore registry(HKEY_CURRENT_USER, key.Path(), false);
    TIniFileStore file(ini.Path());
    for (TPlacementStore* store :
         {static_cast<TPlacementStore*>(&registry), static_cast<TPlacementStore*>(&file)}) {
        StoreWriteText(store, "S", "Dollar", "$1F");
        StoreWriteText(store, "S", "CHex", "0x1F");
        StoreWriteText(store, "S", "Word", "abc");
        StoreWriteText(store, "S", "Trailing", "12abc");
        StoreWriteText(store, "S", "Huge", "99999999999");
        EXPECT_EQ(31, StoreReadInt(store, "S", "Dollar", 7));
        EXPECT_EQ(7, StoreReadInt(store, "S", "Word", 7));
        EXPECT_EQ(7, StoreReadInt(store, "S", "Trailing", 7));
        EXPECT_EQ(7, StoreReadInt(store, "S", "Huge", 7));
        EXPECT_EQ(7, StoreReadInt(store, "S", "Missing", 7));
    }
    EXPECT_EQ(7, StoreReadInt(&registry, "S", "CHex", 7));
    EXPECT_EQ(31, StoreReadInt(&file, "S", "CHex", 7));
}

TEST(PlacementStores, ScreenValuesPreferTheCurrentScreenSizeAndFallBackToThePlainName) {
    const std::string suffix = ScreenSizeSuffix();
    EXPECT_EQ("(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                  std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")",
              suffix);
    TScratchIni ini("PlacementScreen.ini");
    TIniFileStore store(ini.Path());
    StoreWriteText(&store, "S", "NormPos", "1,2,3,4");
    EXPECT_EQ("1,2,3,4", ReadScreenValue(&store, "S", "NormPos"));
    WriteScreenValue(&store, "S", "NormPos", "5,6,7,8");
    EXPECT_EQ("5,6,7,8", ini.Raw("S", "NormPos" + suffix));
    EXPECT_EQ("5,6,7,8", ini.Raw("S", "NormPos"));
    StoreWriteText(&store, "S", "NormPos", "9,9,9,9");
    EXPECT_EQ("5,6,7,8", ReadScreenValue(&store, "S", "NormPos"));
    EXPECT_EQ("", ReadScreenValue(&store, "S", "MinMaxPos"));
}

TEST(PlacementStores, DynamicDataRootReadsDefaultsAndRaisesNothing) {
    TRegistryStore store(HKEY_DYN_DATA, "Software\\Glazlo Tests", false);
    EXPECT_FALSE(store.Opened());
    EXPECT_NO_THROW(StoreWriteText(&store, "S", "Value", "x"));
    EXPECT_NO_THROW(store.EraseSection("S"));
    EXPECT_EQ("default", StoreReadText(&store, "S", "Value", "default"));
    EXPECT_EQ(5, StoreReadInt(&store, "S", "Value", 5));
    TRegistryStore reader(HKEY_DYN_DATA, "Software\\Glazlo Tests", true);
    EXPECT_EQ("default", StoreReadText(&reader, "S", "Value", "default"));
}

TEST(PlacementStores, NoStoreReadsDefaultsAndProgramNamesGiveTheDefaultStores) {
    EXPECT_EQ("d", StoreReadText(nullptr, "S", "I", "d"));
    EXPECT_EQ(3, StoreReadInt(nullptr, "S", "I", 3));
    EXPECT_NO_THROW(StoreWriteInt(nullptr, "S", "I", 3));
    EXPECT_EQ("FormPlacementTest.INI", DefaultIniFileName());
    EXPECT_EQ("Software\\FormPlacementTest", DefaultRegistryKey());
}

} // namespace
