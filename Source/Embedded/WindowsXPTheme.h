#pragma once

#include <windows.h>

// The visual-style entry points, looked up on first use (never while the loader lock is held).
struct TThemeEntryPoints {
    bool Loaded = false;
    FARPROC OpenThemeData = nullptr;
    FARPROC DrawThemeBackground = nullptr;
    FARPROC CloseThemeData = nullptr;
    FARPROC DrawThemeText = nullptr;
    FARPROC IsThemeBackgroundPartiallyTransparent = nullptr;
    FARPROC DrawThemeParentBackground = nullptr;
    FARPROC DrawThemeEdge = nullptr;
    FARPROC IsThemePartDefined = nullptr;
};

const TThemeEntryPoints& ThemeEntryPoints();
// Frees the theme library; called by the library's own shutdown, outside DllMain.
void FreeThemeLibrary();
