#include "ChannelSquatter.h"

#include "ChildProcess.h"
#include "ModuleFiles.h"

#include <windows.h>

namespace {

std::string ThisProgramFolder() {
    return ModuleFolder();
}

} // namespace

TChannelSquatter::TChannelSquatter(const std::string& prefix, const std::string& how) {
    const std::string ready = UniqueName("GlzSquatterReady");
    const UniqueHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    quit_.Reset(CreateEventA(nullptr, TRUE, FALSE, (ready + "Quit").c_str()));
    const std::string program = ThisProgramFolder() + "GlzChannelSquatter.exe";
    if (!readyEvent || !quit_)
        return;
    process_ = StartProcess(program, "\"" + program + "\" \"" + prefix + "\" " + ready + " " + how).Process;
    if (!process_)
        return;
    const HANDLE both[] = {readyEvent.Get(), process_.Get()};
    holds_ = WaitForMultipleObjects(2, both, FALSE, 10000) == WAIT_OBJECT_0;
}

TChannelSquatter::~TChannelSquatter() {
    if (!process_)
        return;
    SetEvent(quit_.Get());
    if (WaitForExit(process_.Get(), 5000) == WAIT_TIMEOUT)
        TerminateProcess(process_.Get(), 1);
}
