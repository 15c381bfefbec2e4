#pragma once

#include "Controls.h"

#include <windows.h>

// A child window that holds controls designed as a unit. It is aligned like any control
// (Align, default alClient) and keeps its design height when aligned to the top or bottom.
// It is made hidden, so that it is built and laid out off screen; whoever made it shows it.
// Its children's notifications come back to them, so the frame's own handlers are plain events.
class TFrame : public TWinControl {
public:
    TFrame(TComponent* owner, TParent parent);
    ~TFrame() override;

    // Never lower than this, also when its host is.
    static constexpr int MinHeight = 20;
};
