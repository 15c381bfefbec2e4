#pragma once

#include "uEAActions.h"

// "GHOSTWINDOWACTION": mouse input passes through the window.
class TGhostWindowAction : public TAction {
public:
    void Detach() override;

protected:
    void CreateOperations() override;
    bool DoOperation(const std::string& name) override;

private:
    bool holding_ = false;          // of the window's layering, shared with transparency
    bool addedTransparent_ = false; // WS_EX_TRANSPARENT was ours to add
};
