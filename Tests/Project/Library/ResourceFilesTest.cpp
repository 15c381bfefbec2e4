#include "ResourceFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ResourceFiles, TempFileNameIsANewEmptyFileWithThePrefix) {
    const std::string first = MakeTempFileName("~ln");
    const std::string second = MakeTempFileName("~ln");
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::file_size(first), 0u);
    EXPECT_EQ(fs::path(first).filename().string().rfind("~ln", 0), 0u);
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
}

TEST(ResourceFiles, BuiltInLanguageIsPlainAsciiXmlWithCrLf) {
    const std::string file = MakeTempFileName("~ln");
    ASSERT_TRUE(SaveResourceToFile(GetModuleHandleA(nullptr), "DEFAULTLNG", RT_RCDATA, file));
    const std::string raw = ReadAll(file);
    DeleteFileA(file.c_str());
    EXPECT_EQ(raw.rfind("<?xml version=\"1.0\"?>\r\n", 0), 0u);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        ASSERT_LT(static_cast<unsigned char>(raw[i]), 128u) << i;
        if (raw[i] == '\n') {
            ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << i;
        }
    }
    EXPECT_NE(raw.find("<language id=\"en\" name=\"English\" version=\"OXB 1.3\">"), std::string::npos);
}

TEST(ResourceFiles, MissingResourceOrUnwritableFileGivesFalse) {
    const std::string file = MakeTempFileName("~ln");
    EXPECT_FALSE(SaveResourceToFile(GetModuleHandleA(nullptr), "NOSUCHRESOURCE", RT_RCDATA, file));
    EXPECT_FALSE(SaveResourceToFile(GetModuleHandleA(nullptr), "DEFAULTLNG", RT_RCDATA,
                                    (fs::path(file).parent_path() / "no such folder" / "x.lng").string()));
    DeleteFileA(file.c_str());
}

TEST(ResourceFiles, ExistingFileIsOverwritten) {
    const std::string file = MakeTempFileName("~ln");
    std::ofstream(file, std::ios::binary) << std::string(100000, 'x');
    ASSERT_TRUE(SaveResourceToFile(GetModuleHandleA(nullptr), "DEFAULTLNG", RT_RCDATA, file));
    const std::string raw = ReadAll(file);
    DeleteFileA(file.c_str());
    EXPECT_EQ(raw.find('x' + std::string(10, 'x')), std::string::npos);
}

} // namespace
