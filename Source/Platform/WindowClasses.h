#pragma once

#include <windows.h>

#include <string>

// The window classes of the layer and the ids of its child windows, per thread.

// Registers the class name with the layer's window procedure, once per thread.
void RegisterLayerClass(const char* name, UINT style, int background, LPCSTR cursor, HICON icon);
// The id of the next child control made on this thread.
int NextControlId() noexcept;
// A hidden top-level window of its own class (registered on first use) and procedure.
HWND CreateHiddenWindow(const char* className, WNDPROC procedure, const std::string& title);
