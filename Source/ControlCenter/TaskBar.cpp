#include "TaskBar.h"

#include "TextCuts.h"

#include <shellapi.h>

#include <cstring>

namespace {

constexpr std::size_t MaxTipLength = 63;
constexpr std::size_t MaxTitleLength = 255;

// The record of the structure this program passes (its 64-bit size, not the 32-bit one).
NOTIFYICONDATAA Record(HWND window, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(NOTIFYICONDATAA);
    data.hWnd = window;
    data.uID = id;
    return data;
}

void CopyTip(NOTIFYICONDATAA& data, const std::string& tip) {
    const std::string cut = TrayTip(tip);
    std::memcpy(data.szTip, cut.c_str(), cut.size() + 1);
}

} // namespace

std::string TrayTip(const std::string& tip) {
    return LeadingBytes(tip, MaxTipLength);
}

std::string WindowTitle(const std::string& title) {
    return LeadingBytes(title, MaxTitleLength);
}

bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const std::string& tip) {
    NOTIFYICONDATAA data = Record(window, id);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    CopyTip(data, tip);
    return Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool ModifyTrayIcon(HWND window, UINT id, UINT flags, HICON icon, const std::string& tip) {
    NOTIFYICONDATAA data = Record(window, id);
    data.uFlags = flags;
    data.hIcon = icon;
    if (!tip.empty())
        CopyTip(data, tip);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool DeleteTrayIcon(HWND window, UINT id) {
    NOTIFYICONDATAA data = Record(window, id);
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}
