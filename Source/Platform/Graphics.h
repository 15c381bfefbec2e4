#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

// Owns one GDI object (font, bitmap, brush, pen); deleted exactly once.
template <class H> class UniqueGdiObject {
public:
    UniqueGdiObject() noexcept = default;
    explicit UniqueGdiObject(H handle) noexcept : handle_(handle) {}
    UniqueGdiObject(UniqueGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    ~UniqueGdiObject() { Reset(); }

    H Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    H Release() noexcept { return std::exchange(handle_, nullptr); }
    void Reset(H handle = nullptr) noexcept {
        if (handle_ != nullptr)
            DeleteObject(handle_);
        handle_ = handle;
    }

private:
    H handle_ = nullptr;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// Owns an icon or a cursor loaded without LR_SHARED.
class UniqueIcon {
public:
    UniqueIcon() noexcept = default;
    explicit UniqueIcon(HICON icon) noexcept : icon_(icon) {}
    UniqueIcon(UniqueIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    UniqueIcon& operator=(UniqueIcon&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.icon_, nullptr));
        return *this;
    }
    UniqueIcon(const UniqueIcon&) = delete;
    UniqueIcon& operator=(const UniqueIcon&) = delete;
    ~UniqueIcon() { Reset(); }

    HICON Get() const noexcept { return icon_; }
    HCURSOR GetCursor() const noexcept { return static_cast<HCURSOR>(icon_); }
    explicit operator bool() const noexcept { return icon_ != nullptr; }
    void Reset(HICON icon = nullptr) noexcept {
        if (icon_ != nullptr)
            DestroyIcon(icon_);
        icon_ = icon;
    }

private:
    HICON icon_ = nullptr;
};

// "Use the parent's colour" (and the system default where there is no parent).
constexpr COLORREF clDefault = CLR_INVALID;
constexpr COLORREF clBlue = RGB(0, 0, 255);
COLORREF SysColor(int index) noexcept;

// Resources of the program (the module that made the process); they raise when missing.
UniqueBitmap LoadBitmapResource(const std::string& name);
UniqueIcon LoadIconResource(const std::string& name, int size = 0);
UniqueIcon LoadCursorResource(const std::string& name);
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
