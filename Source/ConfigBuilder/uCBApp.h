#pragma once

#include "BOMInterfaces.h"

#include <string>

// The configuration program's application object: guards against a second copy, checks COM,
// loads the configuration, hands the run over to the root's "CongifBuilder" plug and cleans up.
class TCBApp {
public:
    // The programs' folder and the configuration file's name.
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
    // Releases the root and ends the COM use that Init began. Any number of calls: COM is
    // uninitialised once for each successful initialisation.
    void Done();
    void ReleaseModel();

    ComPtr<IBOMObjectSlave> Root;
    std::string Language;

private:
    bool comInitialized_ = false;
};

// The classes of the configuration program, registered once.
void RegisterConfigBuilderClasses();
