#pragma once

#include "Handles.h"

#include <windows.h>

#include <functional>
#include <string>

// "Use the parent's colour" (and the system default where there is no parent).
constexpr COLORREF clDefault = CLR_INVALID;
constexpr COLORREF clBlue = RGB(0, 0, 255);
COLORREF SysColor(int index) noexcept;

// Resources of the program (the module that made the process); they raise when missing.
UniqueBitmap LoadBitmapResource(const std::string& name);
UniqueIcon LoadIconResource(const std::string& name, int size = 0);
UniqueIcon LoadCursorResource(const std::string& name);
// Draws Bitmap at its size with its top-left corner at (X, Y). Transparent leaves out the pixels
// of the colour of its bottom-left pixel.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, bool transparent) noexcept;
// The screen's pixels per logical inch, vertically.
int ScreenPixelsPerInch() noexcept;

// A shared system cursor (IDC_HAND, IDC_SIZEWE, ...); never destroyed.
HCURSOR SystemCursor(LPCSTR id) noexcept;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// A font description with its GDI font, made when first asked for. Height follows LOGFONT:
// negative is the character height in pixels ("Arial" of height -13).
class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    const std::string& Name() const noexcept { return name_; }
    int Height() const noexcept { return height_; }
    unsigned Style() const noexcept { return style_; }
    COLORREF Color() const noexcept { return color_; }
    void SetName(const std::string& name);
    void SetHeight(int height);
    // Points at the screen's pixels per inch.
    void SetSize(int points);
    void SetStyle(unsigned style);
    void SetColor(COLORREF color);

    HFONT Handle() const;
    // The font of message boxes and dialogs (Tahoma under Wine with its fonts installed).
    static TFont DefaultGuiFont();

    // Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();

    std::string name_;
    int height_ = -11;
    unsigned style_ = 0;
    COLORREF color_ = clDefault;
    mutable UniqueFont handle_;
};
