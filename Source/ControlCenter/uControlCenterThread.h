#pragma once

#include "ProcessesCommunication.h"
#include "uCCModel.h"
#include "uRGLThreads.h"

#include <memory>
#include <mutex>

class TCCApp;

// The resident program's server: answers the command channel one request at a time.
class TControlCenterThread : public TThread {
public:
    // Created suspended; App receives reload, close and settings work (may be null).
    explicit TControlCenterThread(TCCApp* app);
    ~TControlCenterThread() override;

    void SetQuery(ComPtr<IControlCenter> query);
    void ClearQuery();
    void AnswerWindowQuery(int size, const std::vector<char>& data);

    TProcessesCommunication& Channel() { return *channel_; }

protected:
    void Execute() override;

private:
    void Dispatch(int code, int size, const std::vector<char>& data);

    TCCApp* app_;
    std::unique_ptr<TProcessesCommunication> channel_;
    // Set and cleared on the main thread before Resume and after WaitFor, and on this thread
    // during a reload; the lock keeps the reference itself whole.
    std::mutex queryLock_;
    ComPtr<IControlCenter> query_;
};
