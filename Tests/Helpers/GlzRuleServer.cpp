// A channel server for glzemb's tests: answers the window query with the rule text given for
// the window's class ("Class=text" arguments after the ready event's name), empty for others.
// "Class|Part=text" gives the rule only while the window's caption contains Part.
// testCmdSetRule ("Class=text") changes a class's rule. Ends on testCmdQuit or after 60 s of
// silence.
#include "ChannelServerRole.h"
#include "ProcessesCommunication.h"
#include "WinFuncs.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr int testCmdSetRule = 103;

void AddRule(std::map<std::string, std::string>& rules, const std::string& pair) {
    const size_t equals = pair.find('=');
    if (equals != std::string::npos)
        rules[pair.substr(0, equals)] = pair.substr(equals + 1);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2)
        return 2;
    std::map<std::string, std::string> rules;
    for (int i = 2; i < __argc; ++i)
        AddRule(rules, __argv[i]);
    return ServeChannel(
        ChannelPrefix, __argv[1],
        [&](TProcessesCommunication& channel, int code, int size, const std::vector<char>& data) {
            if (code == testCmdQuit) {
                channel.Reply(replyDone, 0, nullptr);
                return false;
            }
            if (code == testCmdSetRule) {
                AddRule(rules, std::string(data.data(), data.data() + size));
                channel.Reply(replyDone, 0, nullptr);
                return true;
            }
            if (code != cmdQueryWindowRule)
                return true;
            if (size != 4) {
                channel.Reply(replyWrongSize, 0, nullptr);
                return true;
            }
            std::int32_t value = 0;
            std::memcpy(&value, data.data(), 4);
            const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
            const std::string className = GetWindowClassName(window);
            const auto found = rules.find(className);
            std::string rule = found != rules.end() ? found->second : std::string();
            for (const auto& [key, text] : rules) {
                const size_t bar = key.find('|');
                if (bar != std::string::npos && key.substr(0, bar) == className &&
                    GetWindowCaption(window).find(key.substr(bar + 1)) != std::string::npos)
                    rule = text;
            }
            channel.Reply(replyDone, static_cast<int>(rule.size()), rule.data());
            return true;
        },
        60000);
}
