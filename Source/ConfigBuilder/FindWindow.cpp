#include "FindWindow.h"

#include "Errors.h"

namespace {

constexpr char kClassName[] = "GLZ_FindWindow";
constexpr char kActiveBitmap[] = "FINDWINDOWON";
constexpr char kInactiveBitmap[] = "FINDWINDOWOFF";
constexpr char kFinderCursor[] = "FINDWINDOWCURSOR";
constexpr int kFrameWidth = 3;

HBITMAP LoadPicture(const char* name) {
    auto* bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
    if (bitmap == nullptr)
        throw Exception(std::string("Picture resource missing: ") + name);
    return bitmap;
}

void RegisterClassOnce(WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception("RegisterClassEx failed: GLZ_FindWindow");
}

// Draws bitmap at the origin of dc; its bottom-left pixel's colour is see-through.
void DrawTransparent(HDC dc, HBITMAP bitmap) {
    HDC source = CreateCompatibleDC(dc);
    if (source == nullptr)
        return;
    HGDIOBJ old = SelectObject(source, bitmap);
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    const COLORREF clear = GetPixel(source, 0, info.bmHeight - 1);
    TransparentBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight, clear);
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace

TFindWindow::TFindWindow(HWND parent, int left, int top)
    : activeBitmap_(LoadPicture(kActiveBitmap)), inactiveBitmap_(LoadPicture(kInactiveBitmap)) {
    finderCursor_ = LoadCursorA(GetModuleHandleA(nullptr), kFinderCursor);
    if (finderCursor_ == nullptr)
        throw Exception("Cursor resource missing: FINDWINDOWCURSOR");
    RegisterClassOnce(StaticProc);
    hwnd_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE, left, top, Size, Size, parent, nullptr,
                            GetModuleHandleA(nullptr), this);
    if (hwnd_ == nullptr)
        throw Exception("Window picker could not be created");
}

TFindWindow::~TFindWindow() {
    if (hwnd_ == nullptr)
        return;
    // A frame left on a foreign window would stay there.
    EndPicking();
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

void TFindWindow::SetSelectedChildWindow(bool value) {
    if (value == selectedChild_)
        return;
    selectedChild_ = value;
    Highlight(selected_);
}

HWND TFindWindow::TopLevelWindow(HWND w) noexcept {
    for (;;) {
        HWND parent = GetParent(w);
        if (parent == nullptr || !IsChild(parent, w))
            return w;
        w = parent;
    }
}

void TFindWindow::DrawWindowFrame(HWND w) noexcept {
    if (w == nullptr || !IsWindow(w))
        return;
    HDC dc = GetWindowDC(w);
    if (dc == nullptr)
        return;
    RECT r{};
    GetWindowRect(w, &r);
    OffsetRect(&r, -r.left, -r.top);
    if (!IsRectEmpty(&r)) {
        const int width = r.right, height = r.bottom;
        PatBlt(dc, 0, 0, width, kFrameWidth, DSTINVERT);
        PatBlt(dc, 0, kFrameWidth, kFrameWidth, height - 2 * kFrameWidth, DSTINVERT);
        PatBlt(dc, width - kFrameWidth, kFrameWidth, kFrameWidth, height - 2 * kFrameWidth, DSTINVERT);
        PatBlt(dc, 0, height - kFrameWidth, width, kFrameWidth, DSTINVERT);
    }
    ReleaseDC(w, dc);
}

void TFindWindow::Highlight(HWND w) {
    if (!picking_ || w == highlighted_)
        return;
    DrawWindowFrame(highlighted_);
    highlighted_ = w;
    selected_ = w;
    DrawWindowFrame(w);
}

void TFindWindow::BeginPicking() {
    picking_ = true;
    SetCapture(hwnd_);
    savedCursor_ = GetCursor();
    SetCursor(finderCursor_);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TFindWindow::Track(POINT point) {
    if (GetCapture() != hwnd_)
        return;
    ClientToScreen(hwnd_, &point);
    HWND w = WindowFromPoint(point);
    // Nothing under the cursor is no window to offer: keep the frame and fire nothing.
    if (w == nullptr)
        return;
    if (!selectedChild_)
        w = TopLevelWindow(w);
    if (w == highlighted_)
        return;
    bool cancel = false;
    if (BeforeSelectWindow)
        BeforeSelectWindow(*this, w, cancel);
    if (cancel || w == nullptr)
        return;
    Highlight(w);
    if (AfterSelectWindow)
        AfterSelectWindow(*this, selected_);
}

void TFindWindow::EndPicking() {
    if (!picking_)
        return;
    Highlight(nullptr);
    picking_ = false;
    SetCursor(savedCursor_);
    if (GetCapture() == hwnd_)
        ReleaseCapture();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TFindWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT r{0, 0, Size, Size};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawTransparent(dc, GetCapture() == hwnd_ ? activeBitmap_.Get() : inactiveBitmap_.Get());
    EndPaint(hwnd_, &ps);
}

LRESULT TFindWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        BeginPicking();
        return 0;
    case WM_MOUSEMOVE:
        Track(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        EndPicking();
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK TFindWindow::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TFindWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFindWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->EndPicking();
        self->hwnd_ = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    try {
        return self->WndProc(msg, wp, lp);
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
        return 0;
    }
}
