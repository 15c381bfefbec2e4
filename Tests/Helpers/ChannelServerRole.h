#pragma once

#include <string>

// Test codes a channel server answers besides the window query.
inline constexpr int testCmdQuit = 100;       // reply 1, then the server ends
inline constexpr int testCmdEcho = 101;       // reply 1 with the request's data
inline constexpr int testCmdRuleLength = 102; // 4-byte length of the rule text of later queries

// Serves the channel Prefix until told to quit: a window query of 4 bytes gets code 1 and a rule
// text of the set length (0 at first), any other size -1; unknown codes get no reply.
// Sets the event ReadyEvent once the channel exists. Answers the process exit code.
int RunChannelServer(const std::string& prefix, const std::string& readyEvent);
