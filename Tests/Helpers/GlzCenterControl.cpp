// Companion of scripts/run.sh:
//   GlzCenterControl wait               waits until GlazloCenter answers on the channel
//   GlzCenterControl alpha CLASS MS     waits for a window of CLASS to turn layered, prints its alpha
//   GlzCenterControl screenshot FILE    writes the screen as a 24-bit BMP
//   GlzCenterControl stop               sends command 3 (close) to GlazloCenter
#include "ProcessesCommunication.h"
#include "ScreenPicture.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Send(int code, const std::vector<char>& payload, int& replyCode) {
    TProcessesCommunication channel;
    channel.SetTimeout(2000);
    int replySize = 0;
    std::vector<char> reply;
    return channel.SendCommand(code, static_cast<int>(payload.size()), payload.data(), replyCode, replySize,
                               reply);
}

int WaitForCenter() {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
        int code = 0;
        if (Send(cmdQueryWindowRule, std::vector<char>(8), code) == channelDone && code == replyWrongSize) {
            std::printf("GlazloCenter answers on its command channel.\n");
            return 0;
        }
        Sleep(200);
    }
    std::printf("GlazloCenter does not answer.\n");
    return 1;
}

int Alpha(const char* className, DWORD timeout) {
    const DWORD start = GetTickCount();
    HWND window = nullptr;
    for (;;) {
        window = FindWindowA(className, nullptr);
        BYTE alpha = 0;
        DWORD flags = 0;
        if (window != nullptr && (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
            GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) != 0) {
            std::printf("Window of class \"%s\" is layered: alpha %u of 255 (%u%% opaque).\n", className,
                        static_cast<unsigned>(alpha), static_cast<unsigned>(alpha) * 100 / 255);
            return 0;
        }
        if (GetTickCount() - start > timeout)
            break;
        Sleep(100);
    }
    std::printf(window ? "Window of class \"%s\" is not transparent.\n" : "No window of class \"%s\".\n",
                className);
    return 1;
}

int Screenshot(const char* file) {
    const RECT area{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const bool written = SaveScreenPicture(area, file);
    std::printf("Screenshot written to %s\n", file);
    return written ? 0 : 1;
}

int Stop() {
    int code = 0;
    const int result = Send(cmdCloseCenter, {}, code);
    std::printf(result == channelDone ? "GlazloCenter is closing.\n" : "GlazloCenter does not answer.\n");
    return result == channelDone ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "wait")
        return WaitForCenter();
    if (command == "alpha" && argc > 3)
        return Alpha(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    if (command == "screenshot" && argc > 2)
        return Screenshot(argv[2]);
    if (command == "stop")
        return Stop();
    std::fprintf(stderr, "usage: GlzCenterControl wait | alpha CLASS MS | screenshot FILE | stop\n");
    return 2;
}
