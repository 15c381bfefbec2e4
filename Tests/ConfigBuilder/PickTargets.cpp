#include "PickTargets.h"

#include "ChildProcess.h"
#include "ModuleFiles.h"
#include "WaitUntil.h"

#include <string>

namespace {

std::string BinFolder() {
    return ModuleFolder();
}

} // namespace

TPickTargets::TPickTargets() {
    std::string line = "\"";
    line += BinFolder();
    line += "GlzPickTargets.exe\"";
    process_ = StartProcess("", line).Process;
    if (!process_)
        return;
    WaitUntil([this] {
        one = FindWindowA("GlzPickTarget", "Pick target one");
        two = FindWindowA("GlzPickTarget", "Pick target two");
        dialog = FindWindowA("#32770", "Pick dialog");
        button = dialog != nullptr ? FindWindowExA(dialog, nullptr, "BUTTON", "OK") : nullptr;
        return Ready() && IsWindowVisible(dialog);
    });
}

TPickTargets::~TPickTargets() {
    if (!process_)
        return;
    if (one != nullptr)
        PostMessageA(one, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.Get(), 5000) != WAIT_OBJECT_0)
        TerminateProcess(process_.Get(), 1); // a helper that hangs is the failure
}

POINT InsideClient(HWND w, int dx, int dy) {
    POINT p{dx, dy};
    ClientToScreen(w, &p);
    return p;
}

void Deliver() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
