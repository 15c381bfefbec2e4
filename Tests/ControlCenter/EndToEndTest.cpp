#include "CenterTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct NotepadProcess {
    NotepadProcess() {
        char command[] = "notepad.exe";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            process.Reset(info.hProcess);
        }
    }
    ~NotepadProcess() {
        if (process) {
            TerminateProcess(process.Get(), 0);
            WaitForSingleObject(process.Get(), 5000);
        }
    }
    HWND Window() const {
        HWND found = nullptr;
        const DWORD id = GetProcessId(process.Get());
        for (HWND w = FindWindowA("Notepad", nullptr); w != nullptr;
             w = FindWindowExA(nullptr, w, "Notepad", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == id)
                found = w;
        }
        return found;
    }
    UniqueHandle process;
};

TEST(EndToEnd, NotepadBecomesTransparentAndAnOpenWindowFollowsAReload) {
    CenterSandbox center;
    center.WriteConfiguration({{"Notepad", "Notepad", 60}});
    TestWindow early("GlzEndToEndEarly");
    ASSERT_TRUE(center.Start());

    NotepadProcess notepad;
    ASSERT_TRUE(notepad.process);
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = notepad.Window()) != nullptr; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(window) == 153; }, 5000)) << LayeredAlpha(window);

    EXPECT_EQ(LayeredAlpha(early.Handle()), -1);
    const LONG_PTR earlyOwn = GetWindowLongPtrA(early.Handle(), GWL_EXSTYLE);
    center.WriteConfiguration({{"Notepad", "Notepad", 60}, {"Early", "GlzEndToEndEarly", 40}});
    int code = 0;
    std::string reply;
    ASSERT_EQ(center.Send(cmdReloadConfiguration, {}, code, reply), channelDone);
    EXPECT_TRUE(WaitUntil([&] { return LayeredAlpha(early.Handle()) == 102; }, 5000))
        << LayeredAlpha(early.Handle());

    EXPECT_EQ(center.Stop(5000), 0u);
    // Restored means the window's own styles as before the rule, not merely opaque: Notepad
    // layers itself in no way, and the early window has exactly its earlier extended style.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return (GetWindowLongPtrA(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == 0 &&
                   GetWindowLongPtrA(early.Handle(), GWL_EXSTYLE) == earlyOwn;
        },
        5000));
}

} // namespace
