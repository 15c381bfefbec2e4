#include "ProcessesCommunication.h"

#include <cstring>

// The process's handles of the channel's names, shared by all its channel objects of one prefix.
struct TProcessesCommunication::NamedObjects {
    UniqueHandle WriteLock;
    UniqueHandle CommandLock;
    UniqueHandle Mapping;
    MappedView View;
    UniqueHandle NewCommand;
    UniqueHandle CommandComplete;
    // The wait of whoever opened the names; closing them waits no longer than opening did.
    DWORD Timeout;
    // False when another process made either event under its name as one that resets by hand.
    bool EventsResetThemselves = false;

    bool Usable() const {
        return View && WriteLock && CommandLock && NewCommand && CommandComplete && EventsResetThemselves;
    }
    // Any process of the user can take the lock and keep it: the wait is always bounded.
    bool Lock(DWORD timeout) const {
        if (!WriteLock)
            return false;
        const DWORD result = WaitForSingleObject(WriteLock.Get(), timeout);
        return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    void Unlock() const {
        if (WriteLock)
            ReleaseMutex(WriteLock.Get());
    }

    // Holds only the lock's handle, unusable, when the lock is not free within Timeout.
    NamedObjects(const std::string& prefix, DWORD timeout);
    ~NamedObjects();
    NamedObjects(const NamedObjects&) = delete;
    NamedObjects& operator=(const NamedObjects&) = delete;
};

namespace {

std::string ObjectName(const std::string& prefix, const char* suffix) {
    return prefix + suffix;
}

// A request as it lies in the block, for comparing it later.
std::vector<char> Snapshot(int code, int size, const std::vector<char>& data) {
    std::vector<char> request(ChannelHeaderSize + data.size());
    const LONG header[] = {code, size};
    static_assert(sizeof header == ChannelHeaderSize);
    std::memcpy(request.data(), header, sizeof header);
    if (!data.empty())
        std::memcpy(request.data() + ChannelHeaderSize, data.data(), data.size());
    return request;
}

// False for an event known to reset only by hand: one that stays signalled would wake its waiter
// without end. Unknown (the query is missing or refused) counts as an event of the channel's kind.
bool ResetsItself(HANDLE event) {
    using TQueryEvent = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    struct TEventBasicInformation {
        int Type; // 0 resets by hand, 1 resets itself
        LONG State;
    };
    static const auto query = reinterpret_cast<TQueryEvent>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryEvent")));
    TEventBasicInformation info{};
    if (query == nullptr || query(event, 0, &info, sizeof info, nullptr) < 0)
        return true;
    return info.Type != 0;
}

// The named objects each prefix has open in this process, for as long as a channel object uses
// them.
SRWLOCK openObjectsLock = SRWLOCK_INIT;
std::vector<std::pair<std::string, std::weak_ptr<void>>> openObjects;

} // namespace

TProcessesCommunication::NamedObjects::NamedObjects(const std::string& prefix, DWORD timeout)
    : Timeout(timeout) {
    WriteLock.Reset(CreateMutexA(nullptr, FALSE, ObjectName(prefix, ChannelWriteLockSuffix).c_str()));
    if (!Lock(timeout))
        return;
    CommandLock.Reset(CreateMutexA(nullptr, FALSE, ObjectName(prefix, ChannelCommandLockSuffix).c_str()));
    NewCommand.Reset(
        CreateEventA(nullptr, FALSE, FALSE, ObjectName(prefix, ChannelNewCommandSuffix).c_str()));
    CommandComplete.Reset(
        CreateEventA(nullptr, FALSE, TRUE, ObjectName(prefix, ChannelCommandCompleteSuffix).c_str()));
    EventsResetThemselves = NewCommand && CommandComplete && ResetsItself(NewCommand.Get()) &&
                            ResetsItself(CommandComplete.Get());
    const HANDLE section =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, ChannelBufferSize,
                           ObjectName(prefix, ChannelSharedMemorySuffix).c_str());
    // Only the creator starts the block empty: a later object must not wipe a conversation in flight.
    const bool created = section != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
    Mapping.Reset(section);
    View = MapView(Mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, ChannelBufferSize);
    if (created && View) {
        static_cast<TChannelBlock*>(View.Get())->code = 0;
        static_cast<TChannelBlock*>(View.Get())->size = 0;
    }
    Unlock();
}

TProcessesCommunication::NamedObjects::~NamedObjects() {
    // Names that never got past the lock hold nothing another process could see half closed.
    const bool opened = CommandLock || NewCommand || CommandComplete || Mapping;
    const bool locked = opened && Lock(Timeout);
    View.Reset();
    CommandLock.Reset();
    NewCommand.Reset();
    CommandComplete.Reset();
    Mapping.Reset();
    if (locked)
        Unlock();
    WriteLock.Reset();
}

TProcessesCommunication::TProcessesCommunication(std::string prefix, int timeout)
    : prefix_(std::move(prefix)), timeout_(timeout) {
    {
        const SlimLock guard(openObjectsLock);
        std::erase_if(openObjects, [](const auto& open) { return open.second.expired(); });
        for (const auto& [name, objects] : openObjects)
            if (name == prefix_) {
                objects_ = std::static_pointer_cast<NamedObjects>(objects.lock());
                break;
            }
    }
    if (objects_)
        return;
    // Opened outside the slim lock: opening waits for the block's lock, which another process holds
    // for as long as a conversation step takes. Two threads that open at once each keep their own.
    objects_ = std::make_shared<NamedObjects>(prefix_, static_cast<DWORD>(timeout_));
    // Names that could not be used are tried afresh by the next object, not handed on to it.
    if (!objects_->Usable())
        return;
    const SlimLock guard(openObjectsLock);
    openObjects.emplace_back(prefix_, objects_);
}

// The last object of the prefix in this process closes the handles (under the block's lock).
TProcessesCommunication::~TProcessesCommunication() = default;

bool TProcessesCommunication::Usable() const {
    return objects_ && objects_->Usable();
}

TChannelBlock* TProcessesCommunication::TheBlock() const {
    return static_cast<TChannelBlock*>(objects_->View.Get());
}

bool TProcessesCommunication::Lock() {
    return objects_ && objects_->Lock(static_cast<DWORD>(timeout_));
}

void TProcessesCommunication::Unlock() {
    if (objects_)
        objects_->Unlock();
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

    MutexLock conversation(objects_->CommandLock.Get(),
                           static_cast<DWORD>(lockTimeout_ >= 0 ? lockTimeout_ : timeout_));
    if (!conversation.Acquired()) {
        timedOutWaitingForTurn_ = conversation.TimedOut();
        return conversation.TimedOut() ? channelTimeout : channelError;
    }

    // A lock that stays taken past the time-out counts like an unanswered request.
    if (!Lock())
        return channelTimeout;
    // A completion left from an earlier conversation must not end this wait. Cleared under the
    // lock before the request is written, so that a reply to this very request (a late answer
    // to an identical earlier send) can no longer be cleared away after it arrived.
    ResetEvent(objects_->CommandComplete.Get());
    WriteBlock(code, size, data);
    Unlock();
    SetEvent(objects_->NewCommand.Get());

    switch (WaitForSingleObject(objects_->CommandComplete.Get(), static_cast<DWORD>(timeout_))) {
    case WAIT_OBJECT_0:
        // Read without the block's lock: the completion was cleared before the request went out and
        // is set only by the answer to it, written whole before it was set; until this client lets
        // go of the command lock nobody else writes the block (the server writes only an answer to
        // a request it read, and further requests come only from the holder of the command lock).
        // Taking the lock here would only wait for the server to let go of it after setting the
        // completion: one more hand-over between the processes in every conversation.
        return ReadBlock(replyCode, replySize, replyData) ? channelDone : channelError;
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
    const HANDLE waits[] = {objects_->NewCommand.Get(), interrupt};
    switch (
        WaitForMultipleObjects(interrupt != nullptr ? 2 : 1, waits, FALSE, static_cast<DWORD>(timeout_))) {
    case WAIT_OBJECT_0: {
        // The request stays in the block for the client's retry, which sets the event again.
        if (!Lock())
            return channelTimeout;
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
                          reinterpret_cast<const char*>(TheBlock()) + ChannelHeaderSize + size);
        SetEvent(objects_->CommandComplete.Get());
    }
    Unlock();
    return written;
}
