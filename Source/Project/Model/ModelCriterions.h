#pragma once

#include "EnabledItem.h"
#include "WindowMatching.h"

// One test on a window; only enabled criteria with a value take part.
class TCriterion : public TEnabledItem, public ICriterion {
    GLZ_INTERFACES(TEnabledItem, ICriterion)

public:
    bool IsEnabled() override { return TEnabledItem::IsEnabled(); }
    bool Match(HWND window) override;
    // What the criterion asks of a window as its parameters stand; the base asks what no
    // window has.
    virtual TWindowTest GetTest();

protected:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
};

class TWindowClassNameCriterion : public TCriterion {
public:
    bool IsEnabled() override;
    TWindowTest GetTest() override;

protected:
    void Init() override;
};

class TWindowCaptionCriterion : public TCriterion {
public:
    bool IsEnabled() override;
    TWindowTest GetTest() override;

protected:
    void Init() override;
};

// Matches when every usable criterion matches and there is at least one.
class TCondition : public TEnabledItem, public ICondition {
    GLZ_INTERFACES(TEnabledItem, ICondition)

public:
    bool IsEnabled() override { return TEnabledItem::IsEnabled(); }
    bool Match(HWND window) override;

protected:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
};
