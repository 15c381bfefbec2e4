// The resident program: tray icon, command channel server, glzemb's hook.
#include "AppSpecificConsts.h"
#include "uCCApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ApplicationKind = AppKindControlCenter;
    int exitCode = 0;
    {
        TCCApp app;
        SetCCApp(&app);
        bool started = false;
        try {
            InitLanguageFromRegistry();
            started = app.Init();
            if (started)
                app.Run();
        } catch (...) {
            // A failed start-up ends the program without a message, with a code that says so.
            if (!started && app.ExitCode() == TCenterExit::Normal)
                app.SetExitCode(TCenterExit::StartupException);
        }
        app.Finalize();
        exitCode = static_cast<int>(app.ExitCode());
        SetCCApp(nullptr);
    }
    return exitCode;
}
