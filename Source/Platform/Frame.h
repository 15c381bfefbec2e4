#pragma once

#include "Controls.h"

#include <windows.h>

// A child window that holds controls designed as a unit. It is aligned like any control
// (Align, default alClient) and keeps its design height when aligned to the top or bottom.
// Until it is placed into a host it waits in a hidden parking window of the thread. Its
// children's notifications come back to them, so the frame's own handlers are plain events.
class TFrame : public TWinControl {
public:
    explicit TFrame(TComponent* owner = nullptr);
    ~TFrame() override;

    using TWinControl::SetParent;

    // Never lower than this, also when its host is.
    static constexpr int MinHeight = 20;
};
