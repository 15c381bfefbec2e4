#pragma once

#include "Controls.h"
#include "Graphics.h"

#include <functional>

// The finder tool: a 32 x 32 picture that the user drags with the left button over any window
// on the screen. The window under the cursor is outlined by an inverted frame, and each newly
// hovered window is offered to the owner, who may refuse it.
class TFindWindow : public TWinControl {
public:
    static constexpr int Size = 32;

    TFindWindow(TComponent* owner, TParent parent);
    ~TFindWindow() override;

    bool Picking() const noexcept { return picking_; }
    HWND HighlightedWindow() const noexcept { return highlighted_; }
    HWND SelectedWindow() const noexcept { return selected_; }

    // When false, the window under the cursor is replaced by its top-level window.
    bool SelectedChildWindow() const noexcept { return selectedChild_; }
    void SetSelectedChildWindow(bool value);

    // The handler may replace the window, or refuse it by setting cancel.
    std::function<void(TFindWindow& sender, HWND& wnd, bool& cancel)> BeforeSelectWindow;
    std::function<void(TFindWindow& sender, HWND wnd)> AfterSelectWindow;
    // Picking has ended: the window the button was released over, or null when the user
    // cancelled (Esc, or the mouse was taken away) or released it over no window that
    // BeforeSelectWindow accepts.
    std::function<void(TFindWindow& sender, HWND wnd)> AfterPick;

    // The outermost window above w whose parent still has it as a child.
    static HWND TopLevelWindow(HWND w) noexcept;
    // Inverts a 3-pixel frame just inside w's window rectangle; drawing it twice restores w.
    static void DrawWindowFrame(HWND w) noexcept;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void HandleDestroyed() override;

private:
    void BeginPicking();
    void Track(POINT client);
    // The window under the cursor as offered to the owner; null when there is none or the
    // owner refuses it.
    HWND ReleasedOver(POINT client);
    // Ends picking: on the button going up with the window released over, on Esc and whenever
    // the capture is taken away with none.
    void EndPicking(HWND picked) noexcept;
    // Ends picking without telling anyone (the control goes).
    void StopPicking() noexcept;
    void Highlight(HWND w) noexcept;
    void Paint();

    UniqueBitmap activeBitmap_;
    UniqueBitmap inactiveBitmap_;
    UniqueIcon finderCursor_;
    HCURSOR savedCursor_ = nullptr;
    bool picking_ = false;
    bool selectedChild_ = true;
    HWND highlighted_ = nullptr;
    HWND selected_ = nullptr;
};
