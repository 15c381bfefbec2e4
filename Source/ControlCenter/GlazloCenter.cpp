// The resident program: tray icon, command channel server, glzemb's hook.
#include "AppSpecificConsts.h"
#include "uCCApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ApplicationKind = AppKindControlCenter;
    TCCApp app;
    SetCCApp(&app);
    const int exitCode = RunCenterProgram(app, &TCCApp::Run);
    SetCCApp(nullptr);
    return exitCode;
}
