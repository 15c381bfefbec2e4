#pragma once

#include "ProcessesCommunication.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Test codes a channel server answers besides the window query.
inline constexpr int testCmdQuit = 100;       // reply 1, then the server ends
inline constexpr int testCmdEcho = 101;       // reply 1 with the request's data
inline constexpr int testCmdRuleLength = 102; // 4-byte length of the rule text of later queries

// Serves the channel Prefix until told to quit: a window query of 4 bytes gets code 1 and a rule
// text of the set length (0 at first), any other size -1; unknown codes get no reply.
// Sets the event ReadyEvent once the channel exists. Answers the process exit code.
int RunChannelServer(const std::string& prefix, const std::string& readyEvent);
// Tells the server on the channel Prefix to end; what it answers does not matter.
void QuitChannelServer(const std::string& prefix);

// One request: Size bytes of Data under Code. Answers false to end the serving.
using TRequestHandler =
    std::function<bool(TProcessesCommunication& channel, int code, int size, const std::vector<char>& data)>;

// Opens the channel Prefix (exit code 3 when it cannot), sets the event ReadyEvent, then hands
// every request to Handle until it answers false or, with an idle limit, until no request came
// for that long (exit code 0 for both).
int ServeChannel(const std::string& prefix, const std::string& readyEvent, const TRequestHandler& handle,
                 DWORD idleLimit = INFINITE);
