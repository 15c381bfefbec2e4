#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Every program, document and link the configuration program opens goes through this one
// function (ShellExecute by default; tests put their own in its place). Verb null: the
// default verb.
using TShellOpen =
    std::function<void(HWND owner, const char* verb, const std::string& file, const std::string& directory)>;
extern TShellOpen ShellOpen;
