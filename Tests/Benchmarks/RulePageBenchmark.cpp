// Times the rule page of the configuration program: its first display (every panel made),
// a repeated display (the panels kept by the rule shown again) and one level change with the
// refresh it causes; each beside the floor of this run, the time to create as many bare
// controls as the figure's work touches.
#include "BOMObjects.h"
#include "BOM_UI.h"
#include "DetailPanelRegistration.h"
#include "GeneralClasses.h"
#include "ModelRegistration.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 15;

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Paints what is pending, as a shown page would be.
void Settle(HWND host) {
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int CountWindows(HWND parent) {
    int count = 0;
    EnumChildWindows(
        parent, [](HWND, LPARAM counter) -> BOOL { return ++*reinterpret_cast<int*>(counter), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// The floor: count bare controls made in host, painted, and destroyed again.
double BareControls(HWND host, int count) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        std::vector<HWND> controls;
        for (int i = 0; i < count; ++i)
            controls.push_back(CreateWindowExA(0, "BUTTON", "bare", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                                               4, 4 + (i % 30) * 18, 200, 17, host, nullptr, nullptr,
                                               nullptr));
        Settle(host);
        times.push_back(MicrosecondsSince(start));
        for (HWND control : controls)
            DestroyWindow(control);
    }
    return Median(times);
}

struct TRuleOnPage {
    ComPtr<IBOMObjectSlave> root;
    ComPtr<IBOMObjectSlave> rule;
    TAbstractDetailPanel* page = nullptr;

    TRuleOnPage() {
        root = CreateBOMObject("QUENNAWINDOWS", "Glazlo");
        rule = CreateBOMObject("WINDOWRULE", "Window Rule 1");
        MustCast<IBOMCollection>(root->ResolvePath("window_rules"))->Add(rule.Get());
        root->SetOwner(nullptr);
        AsUIElement(root.Get())->AttachUI(Supports<IUI>(root).Get());
    }
    ~TRuleOnPage() {
        AsUIElement(root.Get())->DetachUI();
        root->ClearOwner();
    }
    void Show(HWND host) {
        page = AsUIElement(rule.Get())->GetDetailPanel("DefaultDetailPanel");
        page->SetParent(host);
        Settle(host);
    }
};

void Print(const char* what, double micros, int controls, double floor) {
    std::printf("%-28s %9.0f us  (%3d controls; bare %8.0f us)  ratio %.2f\n", what, micros, controls, floor,
                micros / floor);
}

} // namespace

int main() {
    CoInitialize(nullptr);
    InitAbstractClasses();
    RegisterBOMClasses();
    RegisterModelClasses();
    RegisterModelActionClasses();
    RegisterRulePagePanels();

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "GlzBenchHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Rule page benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 640, 560, nullptr, nullptr, wc.hInstance, nullptr);

    // Warm-up: window classes, fonts and resources are loaded once per process.
    {
        TRuleOnPage warm;
        warm.Show(host);
        warm.page->SetParent(nullptr);
    }

    std::vector<double> first, again, level;
    int pageControls = 0, levelControls = 0;
    for (int round = 0; round < kRounds; ++round) {
        TRuleOnPage shown;
        auto start = Clock::now();
        shown.Show(host);
        first.push_back(MicrosecondsSince(start));
        pageControls = CountWindows(shown.page->Handle()) + 1;

        shown.page->SetParent(nullptr);
        Settle(host);
        start = Clock::now();
        shown.Show(host);
        again.push_back(MicrosecondsSince(start));

        ComPtr<IBOMObject> action = shown.rule->ResolvePath("actions/TransparentWindow");
        HWND actionPanel = AsUIElement(action.Get())->GetDetailPanel("DefaultDetailPanel")->Handle();
        levelControls = CountWindows(actionPanel) + 1;
        start = Clock::now();
        MustCast<IBOMParam>(action->ResolvePath("params/transparency_level"))
            ->SetValue(Variant(std::to_string(40 + round)));
        Settle(host);
        level.push_back(MicrosecondsSince(start));
        shown.page->SetParent(nullptr);
    }

    std::printf("Rule page, median of %d rounds under this run's conditions:\n", kRounds);
    Print("first display", Median(first), pageControls, BareControls(host, pageControls));
    Print("repeated display", Median(again), pageControls, BareControls(host, pageControls));
    Print("level change and refresh", Median(level), levelControls, BareControls(host, levelControls));
    DestroyWindow(host);
    CoUninitialize();
    return 0;
}
