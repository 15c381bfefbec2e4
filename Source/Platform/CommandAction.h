#pragma once

#include <string>

// A command of the configuration program as the tree elements see it: the element that
// handles a command may set its enabled state. Name is the command's name.
class TCommandAction {
public:
    std::string Name;
    std::string Caption;
    std::string Hint;
    bool Enabled = true;
    int ImageIndex = -1;
};
