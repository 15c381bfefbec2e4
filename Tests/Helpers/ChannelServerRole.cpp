#include "ChannelServerRole.h"

#include "Handles.h"
#include "ProcessesCommunication.h"

#include <cstring>

int ServeChannel(const std::string& prefix, const std::string& readyEvent, const TRequestHandler& handle,
                 DWORD idleLimit) {
    TProcessesCommunication channel(prefix);
    if (!channel.Usable())
        return 3;
    {
        const UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str()));
        SetEvent(ready.Get());
    }
    DWORD lastRequest = GetTickCount();
    while (idleLimit == INFINITE || GetTickCount() - lastRequest < idleLimit) {
        int code = 0;
        int size = 0;
        std::vector<char> data;
        if (channel.WaitForCommand(code, size, data) != channelDone)
            continue;
        lastRequest = GetTickCount();
        if (!handle(channel, code, size, data))
            return 0;
    }
    return 0;
}

int RunChannelServer(const std::string& prefix, const std::string& readyEvent) {
    std::string rule;
    return ServeChannel(
        prefix, readyEvent,
        [&](TProcessesCommunication& channel, int code, int size, const std::vector<char>& data) {
            switch (code) {
            case cmdQueryWindowRule:
                if (size == 4)
                    channel.Reply(replyDone, static_cast<int>(rule.size()), rule.data());
                else
                    channel.Reply(replyWrongSize, 0, nullptr);
                break;
            case testCmdEcho:
                channel.Reply(replyDone, size, data.data());
                break;
            case testCmdRuleLength: {
                int length = 0;
                if (size == 4)
                    std::memcpy(&length, data.data(), 4);
                rule.assign(static_cast<size_t>(length > 0 ? length : 0), 'r');
                channel.Reply(replyDone, 0, nullptr);
                break;
            }
            case testCmdQuit:
                channel.Reply(replyDone, 0, nullptr);
                return false;
            default:
                break;
            }
            return true;
        });
}

void QuitChannelServer(const std::string& prefix) {
    TProcessesCommunication channel(prefix);
    int code = 0, size = 0;
    std::vector<char> reply;
    channel.SendCommand(testCmdQuit, 0, nullptr, code, size, reply);
}
