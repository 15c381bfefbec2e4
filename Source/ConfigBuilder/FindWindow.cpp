#include "FindWindow.h"

namespace {

constexpr char kActiveBitmap[] = "FINDWINDOWON";
constexpr char kInactiveBitmap[] = "FINDWINDOWOFF";
constexpr char kFinderCursor[] = "FINDWINDOWCURSOR";
constexpr int kFrameWidth = 3;

} // namespace

TFindWindow::TFindWindow(TComponent* owner, TParent parent)
    : TWinControl(owner), activeBitmap_(LoadBitmapResource(kActiveBitmap)),
      inactiveBitmap_(LoadBitmapResource(kInactiveBitmap)), finderCursor_(LoadCursorResource(kFinderCursor)) {
    SetClassName("TFindWindow");
    CreateLayerWindow(parent, {"TFindWindow"}, WS_CHILD | WS_VISIBLE, 0, Size, Size);
}

TFindWindow::~TFindWindow() {
    // A frame left on a foreign window would stay there.
    StopPicking();
}

void TFindWindow::HandleDestroyed() {
    StopPicking();
    TWinControl::HandleDestroyed();
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
    const WindowDC dc = GetOwnedWindowDC(w);
    if (!dc)
        return;
    RECT r{};
    GetWindowRect(w, &r);
    OffsetRect(&r, -r.left, -r.top);
    if (!IsRectEmpty(&r)) {
        const int width = r.right, height = r.bottom;
        PatBlt(dc.Get(), 0, 0, width, kFrameWidth, DSTINVERT);
        PatBlt(dc.Get(), 0, kFrameWidth, kFrameWidth, height - 2 * kFrameWidth, DSTINVERT);
        PatBlt(dc.Get(), width - kFrameWidth, kFrameWidth, kFrameWidth, height - 2 * kFrameWidth, DSTINVERT);
        PatBlt(dc.Get(), 0, height - kFrameWidth, width, kFrameWidth, DSTINVERT);
    }
}

void TFindWindow::Highlight(HWND w) noexcept {
    if (!picking_ || w == highlighted_)
        return;
    DrawWindowFrame(highlighted_);
    highlighted_ = w;
    selected_ = w;
    DrawWindowFrame(w);
}

void TFindWindow::BeginPicking() {
    picking_ = true;
    // Keys come here while the button is held, so that Esc can cancel.
    ::SetFocus(Handle());
    SetCapture(Handle());
    savedCursor_ = GetCursor();
    ::SetCursor(static_cast<HCURSOR>(finderCursor_.Get()));
    Invalidate();
}

void TFindWindow::Track(POINT point) {
    if (GetCapture() != Handle())
        return;
    HWND w = WindowFromPoint(ClientToScreen(point));
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

HWND TFindWindow::ReleasedOver(POINT point) {
    HWND w = WindowFromPoint(ClientToScreen(point));
    if (w != nullptr && !selectedChild_)
        w = TopLevelWindow(w);
    if (w == nullptr || w == highlighted_)
        return w;
    bool cancel = false;
    if (BeforeSelectWindow)
        BeforeSelectWindow(*this, w, cancel);
    return cancel ? nullptr : w;
}

void TFindWindow::StopPicking() noexcept {
    if (!picking_)
        return;
    Highlight(nullptr);
    picking_ = false;
    ::SetCursor(savedCursor_);
    if (Handle() != nullptr) {
        // Releasing the capture comes back here as WM_CAPTURECHANGED, no longer picking.
        if (GetCapture() == Handle())
            ReleaseCapture();
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TFindWindow::EndPicking(HWND picked) noexcept {
    if (!picking_)
        return;
    StopPicking();
    if (!AfterPick || InDestruction())
        return;
    try {
        AfterPick(*this, picked);
    } catch (...) {
        HandleException();
    }
}

void TFindWindow::Paint() {
    const PaintDC dc = BeginOwnedPaint(Handle());
    RECT r{0, 0, Size, Size};
    FillRect(dc.Get(), &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawBitmap(dc.Get(), GetCapture() == Handle() ? activeBitmap_.Get() : inactiveBitmap_.Get(), 0, 0, true);
}

LRESULT TFindWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        BeginPicking();
        break;
    case WM_MOUSEMOVE:
        Track(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        break;
    case WM_LBUTTONUP:
        if (picking_)
            EndPicking(ReleasedOver(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}));
        break;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        EndPicking(nullptr);
        break;
    case WM_GETDLGCODE:
        if (picking_)
            return DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (picking_ && wp == VK_ESCAPE) {
            EndPicking(nullptr);
            return 0;
        }
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}
