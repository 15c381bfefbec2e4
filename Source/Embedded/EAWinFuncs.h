#pragma once

#include <windows.h>

// What a window's layering was before we made it translucent, so that it can be put back.
struct TLayeredState {
    bool Layered = false;       // WS_EX_LAYERED was set
    bool HasAttributes = false; // its attributes could be read
    COLORREF Key = 0;
    BYTE Alpha = 255;
    DWORD Flags = 0;
};

TLayeredState CaptureLayeredState(HWND window);

// Makes the window layered at Percent opacity (clamped to 0..100). False when the system has
// no layered-window function.
bool SetWindowAlphaPercent(HWND window, int percent);

// Removes our translucency: a window that was layered before gets its own attributes back
// and keeps the style; the style is cleared only when we added it.
void RemoveWindowAlpha(HWND window, const TLayeredState& before = {});
