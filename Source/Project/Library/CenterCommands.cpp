#include "CenterCommands.h"

#include "ProcessesCommunication.h"
#include "SingleAppInstance.h"

#include <vector>

bool IsControlCenterRunning() {
    return TSingleAppInstance(ControlCenterInstanceName).IsOtherInstanceRunning();
}

TCenterAnswer SendCenterCommand(int code) {
    // Nobody to tell: a send would only wait out the channel's time-out with the editor frozen.
    if (!IsControlCenterRunning())
        return TCenterAnswer::NotRunning;
    TProcessesCommunication channel(ControlChannelPrefix);
    for (int send = 1;; ++send) {
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
