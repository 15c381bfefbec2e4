#pragma once

#include "Handles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Every class of the configuration program registered once; COM up for the whole program.
void EnsureConfigClasses();

// A text value under HKEY_CURRENT_USER, or "<none>" when it is missing or not a text.
std::string RegString(const char* key, const char* value);

// Answers the message boxes this thread shows with Button, and keeps their texts.
class TMessageBoxAnswerer {
public:
    explicit TMessageBoxAnswerer(int button);
    ~TMessageBoxAnswerer();
    TMessageBoxAnswerer(const TMessageBoxAnswerer&) = delete;
    TMessageBoxAnswerer& operator=(const TMessageBoxAnswerer&) = delete;

    const std::vector<std::string>& Texts() const;
    const std::vector<std::string>& Captions() const;

private:
    UINT_PTR timer_ = 0;
};

// Runs step from a timer of this thread (so also inside a modal loop) until it answers true.
class TTimerDriver {
public:
    explicit TTimerDriver(std::function<bool()> step);
    ~TTimerDriver();
    TTimerDriver(const TTimerDriver&) = delete;
    TTimerDriver& operator=(const TTimerDriver&) = delete;

private:
    UINT_PTR timer_ = 0;
};

// The stand-in for GlazloCenter: a channel server in a process of its own that logs the codes
// it receives. Options: "guard" holds GlazloCenter's single-instance name, "ignore=N" leaves
// the first N commands unanswered.
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

// A fresh temporary folder for one test.
std::string NewTestFolder(const std::string& stem);
// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
