#include "AppSpecificConsts.h"
#include "Handles.h"
#include "HookInstallation.h"
#include "ModuleFiles.h"
#include "TaskBar.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string ProgramFolder() {
    return ModuleFolder();
}

HANDLE OpenHookMapping() {
    return OpenFileMappingA(FILE_MAP_READ, FALSE, HookMappingName);
}

class HookInstallationTest : public ::testing::Test {
protected:
    void SetUp() override { ApplicationFolder = ProgramFolder(); }
    void TearDown() override { ApplicationFolder.clear(); }
};

TEST_F(HookInstallationTest, PublishesTheHookHandleWhileInstalled) {
    THookInstallation hook;
    ASSERT_TRUE(hook.Install());
    ASSERT_NE(hook.Hook(), nullptr);
    UniqueHandle mapping(OpenHookMapping());
    ASSERT_TRUE(mapping);
    MappedView view = MapView(mapping.Get(), FILE_MAP_READ, 4);
    ASSERT_TRUE(view);
    std::int32_t value = 0;
    std::memcpy(&value, view.Get(), 4);
    EXPECT_EQ(reinterpret_cast<HHOOK>(static_cast<std::intptr_t>(value)), hook.Hook());
    EXPECT_TRUE(hook.Install()) << "a second install keeps the first hook";
}

TEST_F(HookInstallationTest, RemoveUnpublishesAndMayRunTwice) {
    THookInstallation hook;
    ASSERT_TRUE(hook.Install());
    hook.Remove();
    EXPECT_EQ(hook.Hook(), nullptr);
    EXPECT_EQ(hook.Library(), nullptr);
    UniqueHandle mapping(OpenHookMapping());
    EXPECT_FALSE(mapping);
    hook.Remove();
    EXPECT_FALSE(hook.Published());
}

TEST_F(HookInstallationTest, MissingLibraryFailsAndLeavesNoMapping) {
    ApplicationFolder = ProgramFolder() + "no such folder\\";
    THookInstallation hook;
    EXPECT_FALSE(hook.Install());
    UniqueHandle mapping(OpenHookMapping());
    EXPECT_FALSE(mapping);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(TaskBar, IconIsAddedModifiedAndDeletedOnItsWindow) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = PlainProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "GLZ_TrayTestWindow";
    RegisterClassA(&cls);
    HWND window =
        CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    HICON idle = LoadIconA(GetModuleHandleA(nullptr), TrayIconDefault);
    ASSERT_NE(idle, nullptr);
    EXPECT_TRUE(AddTrayIcon(window, 0, idle, WM_APP, std::string(100, 't')));
    for (int frame = 1; frame <= 4; ++frame) {
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), (TrayIconSelected + std::to_string(frame)).c_str());
        ASSERT_NE(icon, nullptr) << frame;
        EXPECT_TRUE(ModifyTrayIcon(window, 0, NIF_ICON, icon)) << frame;
    }
    EXPECT_TRUE(DeleteTrayIcon(window, 0));
    EXPECT_FALSE(DeleteTrayIcon(window, 0));
    DestroyWindow(window);
}

TEST(TaskBar, TipIsCutTo63Characters) {
    EXPECT_EQ(TrayTip(std::string(100, 'x')), std::string(63, 'x'));
    EXPECT_EQ(TrayTip("Glazlo"), "Glazlo");
    // A cut never leaves half of a character of the program's UTF-8 texts.
    EXPECT_EQ(TrayTip(std::string(62, 'x') + "\xE4\xB8\xAD"), std::string(62, 'x'));
}

TEST(TaskBar, IconsHaveBothSizes) {
    for (const int size : {16, 32}) {
        const UniqueIcon icon(static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), TrayIconDefault, IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
        const UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
    }
}

} // namespace

namespace {

// A text of the version resource's English block; empty when absent.
std::string VersionText(const std::vector<char>& block, const char* name) {
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0)
        return {};
    return std::string(value, length - 1);
}

} // namespace

TEST(Deliverables, EachCarriesItsVersionInformationAndManifest) {
    for (const char* file : {"glzemb.dll", "GlazloCenter.exe", "GlazloConfig.exe"}) {
        const std::string path = ProgramFolder() + file;
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_NE(0u, size) << file;
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data())) << file;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) << file;
        EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature) << file;
        EXPECT_EQ(std::string(file).ends_with(".dll") ? VFT_DLL : VFT_APP, fixed->dwFileType) << file;
        EXPECT_EQ(file, VersionText(block, "OriginalFilename"));
        EXPECT_EQ("Glazlo", VersionText(block, "ProductName")) << file;

        const UniqueModule module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module) << file;
        // A library's manifest has the number 2, so that it never changes its host's activation.
        const auto id = std::string(file).ends_with(".dll") ? MAKEINTRESOURCEA(2) : MAKEINTRESOURCEA(1);
        EXPECT_NE(nullptr, FindResourceA(module.Get(), id, MAKEINTRESOURCEA(24))) << file;
    }
}

TEST(Deliverables, LibraryCarriesTheOperationPicturesByName) {
    const UniqueModule library(LoadLibraryA((ProgramFolder() + "glzemb.dll").c_str()));
    ASSERT_TRUE(library);
    for (const char* name :
         {"MAKETRANSPARENTON", "MAKETRANSPARENTOFF", "MAKETRANSPARENTON_SMALL", "MAKETRANSPARENTOFF_SMALL",
          "STAYONTOPON", "STAYONTOPOFF", "STAYONTOPON_SMALL", "STAYONTOPOFF_SMALL"}) {
        const UniqueBitmap bitmap(LoadBitmapA(library.Get(), name));
        EXPECT_TRUE(bitmap) << name;
        BITMAP info{};
        if (bitmap) {
            EXPECT_NE(0, GetObjectA(bitmap.Get(), sizeof info, &info)) << name;
            EXPECT_EQ(std::string(name).ends_with("_SMALL") ? 16 : 24, info.bmWidth) << name;
        }
    }
}
