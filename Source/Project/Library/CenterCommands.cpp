#include "CenterCommands.h"

#include "Handles.h"
#include "ProcessesCommunication.h"
#include "SingleAppInstance.h"

#include <vector>

namespace {

// A GlazloCenter of an earlier version answers only on the command channel: the configuration
// program's channel then has no names, and a client that made them would wait for nobody.
const char* ChannelOfTheRunningCenter() {
    const std::string name = std::string(ControlChannelPrefix) + ChannelNewCommandSuffix;
    const UniqueHandle event(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    return event ? ControlChannelPrefix : ChannelPrefix;
}

} // namespace

bool IsControlCenterRunning() {
    return TSingleAppInstance(ControlCenterInstanceName).IsOtherInstanceRunning();
}

TCenterAnswer SendCenterCommand(int code) {
    // Nobody to tell: a send would only wait out the channel's time-out with the editor frozen.
    if (!IsControlCenterRunning())
        return TCenterAnswer::NotRunning;
    for (int send = 1;; ++send) {
        // Chosen anew for each send: one that is starting makes its channels after its name.
        TProcessesCommunication channel(ChannelOfTheRunningCenter());
        int replyCode = 0;
        int replySize = 0;
        std::vector<char> reply;
        if (channel.SendCommand(code, 0, nullptr, replyCode, replySize, reply) == channelDone)
            return TCenterAnswer::Answered;
        if (!IsControlCenterRunning())
            return TCenterAnswer::NotRunning;
        if (send == CenterCommandSends)
            return TCenterAnswer::NoAnswer;
    }
}
