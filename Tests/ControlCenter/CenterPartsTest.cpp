#include "AppSpecificConsts.h"
#include "HookInstallation.h"
#include "TaskBar.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
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
    MappedView view = MappedView::Map(mapping.Get(), FILE_MAP_READ, 4);
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
}

TEST(TaskBar, IconsHaveBothSizes) {
    for (const int size : {16, 32}) {
        HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), TrayIconDefault, IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
}

} // namespace
