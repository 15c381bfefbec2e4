#pragma once

#include "BOMInterfaces.h"
#include "Handles.h"

#include <string>

// The configuration program's application object: guards against a second copy, checks COM,
// loads the configuration, hands the run over to the root's "CongifBuilder" plug and cleans up.
class TCBApp {
public:
    // The programs' folder and the configuration file's name; COM for the program's one thread,
    // which the language needs before Init runs.
    TCBApp();
    ~TCBApp();
    TCBApp(const TCBApp&) = delete;
    TCBApp& operator=(const TCBApp&) = delete;

    // True when the program may run; a failed start has cleaned up already.
    bool Init();
    bool ReadSettings();
    bool LoadModel();
    // Shows the main window and returns when it closes.
    void Run();
    // Releases the root, then ends the COM use that the application object began. Any number of
    // calls: COM is uninitialised once, and only when its initialisation succeeded.
    void Done();
    void ReleaseModel();

    ComPtr<IBOMObjectSlave> Root;
    std::string Language;

private:
    ComScope com_;
};

// The classes of the configuration program, registered once.
void RegisterConfigBuilderClasses();
