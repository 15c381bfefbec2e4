#include "uCCModel.h"

ComPtr<IBOMObjectSlave> LoadConfigurationRoot() {
    return LoadConfiguration();
}

void ReleaseConfigurationRoot(ComPtr<IBOMObjectSlave>& root) noexcept {
    try {
        if (root)
            root->ClearOwner();
    } catch (...) {
    }
    root.Reset();
}

ComPtr<IControlCenter> ControlCenterOf(IBOMObjectSlave* root) {
    if (root == nullptr)
        return nullptr;
    return Supports<IControlCenter>(root->QueryKind("ControlCenter").Get());
}

std::string FindRuleText(IControlCenter* query, HWND window) {
    std::string text;
    if (query != nullptr)
        query->FindRuleDescriptor(window, text);
    return text;
}
