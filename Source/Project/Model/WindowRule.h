#pragma once

#include "EnabledItem.h"

// A rule: any one enabled condition matching a window applies its actions and triggers.
class TWindowRule : public TEnabledItem, public IWindowRule, public IUIList {
    GLZ_INTERFACES(TEnabledItem, IWindowRule, IUIList)

public:
    ComPtr<IUIList> GetUIList() override { return ComPtr<IUIList>(static_cast<IUIList*>(this)); }
    // One node each for "conditions", "actions" and "triggers", in this order.
    void FillTreeNode(TUINode node) override;
    bool IsEnabled() override { return TEnabledItem::IsEnabled(); }
    bool Match(HWND window) override;
    void GetDescriptor(std::string& text) override;

protected:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
};
