#pragma once

// What came of a command to GlazloCenter.
enum class TCenterAnswer {
    Answered,
    // GlazloCenter does not run: nobody was there to answer.
    NotRunning,
    // It runs but did not answer any of the sends.
    NoAnswer,
};

inline constexpr int CenterCommandSends = 5;

// Whether GlazloCenter runs: its single-instance section exists. Probed afresh on each call.
bool IsControlCenterRunning();

// Sends a command without data on a fresh client of the configuration program's channel, only
// when GlazloCenter runs; on the command channel when that channel has no names (a GlazloCenter
// of an earlier version). A send that gets no answer is repeated while it runs, up to five sends.
// Every command of the configuration program goes this way, the reload after a save included.
TCenterAnswer SendCenterCommand(int code);
