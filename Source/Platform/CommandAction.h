#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A short-cut: a virtual key with the modifier flags below.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// A command of the configuration program as the tree elements see it: the element that
// handles a command may set its enabled state. Name is the command's name.
class TCommandAction {
public:
    std::string Name;
    std::string Caption;
    std::string Hint;
    bool Enabled = true;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;

    std::function<void(TCommandAction&)> OnExecute;
    std::function<void(TCommandAction&)> OnUpdate;

    void Update() {
        if (OnUpdate)
            OnUpdate(*this);
    }
    // Updates first; a disabled action does not run. True when a handler ran.
    bool Execute() {
        Update();
        if (!Enabled || !OnExecute)
            return false;
        OnExecute(*this);
        return true;
    }
};
