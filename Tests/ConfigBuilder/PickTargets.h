#pragma once

#include "Handles.h"

#include <windows.h>

// The windows of GlzPickTargets.exe, started for one test and closed with it.
class TPickTargets {
public:
    TPickTargets();
    ~TPickTargets();
    TPickTargets(const TPickTargets&) = delete;
    TPickTargets& operator=(const TPickTargets&) = delete;

    bool Ready() const noexcept {
        return one != nullptr && two != nullptr && dialog != nullptr && button != nullptr;
    }

    HWND one = nullptr;
    HWND two = nullptr;
    HWND dialog = nullptr;
    HWND button = nullptr;

private:
    UniqueHandle process_;
};

// Delivers every message already queued for this thread (posted mouse input included).
void Deliver();

// A point inside w's client area, in screen coordinates.
POINT InsideClient(HWND w, int dx = 150, int dy = 80);
