#pragma once

#include "uEAActions.h"

// "GHOSTWINDOWACTION": mouse input passes through the window.
class TGhostWindowAction : public TAction {
public:
    void Detach() override;

protected:
    void CreateOperations() override;
    bool DoOperation(const std::string& name) override;
};
