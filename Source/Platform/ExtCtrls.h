#pragma once

#include "Controls.h"

#include <string>

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A plain container; with a bevel it draws a thin raised or lowered edge.
class TPanel : public TWinControl {
public:
    TPanel(TComponent* owner, TParent parent);
    void SetBevelOuter(TBevelCut bevel);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void AdjustClientRect(RECT& rect) const override;

private:
    TBevelCut bevel_ = TBevelCut::bvRaised;
};

// A container with an etched frame and its caption on the frame's top line. (A BS_GROUPBOX
// button cannot be the parent of controls.) Aligned children stay inside the frame.
class TGroupBox : public TWinControl {
public:
    TGroupBox(TComponent* owner, TParent parent);

    // The height its caption and frame take from the aligned children's room.
    int FrameHeight() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void AdjustClientRect(RECT& rect) const override;

private:
    int CaptionHeight() const;
    mutable HFONT captionFont_ = nullptr;
    mutable int captionHeight_ = 0;
};

// A container that scrolls its children vertically when they do not fit.
class TScrollBox : public TWinControl {
public:
    TScrollBox(TComponent* owner, TParent parent);
    void SetBorder(bool border);
    void ScrollTo(int position);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void AdjustClientRect(RECT& rect) const override;
    void AlignedControls() override;

private:
    void UpdateScrollBar();
    int position_ = 0;
    int range_ = 0;
};

// A bar between two aligned controls that the user drags to resize the one before it
// (the control aligned on the same side whose edge touches it). 5 pixels wide.
class TSplitter : public TWinControl {
public:
    TSplitter(TComponent* owner, TParent parent);
    // The least size of the control it resizes, and the least room it leaves beyond itself.
    int MinSize = 30;
    int MinRestSize = 30;
    TNotifyEvent OnMoved;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    TWinControl* FindTarget() const;
    bool Horizontal() const noexcept;
    TWinControl* target_ = nullptr;
    int startMouse_ = 0;
    int startSize_ = 0;
};

// A band container for tool bars: each child keeps its place, a grip is drawn before each,
// and with AutoSize the bar is as high as its lowest child.
class TControlBar : public TWinControl {
public:
    TControlBar(TComponent* owner, TParent parent);
    bool AutoSize = true;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void AlignedControls() override;
};

// A picture; with Transparent, the colour of its bottom-left pixel shows the background.
class TImage : public TWinControl {
public:
    TImage(TComponent* owner, TParent parent);
    void SetPicture(UniqueBitmap picture);
    // A bitmap resource of the program.
    void LoadFromResource(const std::string& name);
    bool Transparent = false;
    bool Center = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueBitmap picture_;
};
