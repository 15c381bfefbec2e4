// Times the resident program's rule lookup and the configuration file's load and save.
#include "AppSpecificConsts.h"
#include "BOMObjects.h"
#include "BOMRoutines.h"
#include "GeneralClasses.h"
#include "ModelRegistration.h"
#include "QuendaWindows.h"
#include "XMLStorage.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void SetParam(IBOMObject* from, const std::string& path, const std::string& value) {
    MustCast<IBOMParam>(from->ResolvePath(path))->SetValue(Variant(value));
}

// A root with count rules; only the last one matches the class "GlzBenchTarget".
ComPtr<IBOMObjectSlave> BuildRoot(int count) {
    ComPtr<IBOMObjectSlave> root = CreateBOMObject("QUENNAWINDOWS", "Glazlo");
    ComPtr<IBOMCollection> rules = MustCast<IBOMCollection>(root->ResolvePath("window_rules"));
    for (int i = 1; i <= count; ++i) {
        ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Window Rule " + std::to_string(i));
        SetParam(rule.Get(),
                 "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name",
                 i == count ? "GlzBenchTarget" : "GlzBenchOther" + std::to_string(i));
        rules->Add(rule.Get());
    }
    root->SetOwner(nullptr);
    return root;
}

HWND CreateTarget() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GlzBenchTarget";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "Benchmark target", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           nullptr, nullptr, wc.hInstance, nullptr);
}
} // namespace

int main() {
    CoInitialize(nullptr);
    InitAbstractClasses();
    RegisterBOMClasses();
    RegisterModelClasses();
    RegisterModelActionClasses();
    HWND target = CreateTarget();

    for (int count : {10, 100, 1000}) {
        ComPtr<IBOMObjectSlave> root = BuildRoot(count);
        ComPtr<IControlCenter> center = MustCast<IControlCenter>(root->QueryKind("ControlCenter"));
        const int queries = count >= 1000 ? 50 : 500;
        std::string text;
        const auto start = Clock::now();
        for (int q = 0; q < queries; ++q)
            center->FindRuleDescriptor(target, text);
        std::printf("FindRuleDescriptor, %4d rules (match last): %10.1f us per query (%zu bytes)\n", count,
                    MicrosecondsSince(start) / queries, text.size());
        root->ClearOwner();
    }

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    ApplicationFolder = temp;
    ConfigFileName = "GlzBenchmark.ini";
    {
        ComPtr<IBOMObjectSlave> root = BuildRoot(1000);
        // The steps of a save without the reload command, whose wait is the channel's time-out.
        auto start = Clock::now();
        ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
        storage->NewDocument("quenda_windows");
        storage->SaveObject(Supports<IPersistObject>(root).Get());
        storage->SaveToFile(ConfigurationFilePath());
        std::printf("Save of 1000 rules: %10.1f ms\n", MicrosecondsSince(start) / 1000);
        root->ClearOwner();
    }
    auto start = Clock::now();
    ComPtr<IBOMObjectSlave> loaded = LoadConfiguration();
    std::printf("Load of 1000 rules: %10.1f ms\n", MicrosecondsSince(start) / 1000);
    if (loaded)
        loaded->ClearOwner();
    DeleteFileA(ConfigurationFilePath().c_str());
    DestroyWindow(target);
    CoUninitialize();
    return loaded ? 0 : 1;
}
