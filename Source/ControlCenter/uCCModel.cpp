#include "uCCModel.h"

#include "BOMObjects.h"
#include "GeneralClasses.h"
#include "ModelRegistration.h"

#include <mutex>

void RegisterCenterClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        InitAbstractClasses();
        RegisterBOMClasses();
        RegisterModelClasses();
        RegisterModelActionClasses();
    });
}

ComPtr<IBOMObjectSlave> LoadConfigurationRoot() {
    RegisterCenterClasses();
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
