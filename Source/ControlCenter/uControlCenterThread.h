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

// The resident program's server: answers the command channel one request at a time.
class TControlCenterThread : public TThread {
public:
    // Created suspended; App receives reload, close and settings work (may be null).
    explicit TControlCenterThread(TCCApp* app, const std::string& prefix = ChannelPrefix);
    ~TControlCenterThread() override;

    // Terminate, and end a wait for a request at once rather than after its time-out.
    void Stop();
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
    std::unique_ptr<TProcessesCommunication> channel_;
    UniqueHandle stop_;
    // Set and cleared on the main thread before Resume and after WaitFor, and on this thread
    // during a reload; the lock keeps the reference itself whole.
    std::mutex queryLock_;
    ComPtr<IControlCenter> query_;
    std::vector<TKeptAnswer> kept_;
    std::atomic<long> rounds_{0};
};
