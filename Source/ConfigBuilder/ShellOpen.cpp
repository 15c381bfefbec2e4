#include "ShellOpen.h"

#include <shellapi.h>

TShellOpen ShellOpen = [](HWND owner, const char* verb, const std::string& file,
                          const std::string& directory) {
    // The outcome is not examined: a missing program or help file opens nothing.
    ShellExecuteA(owner, verb, file.c_str(), nullptr, directory.empty() ? nullptr : directory.c_str(),
                  SW_SHOW);
};
