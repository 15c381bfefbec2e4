#include "ExtCtrls.h"

#include "Errors.h"

#include <algorithm>

namespace {

constexpr DWORD kContainerStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

// Paints the window's background with the control's brush (or the class's).
void PaintBackground(HDC dc, const RECT& r, HBRUSH brush) {
    FillRect(dc, &r, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

} // namespace

TPanel::TPanel(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TPanel");
    CreateLayerWindow(parent, {"GLZ_Panel", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}, kContainerStyle,
                      WS_EX_CONTROLPARENT, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    bevel_ = bevel;
    Realign();
    Invalidate();
}

void TPanel::AdjustClientRect(RECT& rect) const {
    if (bevel_ != TBevelCut::bvNone)
        InflateRect(&rect, -1, -1);
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        const PaintDC paint = BeginOwnedPaint(Handle());
        RECT r = ClientRect();
        PaintBackground(paint.Get(), r, BackgroundBrush());
        if (bevel_ != TBevelCut::bvNone)
            DrawEdge(paint.Get(), &r, bevel_ == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                     BF_RECT);
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

TGroupBox::TGroupBox(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TGroupBox");
    CreateLayerWindow(parent, {"GLZ_GroupBox", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}, kContainerStyle,
                      WS_EX_CONTROLPARENT, 185, 105);
}

int TGroupBox::CaptionHeight() const {
    // Measured once per font: every layout of the children asks for it.
    const HFONT font = FontHandle();
    if (font == captionFont_)
        return captionHeight_;
    TEXTMETRICA metrics{};
    {
        const WindowDC dc = GetOwnedDC(Handle());
        const SelectedObject selected = SelectInto(dc.Get(), font);
        GetTextMetricsA(dc.Get(), &metrics);
    }
    captionFont_ = font;
    captionHeight_ = metrics.tmHeight;
    return captionHeight_;
}

void TGroupBox::AdjustClientRect(RECT& rect) const {
    rect.top += CaptionHeight();
    InflateRect(&rect, -2, -2);
}

int TGroupBox::FrameHeight() const {
    RECT room{0, 0, 0, 0};
    AdjustClientRect(room);
    return -(room.bottom - room.top);
}

LRESULT TGroupBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        const PaintDC paint = BeginOwnedPaint(Handle());
        const HDC dc = paint.Get();
        RECT r = ClientRect();
        PaintBackground(dc, r, BackgroundBrush());
        const int textHeight = CaptionHeight();
        RECT frame = r;
        frame.top += textHeight / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        const std::string caption = Text();
        if (!caption.empty()) {
            const SelectedObject font = SelectInto(dc, FontHandle());
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            if (HBRUSH brush = BackgroundBrush()) {
                LOGBRUSH info{};
                GetObjectA(brush, sizeof(info), &info);
                SetBkColor(dc, info.lbColor);
            }
            const COLORREF color = FontColor();
            SetTextColor(dc, color != clDefault ? color : GetSysColor(COLOR_BTNTEXT));
            RECT text{8, 0, r.right - 8, textHeight};
            DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | DT_NOCLIP);
        }
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT r = TWinControl::WndProc(msg, wp, lp);
        Invalidate();
        return r;
    }
    case WM_SETFONT:
        captionFont_ = nullptr;
        return TWinControl::WndProc(msg, wp, lp);
    default:
        return TWinControl::WndProc(msg, wp, lp);
    }
}

TScrollBox::TScrollBox(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TScrollBox");
    CreateLayerWindow(parent, {"GLZ_ScrollBox"}, kContainerStyle | WS_VSCROLL,
                      WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE, 185, 41);
    ShowScrollBar(Handle(), SB_VERT, FALSE);
}

void TScrollBox::SetBorder(bool border) {
    LONG_PTR ex = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    ex = border ? ex | WS_EX_CLIENTEDGE : ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, ex);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TScrollBox::AdjustClientRect(RECT& rect) const {
    OffsetRect(&rect, 0, -position_);
}

void TScrollBox::AlignedControls() {
    UpdateScrollBar();
}

void TScrollBox::UpdateScrollBar() {
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible())
            bottom = std::max(bottom, static_cast<int>(Controls(i)->BoundsRect().bottom));
    range_ = bottom + position_;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(range_ - 1, 0);
    info.nPage = static_cast<UINT>(ClientHeight());
    info.nPos = position_;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    ShowScrollBar(Handle(), SB_VERT, range_ > ClientHeight() ? TRUE : FALSE);
}

void TScrollBox::ScrollTo(int position) {
    position = std::clamp(position, 0, std::max(range_ - ClientHeight(), 0));
    if (position == position_)
        return;
    const int delta = position_ - position;
    position_ = position;
    ScrollWindowEx(Handle(), 0, delta, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    UpdateScrollBar();
}

LRESULT TScrollBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_VSCROLL && lp == 0) {
        const int line = 8;
        const int page = std::max(ClientHeight() - line, line);
        switch (LOWORD(wp)) {
        case SB_LINEUP:
            ScrollTo(position_ - line);
            break;
        case SB_LINEDOWN:
            ScrollTo(position_ + line);
            break;
        case SB_PAGEUP:
            ScrollTo(position_ - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(position_ + page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            ScrollTo(HIWORD(wp));
            break;
        default:
            break;
        }
        return 0;
    }
    if (msg == WM_MOUSEWHEEL) {
        ScrollTo(position_ - GET_WHEEL_DELTA_WPARAM(wp) / 4);
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

TSplitter::TSplitter(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TSplitter");
    CreateLayerWindow(parent, {"GLZ_Splitter", CS_DBLCLKS, COLOR_BTNFACE, IDC_SIZEWE}, WS_CHILD | WS_VISIBLE,
                      0, 5, 100);
    SetAlign(TAlign::alLeft);
}

bool TSplitter::Horizontal() const noexcept {
    return Align() == TAlign::alTop || Align() == TAlign::alBottom;
}

TWinControl* TSplitter::FindTarget() const {
    if (Parent() == nullptr)
        return nullptr;
    const RECT me = BoundsRect();
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TWinControl* c = Parent()->Controls(i);
        if (c == this || c->Align() != Align() || !c->Visible())
            continue;
        const RECT r = c->BoundsRect();
        const bool touches = Align() == TAlign::alLeft     ? r.right == me.left
                             : Align() == TAlign::alRight  ? r.left == me.right
                             : Align() == TAlign::alTop    ? r.bottom == me.top
                             : Align() == TAlign::alBottom ? r.top == me.bottom
                                                           : false;
        if (touches)
            return c;
    }
    return nullptr;
}

LRESULT TSplitter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            ::SetCursor(SystemCursor(Horizontal() ? IDC_SIZENS : IDC_SIZEWE));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN: {
        target_ = FindTarget();
        if (target_ == nullptr)
            break;
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ::ClientToScreen(Handle(), &p);
        startMouse_ = Horizontal() ? p.y : p.x;
        startSize_ = Horizontal() ? target_->Height() : target_->Width();
        SetCapture(Handle());
        return 0;
    }
    case WM_MOUSEMOVE:
        if (target_ != nullptr && GetCapture() == Handle()) {
            POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            ::ClientToScreen(Handle(), &p);
            const int moved = (Horizontal() ? p.y : p.x) - startMouse_;
            const bool grows = Align() == TAlign::alLeft || Align() == TAlign::alTop;
            const int room = Horizontal() ? Parent()->ClientHeight() : Parent()->ClientWidth();
            const int size =
                std::clamp(startSize_ + (grows ? moved : -moved), MinSize,
                           std::max(MinSize, room - MinRestSize - (Horizontal() ? Height() : Width())));
            Horizontal() ? target_->SetHeight(size) : target_->SetWidth(size);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (target_ != nullptr) {
            target_ = nullptr;
            if (GetCapture() == Handle())
                ReleaseCapture();
            if (OnMoved)
                OnMoved(this);
        }
        break;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

TControlBar::TControlBar(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TControlBar");
    CreateLayerWindow(parent, {"GLZ_ControlBar", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}, kContainerStyle,
                      WS_EX_CONTROLPARENT, 100, 50);
}

void TControlBar::AlignedControls() {
    if (!AutoSize)
        return;
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible())
            bottom = std::max(bottom, static_cast<int>(Controls(i)->BoundsRect().bottom));
    const int height = bottom + 2 + (Height() - ClientHeight());
    if (bottom > 0 && height != Height())
        SetHeight(height);
}

LRESULT TControlBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        const PaintDC paint = BeginOwnedPaint(Handle());
        RECT r = ClientRect();
        PaintBackground(paint.Get(), r, BackgroundBrush());
        for (int i = 0; i < ControlCount(); ++i) {
            TWinControl* band = Controls(i);
            if (!band->Visible())
                continue;
            const RECT b = band->BoundsRect();
            RECT grip{b.left - 7, b.top + 1, b.left - 4, b.bottom - 1};
            DrawEdge(paint.Get(), &grip, BDR_RAISEDINNER, BF_RECT);
        }
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

TImage::TImage(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TImage");
    CreateLayerWindow(parent, {"GLZ_Image", CS_HREDRAW | CS_VREDRAW}, WS_CHILD | WS_VISIBLE, 0, 105, 105);
}

void TImage::SetPicture(UniqueBitmap picture) {
    picture_ = std::move(picture);
    Invalidate();
}

void TImage::LoadFromResource(const std::string& name) {
    SetPicture(LoadBitmapResource(name));
}

LRESULT TImage::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        const PaintDC paint = BeginOwnedPaint(Handle());
        const RECT client = ClientRect();
        PaintBackground(paint.Get(), client, BackgroundBrush());
        if (picture_) {
            BITMAP info{};
            GetObjectA(picture_.Get(), sizeof(info), &info);
            const int x = Center ? (client.right - info.bmWidth) / 2 : 0;
            const int y = Center ? (client.bottom - info.bmHeight) / 2 : 0;
            DrawBitmap(paint.Get(), picture_.Get(), x, y, Transparent);
        }
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}
