#include "Screen.h"

#include "Graphics.h"

int TScreen::Width() const noexcept {
    return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const noexcept {
    return GetSystemMetrics(SM_CYSCREEN);
}

int TScreen::PixelsPerInch() const noexcept {
    return ScreenPixelsPerInch();
}

HCURSOR TScreen::Cursor(int number) const noexcept {
    const auto found = cursors_.find(number);
    return found != cursors_.end() ? found->second : nullptr;
}

void TScreen::SetCursor(int number, HCURSOR cursor) {
    cursors_[number] = cursor;
}

TScreen& Screen() {
    static TScreen screen;
    return screen;
}
