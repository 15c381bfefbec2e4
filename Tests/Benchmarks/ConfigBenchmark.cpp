// Times the rule editor: its start to the first painted main window beside a bare window
// program, its start with 1,000 rules beside the model's own load of the same file, and Add
// and Save at 1,000 rules beside the model's own save.
#include "BenchmarkFigures.h"
#include "AppSpecificConsts.h"
#include "CenterTestSupport.h"
#include "ConfigBuilder/ConfigBuilderTestSupport.h"
#include "ConfigBuilder/ConfigProgram.h"
#include "ProcessesCommunication.h"
#include "QuendaWindows.h"
#include "RootUIController.h"
#include "XMLStorage.h"
#include "uCBAppForm.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

namespace {

double MillisecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Until the window of the process shows with nothing left to paint.
HWND WaitPainted(DWORD processId, const std::string& className) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindProcessWindow(processId, className)) != nullptr; }, 20000);
    if (window != nullptr)
        WaitUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, 5000);
    return window;
}

void CloseAndWait(HWND window, HANDLE process) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process, 20000);
}

double BareStart(const std::string& folder) {
    return MillisecondsOf([&] {
        UniqueHandle process = StartProgram(folder + "GlzBareWindow.exe");
        HWND window = WaitPainted(GetProcessId(process.Get()), "GlzBareWindow");
        CloseAndWait(window, process.Get());
    });
}

// The start alone: the close is not counted.
double EditorStart(TConfigProgram& program) {
    HWND window = nullptr;
    const double start = MillisecondsOf([&] {
        program.Start();
        window = WaitPainted(program.ProcessId(), "TCBAppForm");
    });
    CloseAndWait(window, program.Process());
    return start;
}

std::string ReadText(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Answers the reload command while the editor saves, as GlazloCenter would.
class TReloadAnswerer {
public:
    TReloadAnswerer()
        : thread_([this] {
              TProcessesCommunication server(ChannelPrefix);
              server.SetTimeout(50);
              ready_ = true;
              while (!stop_) {
                  int code = 0, size = 0;
                  std::vector<char> data;
                  if (server.WaitForCommand(code, size, data) == channelDone)
                      server.Reply(replyDone, 0, nullptr);
              }
          }) {
        WaitUntil([&] { return ready_.load(); }, 5000);
    }
    ~TReloadAnswerer() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> ready_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

int main() {
    EnsureConfigClasses();
    const std::string folder = ProgramFolder();
    constexpr int Starts = 7;

    TConfigProgram sample;
    sample.WriteConfiguration(ReadText(folder + "Glazlo.ini"));
    std::vector<TestRule> rules;
    for (int i = 1; i <= 1000; ++i)
        rules.push_back({"Window Rule " + std::to_string(i), "GlzBenchClass" + std::to_string(i), 60});
    TConfigProgram large;
    large.WriteConfiguration(ConfigurationText(rules));
    const std::string largeFile = (large.Folder() / "Glazlo.ini").string();

    // One round holds one of each, so that a change of the machine's load meets them all, and
    // what the rules add is taken within the round.
    std::vector<double> bare, editor, loads, largeStarts, added;
    for (int i = 0; i < Starts; ++i) {
        bare.push_back(BareStart(folder));
        editor.push_back(EditorStart(sample));
        loads.push_back(MillisecondsOf([&] {
            ComPtr<IBOMObjectSlave> root = LoadConfiguration(largeFile);
            root->ClearOwner();
        }));
        largeStarts.push_back(EditorStart(large));
        added.push_back(largeStarts.back() - editor.back());
    }
    const double bareMs = Median(bare);
    const double editorMs = Median(editor);
    std::printf("start to first painted window, median of %d:\n", Starts);
    std::printf("  bare window program      %8.1f ms (floor)\n", bareMs);
    std::printf("  GlazloConfig, sample     %8.1f ms  %.2fx the floor\n", editorMs, editorMs / bareMs);

    const double loadMs = Median(loads);
    const double largeMs = Median(largeStarts);
    const double addedMs = Median(added);
    std::printf("1,000 rules:\n");
    std::printf("  model load in process    %8.1f ms (floor)\n", loadMs);
    std::printf("  GlazloConfig start       %8.1f ms, %.1f ms more than with the sample: %.2fx the floor\n",
                largeMs, addedMs, addedMs / loadMs);

    // Add and Save in the editor's own main window with 1,000 rules.
    ApplicationFolder = large.Folder().string() + "\\";
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(largeFile);
    auto* controller =
        dynamic_cast<TRootUIController*>(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    const double createMs = MillisecondsOf([&] { controller->CreateUI(); });
    std::printf("  main window built        %8.1f ms\n", createMs);
    controller->MainForm()->Show();
    auto* windows = dynamic_cast<TQuendaWindows*>(static_cast<IBOMObject*>(root.Get()));
    std::vector<double> adds, saves, floors;
    {
        TReloadAnswerer center;
        for (int i = 0; i < Starts; ++i) {
            adds.push_back(MillisecondsOf([&] { controller->AddWindowRule(); }));
            saves.push_back(MillisecondsOf([&] { windows->SaveConfiguration(); }));
            floors.push_back(MillisecondsOf([&] {
                ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
                storage->NewDocument("quenda_windows");
                storage->SaveObject(Supports<IPersistObject>(root).Get());
                storage->SaveToFile(largeFile);
            }));
        }
    }
    controller->DestroyUI();
    root->ClearOwner();
    const double saveFloor = Median(floors);
    std::printf("  model save in process    %8.1f ms (floor)\n", saveFloor);
    std::printf("  Add rule in the editor   %8.1f ms  %.2fx the floor\n", Median(adds),
                Median(adds) / saveFloor);
    std::printf("  Save in the editor       %8.1f ms  %.2fx the floor (with the reload command answered)\n",
                Median(saves), Median(saves) / saveFloor);
    return 0;
}
