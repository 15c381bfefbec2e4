// The resident program: tray icon, command channel server, glzemb's hook.
#include "AppSpecificConsts.h"
#include "uCCApp.h"

#include <objbase.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ApplicationKind = AppKindControlCenter;
    const HRESULT com = CoInitialize(nullptr);
    {
        TCCApp app;
        SetCCApp(&app);
        try {
            InitLanguageFromRegistry();
            if (app.Init())
                app.Run();
        } catch (...) {
            // A failed start-up ends the program without a message.
        }
        app.Finalize();
        SetCCApp(nullptr);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
