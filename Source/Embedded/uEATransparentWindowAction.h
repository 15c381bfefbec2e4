#pragma once

#include "EAWinFuncs.h"
#include "uEAActions.h"

// "TRANSPARENTWINDOWACTION": translucency at TransparencyLevel percent.
class TTransparentWindowAction : public TAction {
public:
    int TransparencyLevel = 100;
    void Detach() override;

protected:
    void Init() override;
    void SetParam(const std::string& name, const std::string& value) override;
    void CreateOperations() override;
    bool DoOperation(const std::string& name) override;

private:
    // This action holds a share of the window's layering (see HoldLayering).
    bool holding_ = false;
};
