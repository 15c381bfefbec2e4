#include "uEAThread.h"

#include "ProcessesCommunication.h"

#include <cstdint>

namespace {

// A user handle travels as its 32-bit value (sign-extended back by the reader).
std::int32_t HandleValue(HWND window) noexcept {
    return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window));
}

} // namespace

std::string QueryWindowRule(TProcessesCommunication& channel, HWND window, int sends) {
    const std::int32_t value = HandleValue(window);
    for (int i = 0; i < sends; ++i) {
        int replyCode = 0;
        int replySize = 0;
        std::vector<char> reply;
        const int result = channel.SendCommand(cmdQueryWindowRule, 4, &value, replyCode, replySize, reply);
        if (result == channelDone && replyCode == replyDone)
            return std::string(reply.data(), reply.data() + replySize);
        if (result != channelTimeout)
            break;
    }
    return std::string();
}

std::string FetchWindowRule(HWND window) {
    TProcessesCommunication channel(ChannelPrefix);
    return QueryWindowRule(channel, window, TEAThread::MaxSends);
}
