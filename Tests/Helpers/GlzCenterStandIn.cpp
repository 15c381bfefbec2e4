// Stands in for GlazloCenter on the configuration program's channel: appends every code it
// receives to a log file (one line each), answers like GlazloCenter, and ends on command 3.
// Arguments: log file, ready event name, then optional "guard" (hold GlazloCenter's
// single-instance name), "ignore=N" (leave the first N commands unanswered) and "original"
// (serve the command channel instead, as a GlazloCenter of an earlier version does).
#include "ChannelServerRole.h"
#include "ProcessesCommunication.h"
#include "SingleAppInstance.h"

#include <windows.h>

#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3)
        return 2;
    int ignore = 0;
    bool guard = false;
    const char* prefix = ControlChannelPrefix;
    for (int i = 3; i < __argc; ++i) {
        const std::string arg = __argv[i];
        if (arg == "guard")
            guard = true;
        else if (arg.rfind("ignore=", 0) == 0)
            ignore = std::stoi(arg.substr(7));
        else if (arg == "original")
            prefix = ChannelPrefix;
    }
    TSingleAppInstance instance(ControlCenterInstanceName);
    if (guard && instance.CheckInstance())
        return 4;
    return ServeChannel(
        prefix, __argv[2],
        [&](TProcessesCommunication& channel, int code, int, const std::vector<char>&) {
            {
                std::ofstream log(__argv[1], std::ios::app);
                log << code << "\n";
            }
            if (ignore > 0) {
                --ignore;
                return true;
            }
            if (code >= cmdReloadConfiguration && code <= cmdReloadSettings)
                channel.Reply(replyDone, 0, nullptr);
            return code != cmdCloseCenter && code != testCmdQuit;
        },
        60000);
}
