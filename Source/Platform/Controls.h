#pragma once

#include "Components.h"
#include "ControlLayout.h"
#include "Graphics.h"
#include "MessageDispatch.h"
#include "MouseButtons.h"
#include "ScopedValue.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char& key)>;

class TPopupMenu;
class TWinControl;

// A control's place in its parent's client area as designed, in pixels.
struct TDesignBounds {
    int Left;
    int Top;
    int Width;
    int Height;
};

// Where a child control is made and lives: a control of the layer, or a window outside it
// (a layer window given by its handle counts as its control); and, when given, its place there.
class TParent {
public:
    TParent(TWinControl* control) noexcept : control_(control) {}
    TParent(TWinControl& control) noexcept : control_(&control) {}
    TParent(HWND window) noexcept;
    TWinControl* Control() const noexcept { return control_; }
    // Null for a control of the layer that has no window.
    HWND Window() const noexcept;
    // The same parent with the control's place in it: its window is made there, not moved there
    // afterwards (a move costs Wine about a third of making the window).
    TParent At(const TDesignBounds& place) const noexcept {
        TParent placed = *this;
        placed.place_ = place;
        return placed;
    }
    const std::optional<TDesignBounds>& Place() const noexcept { return place_; }

private:
    TWinControl* control_ = nullptr;
    HWND host_ = nullptr;
    std::optional<TDesignBounds> place_;
};

// A control with its own window: a window class of the layer, or a system control class that
// the layer subclasses. Each window knows its object (FromHandle), and every container passes
// the notifications of a child (WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL, WM_CTLCOLOR*,
// WM_DRAWITEM) back to the child's object (Reflected), whatever sits in between. A child
// control is made in its parent and stays there; one made in a window outside the layer gets
// the same service from a subclass of that window.
class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner = nullptr);
    ~TWinControl() override;

    HWND Handle() const noexcept { return hwnd_; }
    bool HandleAllocated() const noexcept { return hwnd_ != nullptr; }
    // The object of a window of the layer, or null.
    static TWinControl* FromHandle(HWND hwnd) noexcept;
    // The object of hwnd or of its nearest ancestor of the layer (a combo box for its edit).
    static TWinControl* FindControl(HWND hwnd) noexcept;

    // Null for a form and for a control made in a window outside the layer.
    TWinControl* Parent() const noexcept { return parent_; }
    // The window the control lives in; null for a form.
    HWND ParentWindow() const noexcept;

    int ControlCount() const noexcept { return static_cast<int>(children_.size()); }
    TWinControl* Controls(int index) const { return children_.at(static_cast<size_t>(index)); }

    // Bounds in the parent's client coordinates.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    RECT BoundsRect() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    int ClientWidth() const;
    int ClientHeight() const;
    RECT ClientRect() const;
    void SetClientSize(int width, int height);
    // Smallest size that alignment and SetBounds give the control.
    void SetConstraints(int minWidth, int minHeight);

    TAlign Align() const noexcept { return align_; }
    // Aligned to a side, the control keeps (or takes back) the depth SetBounds gave it.
    void SetAlign(TAlign align);
    void SetAnchors(TAnchors anchors);
    // Lays the children out again: aligned ones fill their sides in the order they were made
    // here, anchored ones keep their distances to the anchored edges of this control.
    void Realign();

    bool Visible() const;
    // An aligned control takes its place before it is shown.
    void SetVisible(bool visible);
    // A hidden aligned control takes the place it would have if shown: what is made in it
    // afterwards is laid out at the size it will be shown at, once.
    void TakePlace();
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The window text (caption of a label, button or form). Set only when it differs; never
    // raises a change event.
    std::string Text() const;
    void SetText(const std::string& text);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }

    // Shown as a tooltip while the mouse rests on the control.
    const std::string& Hint() const noexcept { return hint_; }
    virtual void SetHint(const std::string& hint);

    // The control's own font; changing it ends ParentFont.
    TFont& Font();
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool parentFont);
    // The font the window uses: its own, or the nearest ancestor's.
    HFONT FontHandle() const;
    COLORREF FontColor() const;

    // Background colour (clDefault: the parent's or the system's).
    COLORREF Color() const noexcept { return color_; }
    void SetColor(COLORREF color);
    HCURSOR Cursor() const noexcept { return cursor_; }
    // Not owned; shown over the client area.
    void SetCursor(HCURSOR cursor);
    // Shown on a right click or the context-menu key (at the control's centre); not owned.
    TPopupMenu* PopupMenu = nullptr;

    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;
    int ControlId() const noexcept { return id_; }
    void Invalidate();
    void Repaint();
    POINT ClientToScreen(POINT point) const;
    POINT ScreenToClient(POINT point) const;

    // Runs f with this control's change events held back: values set from code raise none.
    template <class F> void Silently(F&& f) {
        const TScopedValue<int> silent(silent_, silent_ + 1);
        f();
    }
    bool IsSilent() const noexcept { return silent_ > 0; }
    // This control, an owner or a parent of it is being destroyed: no event fires.
    bool InDestruction() const noexcept;

    TNotifyEvent OnClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnExit;
    TNotifyEvent OnResize;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // What the events run; derived controls extend them.
    virtual void Click();
    virtual void Change();
    virtual void DoExit();
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);

    // Adds Left, Top, Width, Height, ClientWidth, ClientHeight, Visible, Enabled, Hint, Text.
    std::vector<TPublishedProperty> PublishedProperties() override;

    // Window procedure entry of the layer; not for callers.
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept;
    // A child's notification passed back to it; not for callers.
    static bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) noexcept;

protected:
    // Makes the window: a class of the layer (registered on first use with the given style,
    // background and cursor) or a system class (subclassed); a child in parent, where it is
    // last in z-order and so in tab order. Derived constructors call one of them once.
    struct TWindowClass {
        const char* Name;
        UINT Style = CS_DBLCLKS;
        int Background = COLOR_BTNFACE;
        LPCSTR Cursor = IDC_ARROW;
        HICON Icon = nullptr;
    };
    void CreateLayerWindow(const TWindowClass& cls, DWORD style, DWORD exStyle, int width, int height,
                           HWND owner = nullptr);
    void CreateLayerWindow(TParent parent, const TWindowClass& cls, DWORD style, DWORD exStyle, int width,
                           int height);
    void CreateSystemWindow(TParent parent, const char* className, DWORD style, DWORD exStyle, int width,
                            int height);

    // Messages of the control's own window; the base does the layer's common handling and then
    // CallDefault.
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT CallDefault(UINT msg, WPARAM wp, LPARAM lp);
    // A key message (WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR) through KeyDown or KeyPress, which may
    // change the key in wp; true when a handler swallowed it. Keys going up pass as they are.
    bool KeyMessage(UINT msg, WPARAM& wp, LPARAM lp);
    // A notification this control sent to its parent; true when handled (result set).
    virtual bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The part of the client area that aligned children share.
    virtual void AdjustClientRect(RECT& rect) const;
    // After the children were laid out.
    virtual void AlignedControls();
    virtual void Resized();
    // The window is gone (WM_NCDESTROY); Handle() is null from here on.
    virtual void HandleDestroyed();
    void Notification(TComponent* component, TOperation operation) override;
    // Background brush for this control's own painting and its children's WM_CTLCOLOR*.
    HBRUSH BackgroundBrush() const;
    // Sends the effective font to the window and to every child that uses its parent's.
    void ApplyFont();

private:
    friend struct TLayerAccess;
    void Bind(HWND hwnd) noexcept;
    void Unbind() noexcept;
    // Joins the new window to parent's children and lays out what that changes.
    void Adopt(TParent parent);
    void RecordAnchors();
    void SetBoundsCore(int left, int top, int width, int height);

    HWND hwnd_ = nullptr;
    // The system control's procedure below the layer's subclass; null for a class of the layer.
    WNDPROC previousProc_ = nullptr;
    // The system control is a Unicode window: previousProc_ is set and called as one.
    bool unicode_ = false;
    int id_ = 0;
    TWinControl* parent_ = nullptr;
    HWND foreignHost_ = nullptr;
    std::vector<TWinControl*> children_;
    TAlign align_ = TAlign::alNone;
    TAnchors anchors_ = akLeft | akTop;
    RECT anchorDesign_{};
    SIZE anchorOrigin_{};
    // The size last given by SetBounds (or at creation), not by alignment.
    SIZE designSize_{};
    bool anchorValid_ = false;
    int minWidth_ = 0;
    int minHeight_ = 0;
    std::string hint_;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    COLORREF color_ = clDefault;
    mutable UniqueBrush brush_;
    HCURSOR cursor_ = nullptr;
    HFONT windowFont_ = nullptr;
    int silent_ = 0;
    bool mouseInside_ = false;
    // Counts as visible while it takes its place, just before it is shown.
    bool showing_ = false;

public:
    // Lays out children (aligned first, in their order, then anchored) inside area of a window
    // whose client size is clientSize; used by containers and by hosts outside the layer.
    static void AlignControls(SIZE clientSize, RECT area, const std::vector<TWinControl*>& children);
};
