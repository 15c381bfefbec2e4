#pragma once

#include "MouseButtons.h"

#include <windows.h>

// How a message reaches the object of its window: the procedure of the layer's window classes,
// the subclass procedure of the system controls, and what they share.

// Finds the window's object (bound on WM_NCCREATE) and hands it the message.
LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
// Put on a system control: its object's Dispatch, or the control's own procedure once the
// object is gone.
LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

bool IsCtlColor(UINT msg) noexcept;
// The child window that sent a notification, when the message is one.
HWND NotificationSource(UINT msg, WPARAM wp, LPARAM lp) noexcept;

// From the MK_* flags of a mouse message (Alt from the keyboard state).
TShiftState ShiftFromMouseKeys(WPARAM keys) noexcept;
// From the key data of a key message (Alt from bit 29, Shift and Ctrl from the keyboard state).
TShiftState ShiftFromKeyData(LPARAM keyData) noexcept;

// Shows the exception being handled (call inside a catch block) in the application's message
// box; never raises. Every window procedure of the layer ends in it.
void HandleException() noexcept;
