// The rule editor: the main window with the rule tree, its pages, the menu and the tool bar.
#include "Application.h"
#include "AppSpecificConsts.h"
#include "Forms.h"
#include "QuendaWindows.h"
#include "uCBApp.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ApplicationKind = AppKindConfigBuilder;
    // Every form made from now on shows the program's icon.
    Application().SetIcon(LoadIconA(instance, "MAINICON"));
    int exitCode = 1;
    try {
        RegisterConfigBuilderClasses();
        // The application object knows the programs' folder, where the languages lie, and
        // initialises COM, through which they are read.
        TCBApp app;
        InitLanguageFromRegistry();
        if (app.Init()) {
            app.Run();
            exitCode = 0;
        }
        app.Done();
    } catch (...) {
        // What no window could show ends the program; the exit code tells it.
        Application().HandleException();
    }
    return exitCode;
}
