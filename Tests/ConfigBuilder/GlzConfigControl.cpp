// Companion of scripts/run.sh:
//   GlzConfigControl show-rule N    waits for GlazloConfig's main window, selects the rule N (from
//                                   0) in its tree so that its page shows, brings it forward and
//                                   waits until it is painted
//   GlzConfigControl close          closes GlazloConfig's main window (it asks when there are changes)
#include "ConfigProgram.h"
#include "WaitUntil.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

BOOL CALLBACK FindMain(HWND window, LPARAM param) noexcept {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "TCBAppForm" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindow(DWORD timeout) {
    HWND main = nullptr;
    WaitUntil(
        [&] {
            EnumWindows(FindMain, reinterpret_cast<LPARAM>(&main));
            return main != nullptr;
        },
        timeout);
    return main;
}

int ShowRule(int index) {
    HWND main = MainWindow(30000);
    if (main == nullptr) {
        std::printf("GlazloConfig shows no main window.\n");
        return 1;
    }
    HWND tree = FindChild(main, "SysTreeView32");
    HTREEITEM rule = tree != nullptr ? TreeChild(tree, TreeRoot(tree), index) : nullptr;
    if (rule == nullptr) {
        std::printf("GlazloConfig's tree has no rule %d.\n", index);
        return 1;
    }
    SelectTreeItem(tree, rule);
    BringToFront(main);
    WaitUntil([&] { return GetUpdateRect(main, nullptr, FALSE) == FALSE; }, 5000);
    std::printf("GlazloConfig shows the page of rule \"%s\".\n", TreeItemText(tree, rule).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "show-rule")
        return ShowRule(std::atoi(argv[2]));
    if (argc >= 2 && std::string(argv[1]) == "close") {
        if (HWND main = MainWindow(0))
            PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    std::printf("usage: GlzConfigControl show-rule N | close\n");
    return 2;
}
