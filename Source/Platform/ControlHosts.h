#pragma once

#include "Controls.h"

#include <windows.h>

#include <string>
#include <vector>

// The windows the layer's controls live in when they are not in one of the layer's
// containers: the thread's hidden parking window, and windows outside the layer that a
// control was placed into (subclassed to pass notifications back and to align the controls).

// Controls without a parent wait here, hidden; one window per thread.
HWND ParkingWindow();
// Subclasses host (once) so that the controls placed into it are served like in a container.
void AttachHost(HWND host);
// The layer's controls that sit directly in a window, in z-order (first placed first).
std::vector<TWinControl*> LayerChildrenOf(HWND parent);
// Lays out the children of a window of the layer or of a host outside it.
void RealignWindow(HWND window);
