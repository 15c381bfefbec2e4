#include "AppSpecificConsts.h"
#include "BOMRoutines.h"
#include "Handles.h"
#include "ModelInterfaces.h"
#include "ModelTestSupport.h"
#include "QuendaWindows.h"

#include <gtest/gtest.h>

namespace {
// The shipped sample, built the way the configuration program would write it.
ComPtr<IBOMObjectSlave> BuildSample() {
    ComPtr<IBOMObjectSlave> root = CreateBOMObject("QUENNAWINDOWS", "Glazlo");
    ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Notepad");
    SetParamAt(rule.Get(),
               "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name",
               "Notepad");
    SetParamAt(rule.Get(), "actions/TransparentWindow/params/transparency_level", "60");
    MustCast<IBOMCollection>(root->ResolvePath("window_rules"))->Add(rule.Get());
    root->SetOwner(nullptr);
    return root;
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
} // namespace

TEST(SampleConfig, ShippedFileIsWhatTheModelWrites) {
    EnsureModelClasses();
    ApplicationFolder = TempFolder("GlzSampleTest");
    ConfigFileName = "Glazlo.ini";
    ComPtr<IBOMObjectSlave> root = BuildSample();
    auto* windows = dynamic_cast<TQuendaWindows*>(static_cast<IBOMObject*>(root.Get()));
    windows->Modified = true;
    windows->SaveConfiguration();
    root->ClearOwner();
    EXPECT_EQ(ReadFileText(ProgramFolder() + "Glazlo.ini"), ReadFileText(ConfigurationFilePath()))
        << "fresh output in " << ConfigurationFilePath();
}

TEST(SampleConfig, ShippedFileMakesNotepadTransparentOnCreation) {
    EnsureModelClasses();
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ProgramFolder() + "Glazlo.ini");
    ASSERT_TRUE(root);
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/Notepad/actions/TransparentWindow/params/transparency_level"),
              "60");
    EXPECT_EQ(ParamAt(root.Get(), "window_rules/Notepad/triggers/CreateMessageTrigger/params/enabled"),
              "yes");
    root->ClearOwner();
}

TEST(SampleConfig, ShippedRuleAnswersForWineNotepad) {
    EnsureModelClasses();
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ProgramFolder() + "Glazlo.ini");
    ASSERT_TRUE(root);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    char command[] = "notepad.exe";
    ASSERT_TRUE(
        CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    HWND notepad = nullptr;
    for (DWORD start = GetTickCount(); notepad == nullptr && GetTickCount() - start < 10000; Sleep(20))
        notepad = FindWindowA("Notepad", nullptr);
    std::string text;
    if (notepad != nullptr)
        MustCast<IControlCenter>(root->QueryKind("ControlCenter"))->FindRuleDescriptor(notepad, text);
    TerminateProcess(processHandle.Get(), 0);
    WaitForSingleObject(processHandle.Get(), 5000);
    root->ClearOwner();
    ASSERT_NE(notepad, nullptr);
    EXPECT_EQ(text.rfind("\\WINDOWRULENAME=Notepad\\ACTION=TRANSPARENTWINDOWACTION{\\NAME=TransparentWindow"
                         "\\SAVECURRENTOPERATION=no\\\\TRANSPARENTLEVEL=60}\\TRIGGER=WMCREATEMESSAGETRIGGER{",
                         0),
              0u)
        << text;
}
