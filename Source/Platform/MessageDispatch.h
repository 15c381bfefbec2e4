#pragma once

#include "MouseButtons.h"

#include <windows.h>

// How a message reaches the object of its window: the procedure of the layer's window classes,
// the subclass procedure of the system controls, and what they share.

// Finds the window's object (bound on WM_NCCREATE) and hands it the message.
LRESULT CALLBACK LayerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
// The layer's one subclass procedure, put on a system control (its object's Dispatch) or on a
// watched window (its watcher); the window's own procedure once either is gone.
LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

// A window's procedure, got, set and called through the variants of the window's own character
// set: a Unicode window (most system controls) stays one, so that typed characters of any script
// reach it whole. Calling a null procedure runs the default one.
WNDPROC GetWindowProcedure(HWND hwnd, bool unicode) noexcept;
bool SetWindowProcedure(HWND hwnd, WNDPROC procedure, bool unicode) noexcept;
LRESULT CallWindowProcedure(WNDPROC procedure, bool unicode, HWND hwnd, UINT msg, WPARAM wp,
                            LPARAM lp) noexcept;

// A part of the layer that sees the messages of a window it did not make (a host outside the
// layer, the edit of a combo box) before the window's own procedure, which it reaches through
// CallPrevious. Watched windows go through the same map and procedure as the system controls.
class TWindowWatcher {
public:
    virtual LRESULT WatchedMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept = 0;

protected:
    ~TWindowWatcher() = default;
};

// Puts the layer's procedure on hwnd for watcher (nothing when it watches hwnd already); false
// when the window is taken by a control of the layer or refuses a new procedure.
bool WatchWindow(HWND hwnd, TWindowWatcher* watcher) noexcept;
// The watcher hears no more of hwnd; the window gets its own procedure back unless another was
// put on it since. Called at the latest on WM_NCDESTROY.
void UnwatchWindow(HWND hwnd) noexcept;
// The procedure below the layer's on a watched window.
LRESULT CallPrevious(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

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
