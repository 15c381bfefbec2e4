#include "uEAGhostWindowAction.h"

void TGhostWindowAction::CreateOperations() {
    AddOperation("GHOSTON", "Set ghost mode", "GHOSTON", "GHOSTOFF", true);
    AddOperation("GHOSTOFF", "Remove ghost mode", "GHOSTOFF", "GHOSTON", false);
    SetCurrentOperation("GHOSTOFF");
}

bool TGhostWindowAction::DoOperation(const std::string& name) {
    try {
        const HWND window = WindowHandle();
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
        if (name == "GHOSTON")
            SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_TRANSPARENT);
        else if (name == "GHOSTOFF")
            SetWindowLongPtrA(window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT));
        else
            return false;
        return true;
    } catch (...) {
        return false;
    }
}

void TGhostWindowAction::Detach() {
    try {
        if (NextOperationName() == "GHOSTOFF")
            Execute("GHOSTOFF");
        TAction::Detach();
    } catch (...) {
    }
}
