#pragma once

#include "Controls.h"

#include <windows.h>

#include <string>
#include <vector>

// Windows outside the layer that controls were made in: subclassed to pass notifications back
// and to align the controls, like the layer's own containers.

// Subclasses host (once) so that the controls made in it are served like in a container.
void AttachHost(HWND host);
// The layer's controls that sit directly in a window, in z-order (first made first).
std::vector<TWinControl*> LayerChildrenOf(HWND parent);
// Lays out the children of a window of the layer or of a host outside it.
void RealignWindow(HWND window);
