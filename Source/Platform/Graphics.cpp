#include "Graphics.h"

#include "Errors.h"

COLORREF SysColor(int index) noexcept {
    return GetSysColor(index);
}

UniqueBitmap LoadBitmapResource(const std::string& name) {
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        throw Exception("Bitmap resource not found: " + name);
    return UniqueBitmap(bitmap);
}

UniqueIcon LoadIconResource(const std::string& name, int size) {
    auto* icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_ICON, size,
                                               size, size == 0 ? LR_DEFAULTSIZE : 0));
    if (icon == nullptr)
        throw Exception("Icon resource not found: " + name);
    return UniqueIcon(icon);
}

UniqueIcon LoadCursorResource(const std::string& name) {
    auto* cursor = static_cast<HCURSOR>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    if (cursor == nullptr)
        throw Exception("Cursor resource not found: " + name);
    return UniqueIcon(static_cast<HICON>(cursor));
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, bool transparent) noexcept {
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof(info), &info) == 0)
        return;
    const MemoryDC source(CreateCompatibleDC(dc));
    if (!source)
        return;
    const SelectedObject selected = SelectInto(source.Get(), bitmap);
    if (transparent)
        TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, info.bmWidth, info.bmHeight,
                       GetPixel(source.Get(), 0, info.bmHeight - 1));
    else
        BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
}

int ScreenPixelsPerInch() noexcept {
    const WindowDC screen = GetOwnedDC(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

HCURSOR SystemCursor(LPCSTR id) noexcept {
    return LoadCursorA(nullptr, id);
}

TFont::TFont() : name_("MS Shell Dlg 2") {}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        color_ = other.color_;
        Changed();
    }
    return *this;
}

void TFont::SetName(const std::string& name) {
    if (name != name_) {
        name_ = name;
        Changed();
    }
}

void TFont::SetHeight(int height) {
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetStyle(unsigned style) {
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TFont::SetColor(COLORREF color) {
    if (color != color_) {
        color_ = color;
        if (OnChange)
            OnChange();
    }
}

void TFont::Changed() {
    handle_.Reset();
    if (OnChange)
        OnChange();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) != 0 ? TRUE : FALSE;
        lf.lfUnderline = (style_ & fsUnderline) != 0 ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.Reset(CreateFontIndirectA(&lf));
        if (!handle_)
            throw Exception("CreateFontIndirect failed: " + name_);
    }
    return handle_.Get();
}

TFont TFont::DefaultGuiFont() {
    TFont font;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font.name_ = metrics.lfMessageFont.lfFaceName;
        font.height_ = metrics.lfMessageFont.lfHeight;
    }
    return font;
}
