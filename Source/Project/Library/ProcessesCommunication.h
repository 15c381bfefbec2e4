#pragma once

#include "Handles.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The one name prefix of the command channel in all three programs.
inline constexpr const char* ChannelPrefix = "{C4E372E7-E910-4521-8848-9CF233A86F95}";
// The configuration program's commands (2 to 4) go on a channel of their own, which the resident
// program answers at once whatever it is doing: on the command channel they would queue behind
// the window queries of every program on the desktop. The resident program answers them on the
// command channel as well.
inline constexpr const char* ControlChannelPrefix = "{C4E372E7-E910-4521-8848-9CF233A86F95}Control";

// The names of the channel's kernel objects: the prefix followed by one of these.
inline constexpr const char* ChannelWriteLockSuffix = "WriteLockMutex";
inline constexpr const char* ChannelCommandLockSuffix = "CommandLockMutex";
inline constexpr const char* ChannelNewCommandSuffix = "NewCommandEvent";
inline constexpr const char* ChannelCommandCompleteSuffix = "CommandCompleteEvent";
inline constexpr const char* ChannelSharedMemorySuffix = "SharedMemory";

// Command codes.
inline constexpr int cmdQueryWindowRule = 1;
inline constexpr int cmdReloadConfiguration = 2;
inline constexpr int cmdCloseCenter = 3;
inline constexpr int cmdReloadSettings = 4;

// Reply codes of the resident program.
inline constexpr int replyDone = 1;
inline constexpr int replyWrongSize = -1;

// Results of SendCommand and WaitForCommand.
inline constexpr int channelDone = 0;
inline constexpr int channelTimeout = 1;
inline constexpr int channelError = 2;

inline constexpr int ChannelBufferSize = 16384;
// The shared block as every program lays it out; integers are 32-bit little-endian.
struct TChannelBlock {
    // The header: the request's command code or the reply's code, and the number of data bytes.
    LONG code;
    LONG size;
    char data[ChannelBufferSize - 2 * sizeof(LONG)];
};
static_assert(sizeof(TChannelBlock) == ChannelBufferSize);
inline constexpr int ChannelHeaderSize = offsetof(TChannelBlock, data);
inline constexpr int ChannelMaxData = ChannelBufferSize - ChannelHeaderSize;
inline constexpr int ChannelDefaultTimeout = 500;

// One request/reply conversation at a time between processes, over a named shared block
// guarded by two named mutexes and woken by two named auto-reset events. One object is used
// by one thread at a time; any number of objects in any processes meet through the names.
// The objects of one process share its open handles of the names, so that a thread that asks
// once (a window's rule fetch) costs no opening and closing of five kernel objects.
class TProcessesCommunication {
public:
    // Waits up to Timeout for the block's lock while it opens the names.
    explicit TProcessesCommunication(std::string prefix = ChannelPrefix, int timeout = ChannelDefaultTimeout);
    ~TProcessesCommunication();
    TProcessesCommunication(const TProcessesCommunication&) = delete;
    TProcessesCommunication& operator=(const TProcessesCommunication&) = delete;

    // Client: sends a request and waits for its reply. ReplyData holds ReplySize bytes.
    int SendCommand(int code, int size, const void* data, int& replyCode, int& replySize,
                    std::vector<char>& replyData);
    // Server: waits for a request. Data holds Size bytes. Interrupt, when given and set, ends the
    // wait early like a time-out.
    int WaitForCommand(int& code, int& size, std::vector<char>& data, HANDLE interrupt = nullptr);
    // Server: answers the request the last WaitForCommand returned, while the block still holds it.
    // False when the answer was not written: too large, or its client gave up and the block now
    // holds another request.
    bool Reply(int code, int size, const void* data);

    // Take and release the block's lock, waiting up to Timeout (any process of the user can hold
    // it); false when it was not taken.
    bool Lock();
    void Unlock();
    void SetTimeout(int milliseconds) { timeout_ = milliseconds; }
    int Timeout() const { return timeout_; }
    // The wait for the command lock alone, for a client that queues for its turn: the lock's
    // waiters are served in arrival order, and one that times out loses its place. Negative
    // (the default): the same as Timeout. The reply wait keeps Timeout.
    void SetLockTimeout(int milliseconds) { lockTimeout_ = milliseconds; }
    // After a SendCommand that timed out: true when it never got its turn on the command lock
    // (another conversation held it), false when its request went out and no reply came.
    bool TimedOutWaitingForTurn() const { return timedOutWaitingForTurn_; }

    // False when a named object could not be created or opened, is of another kind or size than
    // the channel's, or the block's lock was not free within Timeout when the object was made:
    // every operation then fails.
    bool Usable() const;
    const std::string& Prefix() const { return prefix_; }

private:
    struct NamedObjects;
    TChannelBlock* TheBlock() const;
    // Copies the block's data out; false when its Size is out of range.
    bool ReadBlock(int& code, int& size, std::vector<char>& data) const;
    void WriteBlock(int code, int size, const void* data);
    bool BlockHolds(const std::vector<char>& request) const;

    std::shared_ptr<NamedObjects> objects_;
    std::string prefix_;
    int timeout_ = ChannelDefaultTimeout;
    int lockTimeout_ = -1;
    bool timedOutWaitingForTurn_ = false;
    // The request as WaitForCommand copied it (code, size, data), until Reply answers it.
    std::vector<char> pendingRequest_;
    bool hasPendingRequest_ = false;
    // The block as the last Reply left it.
    std::vector<char> lastReply_;
};
