#pragma once

#include <windows.h>

#include "ProcessesCommunication.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One per process: the windows being attached or attached, and the hand-over of fetched rules
// to the windows' own threads. One lock guards the lists; it is never held while a window is
// sent a message, subclassed or restyled.
class TEmbededApplication {
public:
    void AttachWindow(HWND window);
    void DetachWindow(HWND window);
    void RemoveWindow(HWND window);
    void ReleaseAll();

    // Worker side: leaves the text for the window's thread and asks it to apply it there.
    // True when the window's thread took it.
    bool HandOver(HWND window, const std::string& text);
    // Window-thread side, from the hook procedure on ApplyRuleMessage.
    void ApplyPending(HWND window, LPARAM id);
    void Apply(HWND window, const std::string& text);

    bool InWindows(HWND window);
    size_t WindowCount();
    bool IsAttached(HWND window);

    static constexpr UINT HandOverTimeout = 5000;

private:
    bool TakePending(LPARAM id, std::string& text);
    bool StartWorker(HWND window);
    std::string AskInline(HWND window);

    std::mutex lock_;
    std::vector<HWND> windows_;
    std::vector<HWND> attached_;
    std::map<LPARAM, std::string> pending_;
    LPARAM nextId_ = 0;
    // Only when no worker can be started; made on first use, never under the loader lock.
    std::mutex channelLock_;
    std::unique_ptr<TProcessesCommunication> channel_;

    static constexpr int InlineTimeout = 100;
};
