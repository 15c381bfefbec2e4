#include "uCBApp.h"

#include "AppSpecificConsts.h"
#include "BOMObjects.h"
#include "Forms.h"
#include "GeneralClasses.h"
#include "GeneralOptions.h"
#include "ModelRegistration.h"
#include "MultiLanguages.h"
#include "QuendaWindows.h"
#include "RootUIController.h"
#include "SingleAppInstance.h"

#include <objbase.h>
#include <windows.h>

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1);
}

} // namespace

TCBApp::TCBApp() {
    ApplicationFolder = ProgramFolder();
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
    const HRESULT com = CoInitialize(nullptr);
    comInitialized_ = SUCCEEDED(com);
    bool ok = com == S_OK || com == S_FALSE;
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
    Root = LoadConfiguration();
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
    if (comInitialized_) {
        comInitialized_ = false;
        CoUninitialize();
    }
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
