#include "uControlCenterThread.h"

#include "Errors.h"
#include "Handles.h"
#include "uCCApp.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

TControlCenterThread::TControlCenterThread(TCCApp* app, const std::string& prefix, TServedCommands served)
    : TThread(true), app_(app), served_(served), channel_(std::make_unique<TProcessesCommunication>(prefix)),
      wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

TControlCenterThread::~TControlCenterThread() {
    // The body reads the channel: end it before the members go.
    if (Handle() != nullptr && !Finished() && !Suspended()) {
        Stop();
        WaitFor();
    }
    ClearQuery();
}

void TControlCenterThread::Stop() {
    Terminate();
    SetEvent(wake_.Get());
}

void TControlCenterThread::RequestReload() {
    reloadRequested_ = true;
    SetEvent(wake_.Get());
}

void TControlCenterThread::SetQuery(ComPtr<IControlCenter> query) {
    const std::lock_guard lock(queryLock_);
    query_ = std::move(query);
    kept_.clear();
}

void TControlCenterThread::ClearQuery() {
    SetQuery(nullptr);
}

void TControlCenterThread::Execute() {
    const ComScope com = InitializeCom();
    int code = 0;
    int size = 0;
    std::vector<char> data;
    while (!Terminated()) {
        if (reloadRequested_.exchange(false) && app_ != nullptr) {
            try {
                app_->ReloadModel();
            } catch (...) {
                TraceFailure("GlazloCenter reload");
            }
            continue;
        }
        size = 0;
        ++rounds_;
        const int result = channel_->WaitForCommand(code, size, data, wake_.Get());
        if (result == channelDone) {
            Dispatch(code, size, data);
        } else if (result == channelError && !Terminated()) {
            // A wait that fails at once would spin: wait out the time-out before the next try.
            WaitForSingleObject(wake_.Get(), static_cast<DWORD>(channel_->Timeout()));
        }
    }
}

void TControlCenterThread::Dispatch(int code, int size, const std::vector<char>& data) {
    // One failing command must not end the server: every command is caught on its own.
    try {
        switch (code) {
        case cmdQueryWindowRule:
            // Elsewhere a query gets what an unknown code gets.
            if (served_ == TServedCommands::All)
                AnswerWindowQuery(size, data);
            break;
        case cmdReloadConfiguration:
            channel_->Reply(replyDone, 0, nullptr);
            if (app_ != nullptr)
                app_->RequestReload();
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
        TraceFailure("GlazloCenter command");
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
        std::string text = RuleTextFor(window);
        // A text the block cannot carry would never arrive: the window gets no rule, now.
        if (text.size() > static_cast<size_t>(ChannelMaxData))
            text.clear();
        if (!channel_->Reply(replyDone, static_cast<int>(text.size()), text.data())) {
            // Its client gave up while the answer was being found, and another client's request
            // took the block: the answer waits for the client's next send instead of being lost.
            Keep(window, text);
            return;
        }
        if (!text.empty() && app_ != nullptr)
            app_->FlashTrayIcon();
    } catch (...) {
        // If it came before the reply, the client's wait runs out and it asks again.
        TraceFailure("GlazloCenter window query");
    }
}

std::string TControlCenterThread::RuleTextFor(HWND window) {
    ComPtr<IControlCenter> query;
    {
        const std::lock_guard lock(queryLock_);
        const ULONGLONG now = GetTickCount64();
        std::erase_if(kept_, [&](const TKeptAnswer& kept) { return now - kept.Time > KeptAnswerLifetime; });
        const auto found = std::find_if(kept_.begin(), kept_.end(),
                                        [&](const TKeptAnswer& kept) { return kept.Window == window; });
        if (found != kept_.end()) {
            std::string text = std::move(found->Text);
            kept_.erase(found);
            return text;
        }
        query = query_;
    }
    return query ? FindRuleText(query.Get(), window) : std::string();
}

void TControlCenterThread::Keep(HWND window, const std::string& text) {
    const std::lock_guard lock(queryLock_);
    if (kept_.size() >= MaxKeptAnswers)
        kept_.erase(kept_.begin());
    kept_.push_back({window, text, GetTickCount64()});
}
