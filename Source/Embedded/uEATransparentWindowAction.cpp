#include "uEATransparentWindowAction.h"

#include "EARoutines.h"

void TTransparentWindowAction::Init() {
    TAction::Init();
    TransparencyLevel = 100;
}

void TTransparentWindowAction::SetParam(const std::string& name, const std::string& value) {
    try {
        TAction::SetParam(name, value);
        if (name == "TRANSPARENTLEVEL")
            TransparencyLevel = TextToInt(value).value_or(100);
    } catch (...) {
    }
}

void TTransparentWindowAction::CreateOperations() {
    AddOperation("TRANSPARENTON", "Set Transparent", "MAKETRANSPARENTON", "MAKETRANSPARENTOFF", true);
    AddOperation("TRANSPARENTOFF", "Remove Transparent", "MAKETRANSPARENTOFF", "MAKETRANSPARENTON", false);
    SetCurrentOperation("TRANSPARENTOFF");
}

bool TTransparentWindowAction::DoOperation(const std::string& name) {
    try {
        const HWND window = WindowHandle();
        if (name == "TRANSPARENTON") {
            if (!before_)
                before_ = CaptureLayeredState(window);
            SetWindowAlphaPercent(window, TransparencyLevel);
            return true;
        }
        if (name == "TRANSPARENTOFF") {
            // Never turned on by us: what the window has now is its own.
            RemoveWindowAlpha(window, before_ ? *before_ : CaptureLayeredState(window));
            before_.reset();
            return true;
        }
        return false;
    } catch (...) {
        return false;
    }
}

void TTransparentWindowAction::Detach() {
    try {
        if (NextOperationName() == "TRANSPARENTOFF")
            Execute("TRANSPARENTOFF");
        TAction::Detach();
    } catch (...) {
    }
}
