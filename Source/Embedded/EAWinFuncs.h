#pragma once

#include <windows.h>

// What a window's layering was before we first made it layered, so that it can be put back.
struct TLayeredState {
    bool Layered = false;       // WS_EX_LAYERED was set
    bool HasAttributes = false; // its attributes could be read
    COLORREF Key = 0;
    BYTE Alpha = 255;
    DWORD Flags = 0;
};

TLayeredState CaptureLayeredState(HWND window);

// Makes the window layered at Percent opacity (above 100 counts as 100; below 0 is no usable
// level and gives full opacity). False when the system has no layered-window function.
bool SetWindowAlphaPercent(HWND window, int percent);

// The transparency and ghost actions of every extender in this process share a window's
// layering: the first hold makes the window layered (fully opaque when it was not), the last
// release takes the style away again unless the host had layered the window itself.
void HoldLayering(HWND window);
// The attributes the window had before the first hold, or full opacity when it had none.
// Nothing is written to a window that is no longer layered: that would leave it undrawn.
void RestoreLayeredAttributes(HWND window);
void ReleaseLayering(HWND window);
