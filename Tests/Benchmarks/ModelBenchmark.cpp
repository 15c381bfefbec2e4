// Times the resident program's rule lookup and the configuration file's load and save.
#include "BenchmarkFigures.h"
#include "AppSpecificConsts.h"
#include "BOMObjects.h"
#include "BOMRoutines.h"
#include "GeneralClasses.h"
#include "Handles.h"
#include "ModelRegistration.h"
#include "QuendaWindows.h"
#include "XMLStorage.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr const char* TargetClass = "GlzBenchTarget";

void SetParam(IBOMObject* from, const std::string& path, const std::string& value) {
    MustCast<IBOMParam>(from->ResolvePath(path))->SetValue(Variant(value));
}

// A root with count rules; only the last one matches the target window's class.
ComPtr<IBOMObjectSlave> BuildRoot(int count) {
    ComPtr<IBOMObjectSlave> root = CreateBOMObject("QUENNAWINDOWS", "Glazlo");
    ComPtr<IBOMCollection> rules = MustCast<IBOMCollection>(root->ResolvePath("window_rules"));
    for (int i = 1; i <= count; ++i) {
        ComPtr<IBOMObjectSlave> rule = CreateBOMObject("WINDOWRULE", "Window Rule " + std::to_string(i));
        SetParam(rule.Get(),
                 "conditions/DefaultCondition/criterions/WINDOWCLASSNAMECRITERION/params/window_class_name",
                 i == count ? TargetClass : "GlzBenchOther" + std::to_string(i));
        rules->Add(rule.Get());
    }
    root->SetOwner(nullptr);
    return root;
}

HWND CreateTarget() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = TargetClass;
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "Benchmark target", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

// Microseconds per query; the last rule must answer, or the figure measures a miss.
double MeasureQuery(int count, HWND target, std::size_t& replySize, double& firstQuery) {
    ComPtr<IBOMObjectSlave> root = BuildRoot(count);
    ComPtr<IControlCenter> center = MustCast<IControlCenter>(root->QueryKind("ControlCenter"));
    std::string text;
    // The first query after a load or an edit works the rules out.
    const auto first = Clock::now();
    center->FindRuleDescriptor(target, text);
    firstQuery = MicrosecondsSince(first);
    replySize = text.size();
    const std::string expected = "\\WINDOWRULENAME=Window Rule " + std::to_string(count) + "\\";
    if (text.rfind(expected, 0) != 0)
        return -1;
    const int queries = 2000;
    const auto start = Clock::now();
    for (int q = 0; q < queries; ++q)
        center->FindRuleDescriptor(target, text);
    const double perQuery = MicrosecondsSince(start) / queries;
    root->ClearOwner();
    return perQuery;
}

// Milliseconds of the steps of a save, without the reload command whose wait is the channel's.
double MeasureSave(int count) {
    ComPtr<IBOMObjectSlave> root = BuildRoot(count);
    const auto start = Clock::now();
    ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
    storage->NewDocument("quenda_windows");
    storage->SaveObject(Supports<IPersistObject>(root).Get());
    storage->SaveToFile(ConfigurationFilePath());
    const double ms = MicrosecondsSince(start) / 1000;
    root->ClearOwner();
    return ms;
}

// Milliseconds of LoadConfiguration of the file the last save wrote; negative when it fails.
double MeasureLoad(int count) {
    const auto start = Clock::now();
    ComPtr<IBOMObjectSlave> loaded = LoadConfiguration();
    const double ms = MicrosecondsSince(start) / 1000;
    if (!loaded)
        return -1;
    const int rules = MustCast<IBOMCollection>(loaded->ResolvePath("window_rules"))->Count();
    loaded->ClearOwner();
    return rules == count ? ms : -1;
}
} // namespace

int main() {
    const ComScope com = InitializeCom();
    InitAbstractClasses();
    RegisterBOMClasses();
    RegisterModelClasses();
    RegisterModelActionClasses();
    HWND target = CreateTarget();
    int failures = 0;

    std::printf("FindRuleDescriptor on a window of this process, the last rule matching:\n");
    for (int count : {1, 10, 100, 1000}) {
        std::size_t size = 0;
        double firstQuery = 0;
        const double perQuery = MeasureQuery(count, target, size, firstQuery);
        if (perQuery < 0) {
            std::printf("  %4d rules: the last rule did not answer (%zu bytes)\n", count, size);
            ++failures;
            continue;
        }
        std::printf(
            "  %4d rules: %8.2f us per query, reply of %zu bytes; first query after the load %9.1f us\n",
            count, perQuery, size, firstQuery);
    }

    {
        const auto start = Clock::now();
        ComPtr<IBOMObjectSlave> root = BuildRoot(1000);
        std::printf("Creation of 1000 new rules from the template: %8.1f ms\n",
                    MicrosecondsSince(start) / 1000);
        root->ClearOwner();
    }

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    ApplicationFolder = temp;
    ConfigFileName = "GlzBenchmark.ini";
    std::printf(
        "Configuration file, best of three (load/save floor: the save of the same rules, same run):\n");
    double firstLoad = 0;
    for (int count : {1000, 2000, 4000}) {
        // The best of three each: other work on the machine only ever adds time.
        double save = 0;
        double load = 0;
        for (int round = 0; round < 3 && load >= 0; ++round) {
            const double saved = MeasureSave(count);
            const double loaded = MeasureLoad(count);
            save = round == 0 ? saved : std::min(save, saved);
            load = round == 0 || loaded < 0 ? loaded : std::min(load, loaded);
        }
        if (load < 0) {
            std::printf("  %4d rules: the load failed\n", count);
            ++failures;
            continue;
        }
        if (count == 1000)
            firstLoad = load;
        std::printf("  %4d rules: save %8.1f ms, load %8.1f ms, load/save %5.2f, load/(%d x the 1,000-rule "
                    "load) %5.2f\n",
                    count, save, load, load / save, count / 1000, load / (firstLoad * count / 1000));
    }
    DeleteFileA(ConfigurationFilePath().c_str());
    DestroyWindow(target);
    return failures == 0 ? 0 : 1;
}
