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

// A fresh temporary folder for one test.
std::string NewTestFolder(const std::string& stem);
// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
