// Times the rule page of the configuration program: its first display (every panel made),
// a repeated display (the panels kept by the rule shown again) and one level change with the
// refresh it causes; each beside its floor, the time to create and paint the same controls
// bare (the same window classes straight through CreateWindowEx) in the same round.
#include "BenchmarkFigures.h"
#include "BOMObjects.h"
#include "AbstractDetailPanel.h"
#include "BOM_UI.h"
#include "DetailPanelRegistration.h"
#include "GeneralClasses.h"
#include "Handles.h"
#include "ModelRegistration.h"
#include "MultiLanguages.h"
#include "QuendaWindows.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 15;

// Paints what is pending, as a shown page would be.
void Settle(HWND host) {
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The windows under parent as bare controls would make them: a control's own parts (the edit
// of a combo box) come with it, and the layer's own window classes count as static controls.
struct TBareKind {
    std::string ClassName;
    DWORD Style;
};

std::vector<TBareKind> BareKinds(HWND parent) {
    std::vector<TBareKind> kinds;
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM out) -> BOOL {
            char name[64] = {};
            GetClassNameA(GetParent(w), name, sizeof(name));
            if (lstrcmpiA(name, "ComboBox") == 0)
                return TRUE;
            GetClassNameA(w, name, sizeof(name));
            const std::string kind = name;
            const bool system = kind == "Button" || kind == "Edit" || kind == "ComboBox" ||
                                kind == "Static" || kind == "msctls_trackbar32" || kind == "msctls_updown32";
            const auto style = static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)) & ~WS_TABSTOP;
            reinterpret_cast<std::vector<TBareKind>*>(out)->push_back(
                {system ? kind : "Static", system ? style : WS_CHILD | WS_VISIBLE});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&kinds));
    return kinds;
}

// The floor: the same controls made bare in host and painted; destroyed again afterwards.
double BareControls(HWND host, const std::vector<TBareKind>& kinds) {
    const auto start = Clock::now();
    std::vector<HWND> controls;
    int i = 0;
    for (const TBareKind& kind : kinds) {
        controls.push_back(CreateWindowExA(0, kind.ClassName.c_str(), "bare", kind.Style | WS_CHILD, 4,
                                           4 + (i % 30) * 18, 200, 17, host, nullptr, nullptr, nullptr));
        ++i;
    }
    Settle(host);
    const double micros = MicrosecondsSince(start);
    for (HWND control : controls)
        DestroyWindow(control);
    Settle(host);
    return micros;
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
        page = AsDetailPanel(AsUIElement(rule.Get())->GetDetailPanel("DefaultDetailPanel", host));
        page->Show();
        Settle(host);
    }
};

// Each figure's floor is measured in the same round, so that a busy machine slows both alike.
struct TFigure {
    std::vector<double> Times;
    std::vector<double> Floors;
    std::vector<double> Ratios;
    void Add(double micros, double floor) {
        Times.push_back(micros);
        Floors.push_back(floor);
        Ratios.push_back(micros / floor);
    }
    void Print(const char* what, std::size_t controls) const {
        std::printf("%-26s %8.0f us  (%2zu controls; bare %7.0f us)  ratio %.2f\n", what, Median(Times),
                    controls, Median(Floors), Median(Ratios));
    }
};

// The configuration page with a help text of Characters in one paragraph (0: the built-in text),
// localized and painted; answers the time and how much of the text the page shows.
std::pair<double, int> ShowHelpText(HWND host, std::size_t characters) {
    TRuleOnPage shown;
    TAbstractDetailPanel* panel =
        AsDetailPanel(AsUIElement(shown.root.Get())->GetDetailPanel("DefaultDetailPanel", host));
    panel->Show();
    panel->SetBounds(0, 0, 440, 300);
    Settle(host);
    if (characters > 0) {
        MultiLanguages()->Strings.Clear();
        MultiLanguages()->Strings.Add("Start of the help. " + std::string(characters - 19, 'x'), "AWDP_Memo");
    }
    const auto start = Clock::now();
    panel->Localize();
    Settle(host);
    const double micros = MicrosecondsSince(start);
    const int shownLength = GetWindowTextLengthA(GetWindow(panel->Handle(), GW_CHILD));
    panel->Hide();
    InitLanguageFromRegistry();
    return {micros, shownLength};
}

} // namespace

int main() {
    const ComScope com = InitializeCom();
    InitAbstractClasses();
    RegisterBOMClasses();
    RegisterModelClasses();
    RegisterModelActionClasses();
    InitLanguageFromRegistry();
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
        warm.page->Hide();
    }

    // The controls of the page and of the transparency panel, as bare controls would be made.
    std::vector<TBareKind> pageKinds, levelKinds;
    {
        TRuleOnPage sample;
        sample.Show(host);
        pageKinds = BareKinds(sample.page->Handle());
        ComPtr<IBOMObject> action = sample.rule->ResolvePath("actions/TransparentWindow");
        levelKinds = BareKinds(
            AsDetailPanel(AsUIElement(action.Get())->GetDetailPanel("DefaultDetailPanel", host))->Handle());
        sample.page->Hide();
    }

    TFigure first, again, level;
    for (int round = 0; round < kRounds; ++round) {
        TRuleOnPage shown;
        const double pageFloor = BareControls(host, pageKinds);
        auto start = Clock::now();
        shown.Show(host);
        first.Add(MicrosecondsSince(start), pageFloor);

        shown.page->Hide();
        Settle(host);
        start = Clock::now();
        shown.Show(host);
        again.Add(MicrosecondsSince(start), pageFloor);

        ComPtr<IBOMObject> action = shown.rule->ResolvePath("actions/TransparentWindow");
        const double levelFloor = BareControls(host, levelKinds);
        start = Clock::now();
        MustCast<IBOMParam>(action->ResolvePath("params/transparency_level"))
            ->SetValue(Variant(std::to_string(40 + round)));
        Settle(host);
        level.Add(MicrosecondsSince(start), levelFloor);
        shown.page->Hide();
    }

    std::printf("Rule page, medians of %d rounds, each beside its floor of the same round:\n", kRounds);
    first.Print("first display", pageKinds.size());
    again.Print("repeated display", pageKinds.size());
    level.Print("level change and refresh", levelKinds.size());

    // A language file's help text in one long paragraph, beside the built-in text in the same round.
    constexpr std::size_t kHelpSizes[] = {10000, 40000};
    TFigure help[2];
    int shownLength[2] = {};
    for (int round = 0; round < 5; ++round) {
        const double builtIn = ShowHelpText(host, 0).first;
        for (int i = 0; i < 2; ++i) {
            const auto [micros, length] = ShowHelpText(host, kHelpSizes[i]);
            help[i].Add(micros, builtIn);
            shownLength[i] = length;
        }
    }
    std::printf("Configuration page with a help text in one paragraph, medians of 5 rounds, beside the\n"
                "built-in help text of the same round:\n");
    for (int i = 0; i < 2; ++i)
        std::printf("%6zu characters (%4d shown) %8.0f us  (built-in %7.0f us)  ratio %.2f\n", kHelpSizes[i],
                    shownLength[i], Median(help[i].Times), Median(help[i].Floors), Median(help[i].Ratios));
    DestroyWindow(host);
    return 0;
}
