#include "AppSpecificConsts.h"
#include "ConfigBuilderTestSupport.h"
#include "GeneralOptions.h"

#include <gtest/gtest.h>

namespace {

// Leaves the test prefix's settings as it found them: a Run value left behind would start
// GlazloCenter with the next Wine session.
class Options : public ::testing::Test {
protected:
    void SetUp() override {
        savedFolder_ = ApplicationFolder;
        Clear();
    }
    void TearDown() override {
        Clear();
        ApplicationFolder = savedFolder_;
    }
    static void Clear() {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, RunValueName);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, CommandCenterKey, TrayIconValueName);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, ProductKeyName, LanguageValueName);
    }

private:
    std::string savedFolder_;
};

TEST_F(Options, NothingStoredShowsTheDefaults) {
    const TGeneralOptions options = ReadGeneralOptions();
    EXPECT_TRUE(options.TrayIcon);
    EXPECT_FALSE(options.LoadAtStartup);
    EXPECT_EQ("", options.Language);
}

TEST_F(Options, RunValueIsQuotedWhenThePathHasABlank) {
    ApplicationFolder = "C:\\Program Files\\Glazlo\\";
    WriteGeneralOptions(true, false, std::string("de"));
    EXPECT_EQ("\"C:\\Program Files\\Glazlo\\GlazloCenter.exe\"", RegString(RunKey, RunValueName));
    EXPECT_EQ("de", RegString(ProductKeyName, LanguageValueName));
    const TGeneralOptions options = ReadGeneralOptions();
    EXPECT_TRUE(options.LoadAtStartup);
    EXPECT_FALSE(options.TrayIcon);

    ApplicationFolder = "C:\\Glazlo\\";
    WriteGeneralOptions(true, true, std::nullopt);
    EXPECT_EQ("C:\\Glazlo\\GlazloCenter.exe", RegString(RunKey, RunValueName));
    EXPECT_EQ("de", RegString(ProductKeyName, LanguageValueName));
    EXPECT_TRUE(ReadGeneralOptions().TrayIcon);

    WriteGeneralOptions(false, true, std::nullopt);
    EXPECT_EQ("<none>", RegString(RunKey, RunValueName));
}

TEST_F(Options, EitherFormOfTheRunValueCounts) {
    ApplicationFolder = "C:\\Program Files\\Glazlo\\";
    EXPECT_TRUE(RunValueStartsControlCenter("\"c:\\program files\\glazlo\\GlazloCenter.exe\" /tray"));
    EXPECT_TRUE(RunValueStartsControlCenter("C:\\Program Files\\Glazlo\\GlazloCenter.exe"));
    EXPECT_FALSE(RunValueStartsControlCenter("C:\\Program Files\\Other\\GlazloCenter.exe"));
    EXPECT_FALSE(RunValueStartsControlCenter(""));
}

} // namespace
