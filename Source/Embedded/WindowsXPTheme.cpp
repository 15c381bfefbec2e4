#include "WindowsXPTheme.h"

#include "Handles.h"

namespace {

SRWLOCK themeLock = SRWLOCK_INIT;
TThemeEntryPoints entries;
HMODULE themeLibrary = nullptr;
bool lookedUp = false;

bool ThemesOffered() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwBuildNumber >= 2462;
}

} // namespace

const TThemeEntryPoints& ThemeEntryPoints() {
    const SlimLock guard(themeLock);
    if (!lookedUp) {
        lookedUp = true;
        if (ThemesOffered())
            themeLibrary = LoadLibraryA("uxtheme.dll");
        if (themeLibrary != nullptr) {
            entries.Loaded = true;
            entries.OpenThemeData = GetProcAddress(themeLibrary, "OpenThemeData");
            entries.DrawThemeBackground = GetProcAddress(themeLibrary, "DrawThemeBackground");
            entries.CloseThemeData = GetProcAddress(themeLibrary, "CloseThemeData");
            entries.DrawThemeText = GetProcAddress(themeLibrary, "DrawThemeText");
            entries.IsThemeBackgroundPartiallyTransparent =
                GetProcAddress(themeLibrary, "IsThemeBackgroundPartiallyTransparent");
            entries.DrawThemeParentBackground = GetProcAddress(themeLibrary, "DrawThemeParentBackground");
            entries.DrawThemeEdge = GetProcAddress(themeLibrary, "DrawThemeEdge");
            entries.IsThemePartDefined = GetProcAddress(themeLibrary, "IsThemePartDefined");
        }
    }
    return entries;
}

void FreeThemeLibrary() {
    const SlimLock guard(themeLock);
    if (themeLibrary != nullptr)
        FreeLibrary(themeLibrary);
    themeLibrary = nullptr;
    entries = {};
    lookedUp = false;
}
