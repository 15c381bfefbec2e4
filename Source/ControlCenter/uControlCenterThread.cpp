#include "uControlCenterThread.h"

#include "uCCApp.h"

#include <objbase.h>

#include <cstdint>
#include <cstring>

TControlCenterThread::TControlCenterThread(TCCApp* app)
    : TThread(true), app_(app), channel_(std::make_unique<TProcessesCommunication>(ChannelPrefix)) {}

TControlCenterThread::~TControlCenterThread() {
    // The body reads the channel: end it before the members go.
    if (Handle() != nullptr && !Finished() && !Suspended()) {
        Terminate();
        WaitFor();
    }
    ClearQuery();
}

void TControlCenterThread::SetQuery(ComPtr<IControlCenter> query) {
    const std::lock_guard lock(queryLock_);
    query_ = std::move(query);
}

void TControlCenterThread::ClearQuery() {
    SetQuery(nullptr);
}

void TControlCenterThread::Execute() {
    const HRESULT com = CoInitialize(nullptr);
    int code = 0;
    int size = 0;
    std::vector<char> data;
    while (!Terminated()) {
        size = 0;
        const int result = channel_->WaitForCommand(code, size, data);
        if (result == channelDone) {
            Dispatch(code, size, data);
        } else if (result == channelError && !Terminated()) {
            // A wait that fails at once would spin: wait out the time-out before the next try.
            Sleep(static_cast<DWORD>(channel_->Timeout()));
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

void TControlCenterThread::Dispatch(int code, int size, const std::vector<char>& data) {
    // One failing command must not end the server: every command is caught on its own.
    try {
        switch (code) {
        case cmdQueryWindowRule:
            AnswerWindowQuery(size, data);
            break;
        case cmdReloadConfiguration:
            channel_->Reply(replyDone, 0, nullptr);
            if (app_ != nullptr)
                app_->ReloadModel();
            break;
        case cmdCloseCenter:
            channel_->Reply(replyDone, 0, nullptr);
            if (app_ != nullptr)
                app_->Close();
            break;
        case cmdReloadSettings:
            channel_->Reply(replyDone, 0, nullptr);
            if (app_ != nullptr)
                app_->ApplySettings();
            break;
        default:
            // Unknown codes get no reply: the sender runs into its time-out.
            break;
        }
    } catch (...) {
    }
}

void TControlCenterThread::AnswerWindowQuery(int size, const std::vector<char>& data) {
    try {
        if (size != 4 || data.size() < 4) {
            channel_->Reply(replyWrongSize, 0, nullptr);
            return;
        }
        std::int32_t value = 0;
        std::memcpy(&value, data.data(), 4);
        // User handles travel as 32-bit values; widen with sign extension.
        const HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
        std::string text;
        ComPtr<IControlCenter> query;
        {
            const std::lock_guard lock(queryLock_);
            query = query_;
        }
        if (query)
            text = FindRuleText(query.Get(), window);
        channel_->Reply(replyDone, static_cast<int>(text.size()), text.data());
        if (!text.empty() && app_ != nullptr)
            app_->FlashTrayIcon();
    } catch (...) {
    }
}
