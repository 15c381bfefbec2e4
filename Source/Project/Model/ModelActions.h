#pragma once

#include "EnabledItem.h"

// What a rule does to a window; the operations themselves live in the hook library.
class TAction : public TEnabledItem, public IAction {
    GLZ_INTERFACES(TEnabledItem, IAction)

public:
    bool IsEnabled() override { return TEnabledItem::IsEnabled(); }
    void GetDescriptor(std::string& text) override;
    virtual void GetDescriptorExtra(std::string& text);

protected:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
    void Load(IHierStorage* storage) override;
    void Localize() override;

    // The key written in front of the item's braces in a rule text.
    std::string KindKey;
};

class TTransparentWindowAction : public TAction {
public:
    void GetDescriptorExtra(std::string& text) override;

protected:
    void Init() override;
};

class TStayOnTopAction : public TAction {
protected:
    void Init() override;
};

class TGhostWindowAction : public TAction {
protected:
    void Init() override;
};
