#pragma once

#include <windows.h>

#include <map>

// Facts of the screen the forms need.
struct TScreen {
    int Width() const noexcept;
    int Height() const noexcept;
    int PixelsPerInch() const noexcept;
    // The cursor table: cursors a program registers under numbers of its own; null when none.
    HCURSOR Cursor(int number) const noexcept;
    void SetCursor(int number, HCURSOR cursor);

private:
    std::map<int, HCURSOR> cursors_;
};

TScreen& Screen();
