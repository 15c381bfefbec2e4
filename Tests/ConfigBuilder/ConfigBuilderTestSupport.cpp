#include "ConfigBuilderTestSupport.h"

#include "AppSpecificConsts.h"
#include "BOMObjects.h"
#include "ChildProcess.h"
#include "GeneralClasses.h"
#include "ModuleFiles.h"
#include "ModelRegistration.h"
#include "MultiLanguages.h"
#include "ProcessesCommunication.h"
#include "Project/Model/ModelTestSupport.h"
#include "RootUIController.h"
#include "WaitUntil.h"

#include <fstream>
#include <sstream>

namespace {

struct TAnswererState {
    int Button = IDOK;
    std::vector<std::string> Texts;
    std::vector<std::string> Captions;
};
TAnswererState Answerer;

BOOL CALLBACK AnswerBox(HWND window, LPARAM) noexcept {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    char text[1024] = {};
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    Answerer.Texts.push_back(text);
    Answerer.Captions.push_back(caption);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(Answerer.Button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, Answerer.Button)));
    return FALSE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) noexcept {
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
}

std::function<bool()> DriverStep;

void CALLBACK DriverTimer(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    try {
        if (DriverStep && DriverStep()) {
            DriverStep = nullptr;
            KillTimer(nullptr, timer);
        }
    } catch (...) {
        DriverStep = nullptr;
    }
}

} // namespace

TTimerDriver::TTimerDriver(std::function<bool()> step) {
    DriverStep = std::move(step);
    timer_ = SetTimer(nullptr, 0, 30, DriverTimer);
}

TTimerDriver::~TTimerDriver() {
    KillTimer(nullptr, timer_);
    DriverStep = nullptr;
}

void EnsureConfigClasses() {
    static const bool done = [] {
        EnsureModelClasses();
        RegisterConfigBuilder();
        ConfigFileName = DefaultConfigFileName;
        LoadLanguage("");
        SetMacro("appname", "Glazlo");
        return true;
    }();
    (void)done;
}

TMessageBoxAnswerer::TMessageBoxAnswerer(int button) {
    Answerer = TAnswererState{button, {}, {}};
    timer_ = SetTimer(nullptr, 0, 50, AnswerTimer);
}

TMessageBoxAnswerer::~TMessageBoxAnswerer() {
    KillTimer(nullptr, timer_);
}

const std::vector<std::string>& TMessageBoxAnswerer::Texts() const {
    return Answerer.Texts;
}

const std::vector<std::string>& TMessageBoxAnswerer::Captions() const {
    return Answerer.Captions;
}

std::string NewTestFolder(const std::string& stem) {
    static int counter = 0;
    return TempFolder(stem + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter));
}

std::string ProgramFolder() {
    return ModuleFolder();
}

std::string RegString(const char* key, const char* value) {
    char text[512] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<none>";
    return text;
}
