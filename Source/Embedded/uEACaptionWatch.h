#pragma once

#include <windows.h>

// Many programs set a window's caption after creating it, so a rule that names the caption is
// missed when the window is asked for at its creation. A top-level window that has no rule is
// asked for again once its caption has changed: after a short pause, at most once a pause per
// window, never while a fetch for it runs and never once it has a rule.
// Both run on the window's own thread, from the hook procedure, behind its guard.
void CaptionChanged(HWND window);
void StopCaptionWatch(HWND window);

// Milliseconds between a caption change and the next question for the window.
inline constexpr UINT CaptionRecheckPause = 250;
