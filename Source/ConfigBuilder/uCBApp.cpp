#include "uCBApp.h"

#include "Application.h"
#include "AppSpecificConsts.h"
#include "BOMObjects.h"
#include "Forms.h"
#include "GeneralClasses.h"
#include "GeneralOptions.h"
#include "ModelRegistration.h"
#include "ModuleFiles.h"
#include "MultiLanguages.h"
#include "QuendaWindows.h"
#include "RootUIController.h"
#include "SingleAppInstance.h"

#include <windows.h>

namespace {

// Before anything is written: a save writes the file without the rules the editor could not read.
void TellRulesNotKept(const std::vector<std::string>& names) {
    constexpr size_t Listed = 20;
    std::string text = Translate("AW_RulesNotKept", "These window rules cannot be read. They are left out, "
                                                    "and the next save writes the file without them:");
    for (size_t i = 0; i < names.size() && i < Listed; ++i)
        text.append("\n\"").append(names[i]).append("\"");
    if (names.size() > Listed)
        text.append("\n")
            .append(Translate("AW_RulesNotKeptMore", "Further rules:"))
            .append(" ")
            .append(std::to_string(names.size() - Listed));
    MessageBoxA(nullptr, text.c_str(), Translate("AppCBTitle", "%appname%").c_str(), MB_OK | MB_ICONWARNING);
}

} // namespace

TCBApp::TCBApp() : com_(InitializeCom()) {
    ApplicationFolder = ModuleFolder();
    ConfigFileName = DefaultConfigFileName;
}

TCBApp::~TCBApp() {
    Done();
}

bool TCBApp::Init() {
    {
        TSingleAppInstance instance(ConfigBuilderInstanceName);
        if (instance.CheckInstance()) {
            instance.ActivateOtherInstance();
            return false;
        }
    }
    bool ok = static_cast<bool>(com_);
    if (!ok)
        MessageBoxA(nullptr, Translate("Error_COMInitialization", "COM initialization error.").c_str(),
                    "Config Builder", MB_OKCANCEL);
    if (ok)
        ok = ReadSettings();
    Application().SetTitle(Translate("AppCBTitle", "%appname%"));
    if (ok)
        ok = LoadModel();
    if (!ok)
        Done();
    return ok;
}

bool TCBApp::ReadSettings() {
    Language = ReadGeneralOptions().Language;
    return true;
}

bool TCBApp::LoadModel() {
    std::vector<std::string> notKept;
    Root = LoadConfiguration(&notKept);
    if (Root && !notKept.empty())
        TellRulesNotKept(notKept);
    return static_cast<bool>(Root);
}

void TCBApp::Run() {
    if (!Root)
        return;
    ComPtr<IConfigBuilder> builder = Supports<IConfigBuilder>(Root->QueryKind("CongifBuilder"));
    if (!builder)
        return;
    builder->CreateUI();
    builder->ShowMainForm();
    builder->DestroyUI();
}

void TCBApp::Done() {
    ReleaseModel();
    com_.Reset();
}

void TCBApp::ReleaseModel() {
    if (!Root)
        return;
    Root->ClearOwner();
    Root.Reset();
}

void RegisterConfigBuilderClasses() {
    InitAbstractClasses();
    RegisterBOMClasses();
    RegisterModelClasses();
    RegisterModelActionClasses();
    RegisterConfigBuilder();
}
