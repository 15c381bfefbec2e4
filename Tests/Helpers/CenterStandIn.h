#pragma once

#include "Handles.h"

#include <windows.h>

#include <string>

// The stand-in for GlazloCenter: a channel server in a process of its own that logs the codes
// it receives. Options: "guard" holds GlazloCenter's single-instance name, "ignore=N" leaves
// the first N commands unanswered, "original" serves the command channel instead of the
// configuration program's.
class TCenterStandIn {
public:
    explicit TCenterStandIn(const std::string& options = "");
    ~TCenterStandIn();
    TCenterStandIn(const TCenterStandIn&) = delete;
    TCenterStandIn& operator=(const TCenterStandIn&) = delete;

    // The codes received so far, joined by ",".
    std::string Codes() const;
    // The same, a code repeated at once counted once: a send that got no answer in time (the
    // stand-in was slow to answer) is sent again, and both sends arrive.
    std::string Heard() const;
    HANDLE Process() const { return process_.Get(); }

private:
    std::string Joined(bool repeatsOnce) const;

    std::string log_;
    UniqueHandle process_;
};
