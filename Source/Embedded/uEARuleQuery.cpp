#include "uEAThread.h"

#include "ProcessesCommunication.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

// A user handle travels as its 32-bit value (sign-extended back by the reader).
std::int32_t HandleValue(HWND window) noexcept {
    return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window));
}

// Up to a quarter more, so that workers that timed out together do not ask together again.
DWORD Spread(DWORD pause, unsigned attempt) noexcept {
    const unsigned seed = GetCurrentThreadId() * 2654435761u + attempt * 40503u;
    return pause + (seed >> 8) % (pause / 4 + 1);
}

} // namespace

std::optional<std::string> AskWindowRule(TProcessesCommunication& channel, HWND window) {
    // Names not opened because another process held the block's lock: no answer yet, never "no rule".
    if (!channel.Usable())
        return std::nullopt;
    const std::int32_t value = HandleValue(window);
    int replyCode = 0;
    int replySize = 0;
    std::vector<char> reply;
    const int result = channel.SendCommand(cmdQueryWindowRule, 4, &value, replyCode, replySize, reply);
    if (result == channelTimeout)
        return std::nullopt;
    if (result == channelDone && replyCode == replyDone && replySize > 0)
        return std::string(reply.data(), reply.data() + replySize);
    return std::string();
}

std::string FetchWindowRule(HWND window, const std::function<bool()>& keepAsking) {
    std::unique_ptr<TProcessesCommunication> channel;
    DWORD pause = FirstRetryPause;
    for (unsigned attempt = 0;; ++attempt) {
        // Names that could not be opened (their lock was held) are opened afresh on each try.
        if (!channel || !channel->Usable()) {
            channel = std::make_unique<TProcessesCommunication>(ChannelPrefix);
            // Waiting on the command lock is the queue: its waiters are served in arrival order, so
            // a burst of windows drains at the server's pace. A client that gave up and paused
            // would lose its place and come back behind everyone who arrived meanwhile.
            channel->SetLockTimeout(static_cast<int>(TurnTimeout));
        }
        if (std::optional<std::string> text = AskWindowRule(*channel, window))
            return *text;
        if (!keepAsking())
            return std::string();
        if (channel->TimedOutWaitingForTurn())
            continue;
        // The server had the request and did not answer (busy with a reload, or gone), or another
        // process held the block's lock: give it room.
        Sleep(Spread(pause, attempt));
        pause = std::min(pause * 2, LastRetryPause);
    }
}
