#pragma once

#include "EAWinFuncs.h"
#include "uEAActions.h"

#include <optional>

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
    // The window's own layering, from before our first "TRANSPARENTON".
    std::optional<TLayeredState> before_;
};
