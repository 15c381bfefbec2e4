#include "CenterStandIn.h"

#include "ChildProcess.h"
#include "ModuleFiles.h"

#include <fstream>

TCenterStandIn::TCenterStandIn(const std::string& options) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    log_ = std::string(temp) + UniqueName("GlzStandInCodes") + ".log";
    DeleteFileA(log_.c_str());
    const std::string ready = UniqueName("GlzStandInReady");
    UniqueHandle readyEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    const std::string program = ModuleFolder() + "GlzCenterStandIn.exe";
    process_ = StartProcess(program, "\"" + program + "\" \"" + log_ + "\" " + ready + " " + options).Process;
    if (process_) {
        HANDLE both[] = {readyEvent.Get(), process_.Get()};
        WaitForMultipleObjects(2, both, FALSE, 10000);
    }
}

// The stand-in may be leaving commands unanswered: it is simply ended.
TCenterStandIn::~TCenterStandIn() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 3000);
    }
    DeleteFileA(log_.c_str());
}

std::string TCenterStandIn::Codes() const {
    return Joined(false);
}

std::string TCenterStandIn::Heard() const {
    return Joined(true);
}

std::string TCenterStandIn::Joined(bool repeatsOnce) const {
    std::ifstream in(log_);
    std::string line;
    std::string last;
    std::string codes;
    while (std::getline(in, line)) {
        if (!repeatsOnce || line != last)
            codes += (codes.empty() ? "" : ",") + line;
        last = line;
    }
    return codes;
}
