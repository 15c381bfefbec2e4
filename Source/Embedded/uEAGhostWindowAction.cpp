#include "uEAGhostWindowAction.h"

#include "EAWinFuncs.h"

void TGhostWindowAction::CreateOperations() {
    AddOperation("GHOSTON", "Set ghost mode", "GHOSTON", "GHOSTOFF", true);
    AddOperation("GHOSTOFF", "Remove ghost mode", "GHOSTOFF", "GHOSTON", false);
    SetCurrentOperation("GHOSTOFF");
}

bool TGhostWindowAction::DoOperation(const std::string& name) {
    const HWND window = WindowHandle();
    if (name == "GHOSTON") {
        // The mouse passes through only a window that is both layered and transparent.
        if (!holding_) {
            HoldLayering(window);
            holding_ = true;
        }
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
        if ((style & WS_EX_TRANSPARENT) == 0) {
            SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_TRANSPARENT);
            addedTransparent_ = true;
        }
        return true;
    }
    if (name == "GHOSTOFF") {
        // Only what we added goes: the host's own bits and the transparency action stay.
        if (addedTransparent_) {
            addedTransparent_ = false;
            SetWindowLongPtrA(window, GWL_EXSTYLE,
                              GetWindowLongPtrA(window, GWL_EXSTYLE) &
                                  ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT));
        }
        if (holding_) {
            holding_ = false;
            ReleaseLayering(window);
        }
        return true;
    }
    return false;
}

void TGhostWindowAction::Detach() {
    if (NextOperationName() == "GHOSTOFF")
        Execute("GHOSTOFF");
    TAction::Detach();
}
