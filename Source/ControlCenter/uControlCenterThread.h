#pragma once

#include "ProcessesCommunication.h"
#include "uCCModel.h"
#include "uRGLThreads.h"

#include <atomic>
#include <memory>
#include <mutex>

class TCCApp;

// An answer whose client gave up before it was ready stays this long for the client's next send.
inline constexpr ULONGLONG KeptAnswerLifetime = 10000;
inline constexpr size_t MaxKeptAnswers = 256;

// Which commands a server answers: the command channel all four, the configuration program's
// channel only its own (2 to 4), since it has no rules to answer a window query with.
enum class TServedCommands { All, CenterCommands };

// The resident program's server: answers a channel one request at a time. Commands 2 to 4 are
// answered before they are acted upon; a reload asked for on any channel runs on the server of
// the command channel, between two of its requests.
class TControlCenterThread : public TThread {
public:
    // Created suspended; App receives reload, close and settings work (may be null).
    explicit TControlCenterThread(TCCApp* app, const std::string& prefix = ChannelPrefix,
                                  TServedCommands served = TServedCommands::All);
    ~TControlCenterThread() override;

    // Terminate, and end a wait for a request at once rather than after its time-out.
    void Stop();
    // Any thread: the reload runs on this thread as soon as it is between two requests. Asked
    // for again before it starts, it runs once; asked for while it runs, once more afterwards,
    // so the file saved last is the one in force.
    void RequestReload();
    // A new model: answers kept for the old one are dropped.
    void SetQuery(ComPtr<IControlCenter> query);
    void ClearQuery();
    void AnswerWindowQuery(int size, const std::vector<char>& data);

    TProcessesCommunication& Channel() { return *channel_; }
    // How often the loop has waited for a request so far.
    long Rounds() const { return rounds_; }

protected:
    void Execute() override;

private:
    struct TKeptAnswer {
        HWND Window;
        std::string Text;
        ULONGLONG Time;
    };

    void Dispatch(int code, int size, const std::vector<char>& data);
    // The rule text for Window: one kept for it, or one found now in the model.
    std::string RuleTextFor(HWND window);
    void Keep(HWND window, const std::string& text);

    TCCApp* app_;
    TServedCommands served_;
    std::unique_ptr<TProcessesCommunication> channel_;
    // Ends a wait for a request: a stop or a reload is asked for.
    UniqueHandle wake_;
    std::atomic<bool> reloadRequested_{false};
    // Set and cleared on the main thread before Resume and after WaitFor, and on this thread
    // during a reload; the lock keeps the reference itself whole.
    std::mutex queryLock_;
    ComPtr<IControlCenter> query_;
    std::vector<TKeptAnswer> kept_;
    std::atomic<long> rounds_{0};
};
