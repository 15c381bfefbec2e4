#include "uEATransparentWindowAction.h"

#include "RuleTextNumbers.h"

void TTransparentWindowAction::Init() {
    TAction::Init();
    TransparencyLevel = 100;
}

void TTransparentWindowAction::SetParam(const std::string& name, const std::string& value) {
    TAction::SetParam(name, value);
    if (name == "TRANSPARENTLEVEL")
        TransparencyLevel = TransparencyLevelInForce(value);
}

void TTransparentWindowAction::CreateOperations() {
    AddOperation("TRANSPARENTON", "Set Transparent", "MAKETRANSPARENTON", "MAKETRANSPARENTOFF", true);
    AddOperation("TRANSPARENTOFF", "Remove Transparent", "MAKETRANSPARENTOFF", "MAKETRANSPARENTON", false);
    SetCurrentOperation("TRANSPARENTOFF");
}

bool TTransparentWindowAction::DoOperation(const std::string& name) {
    const HWND window = WindowHandle();
    if (name == "TRANSPARENTON") {
        if (!holding_) {
            HoldLayering(window);
            holding_ = true;
        }
        SetWindowAlphaPercent(window, TransparencyLevel);
        return true;
    }
    if (name == "TRANSPARENTOFF") {
        // Never turned on by us: what the window has now is its own.
        if (holding_) {
            holding_ = false;
            RestoreLayeredAttributes(window);
            ReleaseLayering(window);
        }
        return true;
    }
    return false;
}

void TTransparentWindowAction::Detach() {
    if (NextOperationName() == "TRANSPARENTOFF")
        Execute("TRANSPARENTOFF");
    TAction::Detach();
}
