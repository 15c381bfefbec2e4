#include "ProcessesCommunication.h"

#include <cstring>

struct TProcessesCommunication::Block {
    LONG code;
    LONG size;
    char data[ChannelMaxData];
};

namespace {

std::string ObjectName(const std::string& prefix, const char* suffix) {
    return prefix + suffix;
}

// A request as it lies in the block, for comparing it later.
std::vector<char> Snapshot(int code, int size, const std::vector<char>& data) {
    std::vector<char> request(8 + data.size());
    std::memcpy(request.data(), &code, 4);
    std::memcpy(request.data() + 4, &size, 4);
    if (!data.empty())
        std::memcpy(request.data() + 8, data.data(), data.size());
    return request;
}

} // namespace

TProcessesCommunication::TProcessesCommunication(std::string prefix) : prefix_(std::move(prefix)) {
    static_assert(sizeof(Block) == ChannelBufferSize);
    writeLock_.Reset(CreateMutexA(nullptr, FALSE, ObjectName(prefix_, "WriteLockMutex").c_str()));
    if (!Lock())
        return;
    commandLock_.Reset(CreateMutexA(nullptr, FALSE, ObjectName(prefix_, "CommandLockMutex").c_str()));
    newCommand_.Reset(CreateEventA(nullptr, FALSE, FALSE, ObjectName(prefix_, "NewCommandEvent").c_str()));
    commandComplete_.Reset(
        CreateEventA(nullptr, FALSE, TRUE, ObjectName(prefix_, "CommandCompleteEvent").c_str()));
    const HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              ChannelBufferSize, ObjectName(prefix_, "SharedMemory").c_str());
    // Only the creator starts the block empty: a later object must not wipe a conversation in flight.
    const bool created = section != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
    mapping_.Reset(section);
    view_ = MappedView::Map(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, ChannelBufferSize);
    if (created && view_) {
        TheBlock()->code = 0;
        TheBlock()->size = 0;
    }
    Unlock();
}

TProcessesCommunication::~TProcessesCommunication() {
    const bool locked = Lock();
    view_.Reset();
    commandLock_.Reset();
    newCommand_.Reset();
    commandComplete_.Reset();
    mapping_.Reset();
    if (locked)
        Unlock();
    writeLock_.Reset();
}

bool TProcessesCommunication::Lock() {
    if (!writeLock_)
        return false;
    const DWORD result = WaitForSingleObject(writeLock_.Get(), INFINITE);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void TProcessesCommunication::Unlock() {
    if (writeLock_)
        ReleaseMutex(writeLock_.Get());
}

bool TProcessesCommunication::ReadBlock(int& code, int& size, std::vector<char>& data) const {
    // Any process of the user can write the block: never trust its Size.
    const int blockCode = TheBlock()->code;
    const int blockSize = TheBlock()->size;
    if (blockSize < 0 || blockSize > ChannelMaxData)
        return false;
    code = blockCode;
    size = blockSize;
    data.assign(TheBlock()->data, TheBlock()->data + blockSize);
    return true;
}

void TProcessesCommunication::WriteBlock(int code, int size, const void* data) {
    TheBlock()->code = code;
    TheBlock()->size = size;
    if (size > 0)
        std::memcpy(TheBlock()->data, data, static_cast<size_t>(size));
}

bool TProcessesCommunication::BlockHolds(const std::vector<char>& request) const {
    return std::memcmp(TheBlock(), request.data(), request.size()) == 0;
}

int TProcessesCommunication::SendCommand(int code, int size, const void* data, int& replyCode, int& replySize,
                                         std::vector<char>& replyData) {
    replyCode = 0;
    replySize = 0;
    replyData.clear();
    timedOutWaitingForTurn_ = false;
    if (size < 0 || size > ChannelMaxData || (size > 0 && data == nullptr) || !Usable())
        return channelError;

    MutexLock conversation(commandLock_.Get(),
                           static_cast<DWORD>(lockTimeout_ >= 0 ? lockTimeout_ : timeout_));
    if (!conversation.Acquired()) {
        timedOutWaitingForTurn_ = conversation.TimedOut();
        return conversation.TimedOut() ? channelTimeout : channelError;
    }

    if (!Lock())
        return channelError;
    // A completion left from an earlier conversation must not end this wait. Cleared under the
    // lock before the request is written, so that a reply to this very request (a late answer
    // to an identical earlier send) can no longer be cleared away after it arrived.
    ResetEvent(commandComplete_.Get());
    WriteBlock(code, size, data);
    Unlock();
    SetEvent(newCommand_.Get());

    switch (WaitForSingleObject(commandComplete_.Get(), static_cast<DWORD>(timeout_))) {
    case WAIT_OBJECT_0: {
        if (!Lock())
            return channelError;
        const bool read = ReadBlock(replyCode, replySize, replyData);
        Unlock();
        return read ? channelDone : channelError;
    }
    case WAIT_TIMEOUT:
        return channelTimeout;
    default:
        return channelError;
    }
}

int TProcessesCommunication::WaitForCommand(int& code, int& size, std::vector<char>& data, HANDLE interrupt) {
    code = 0;
    size = 0;
    data.clear();
    hasPendingRequest_ = false;
    if (!Usable())
        return channelError;
    const HANDLE waits[] = {newCommand_.Get(), interrupt};
    switch (
        WaitForMultipleObjects(interrupt != nullptr ? 2 : 1, waits, FALSE, static_cast<DWORD>(timeout_))) {
    case WAIT_OBJECT_0: {
        if (!Lock())
            return channelError;
        // A wake-up whose request was already answered (an identical retry that the answer to
        // its first send reached) finds this server's own reply in the block: no request.
        const bool stale = !lastReply_.empty() && BlockHolds(lastReply_);
        const bool read = !stale && ReadBlock(code, size, data);
        Unlock();
        if (stale)
            return channelTimeout;
        if (!read)
            return channelError;
        pendingRequest_ = Snapshot(code, size, data);
        hasPendingRequest_ = true;
        return channelDone;
    }
    case WAIT_OBJECT_0 + 1:
    case WAIT_TIMEOUT:
        return channelTimeout;
    default:
        return channelError;
    }
}

bool TProcessesCommunication::Reply(int code, int size, const void* data) {
    if (size < 0 || size > ChannelMaxData || (size > 0 && data == nullptr) || !Usable() ||
        !hasPendingRequest_)
        return false;
    hasPendingRequest_ = false;
    if (!Lock())
        return false;
    // A client that gave up has left the block to the next one: its answer must not land there.
    // An identical retry of the same request still gets it.
    const bool written = BlockHolds(pendingRequest_);
    if (written) {
        WriteBlock(code, size, data);
        lastReply_.assign(reinterpret_cast<const char*>(TheBlock()),
                          reinterpret_cast<const char*>(TheBlock()) + 8 + size);
        SetEvent(commandComplete_.Get());
    }
    Unlock();
    return written;
}
