#pragma once

#include "BOMObjects.h"
#include "ModelInterfaces.h"

#include <optional>
#include <string>

// Base of every model item: an object with the switch "enabled".
class TEnabledItem : public TBOMObject, public IEnabledItem {
    GLZ_INTERFACES(TBOMObject, IEnabledItem)

public:
    bool IsEnabled() override;
    void Notify(int code, int param1, int param2) override;

    // Readers of this model treat a missing parameter as its default.
    std::optional<std::string> ParamText(const std::string& name);
    std::string ParamTextOr(const std::string& name, const std::string& fallback);

protected:
    void Init() override;
    // Code 1 of Notify: fetch the translated texts again.
    virtual void Localize() {}
};

// True when the text counts as switched on: exactly "yes".
inline bool IsYes(const std::string& text) noexcept {
    return text == "yes";
}
