#pragma once

#include <windows.h>

#include <string>

// The full path of a module's file, however long the path; null: the running program's file.
// Empty when the system cannot tell it.
std::string ModuleFileName(HMODULE module = nullptr);
// The folder of that file with a trailing path separator; empty when the path cannot be read.
std::string ModuleFolder(HMODULE module = nullptr);
