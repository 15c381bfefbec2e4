#pragma once

// What the benchmarks of glzemb share: starting the helper programs of the build folder, and a
// measurement taken while a library is installed as a global hook by another process.
#include "ChildProcess.h"
#include "Handles.h"
#include "ModuleFiles.h"

#include <windows.h>

#include <string>

// The folder of this program, which holds the helpers and the deliverables.
inline std::string BinFolder() {
    return ModuleFolder();
}

// A program by its command line, in the build folder; null when it could not start.
inline UniqueHandle StartCommand(const std::string& commandLine) {
    return StartProcess("", commandLine, BinFolder()).Process;
}

// A helper program of the build folder with its arguments.
inline UniqueHandle StartHelper(const std::string& program, const std::string& arguments) {
    std::string line(1, '"');
    line.append(BinFolder()).append(program).append("\" ").append(arguments);
    return StartCommand(line);
}

// Runs Measure while the named library is installed as a global hook by another process.
template <class Measure> double WithHook(const char* library, Measure measure) {
    const std::string readyName = UniqueName("GlzBenchReady");
    const std::string stopName = UniqueName("GlzBenchStop");
    const UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    const UniqueHandle stop(CreateEventA(nullptr, TRUE, FALSE, stopName.c_str()));
    std::string arguments = readyName;
    arguments.append(" ").append(stopName).append(" ").append(library);
    const UniqueHandle installer = StartHelper("GlzHookInstaller.exe", arguments);
    double result = -1;
    if (WaitForSingleObject(ready.Get(), 10000) == WAIT_OBJECT_0)
        result = measure();
    SetEvent(stop.Get());
    WaitForExitPumping(installer.Get());
    return result;
}
