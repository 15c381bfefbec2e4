#pragma once

#include "Application.h"
#include "Forms.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Runs the application's own message handling (short-cuts, dialog keys, idle updates) until
// done() holds or the time limit passes.
inline bool PumpApplicationUntil(const std::function<bool()>& done, int limitMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Application().ProcessMessages();
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Keys through the system's input queue, as a user types them: (key, down) pairs.
inline void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Brings the form to the front and gives it the keyboard, waiting until the system agrees.
inline bool MakeForeground(TForm& form) {
    form.Show();
    return PumpApplicationUntil([&] {
        SetForegroundWindow(form.Handle());
        return GetForegroundWindow() == form.Handle();
    });
}

// The text of a window (a message box's caption or its static text).
inline std::string WindowText(HWND hwnd) {
    char buffer[512] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

// The first control of type T inside in, searched depth first.
template <class T> T* FindControlIn(TWinControl* in) {
    for (int i = 0; i < in->ControlCount(); ++i) {
        if (auto* found = dynamic_cast<T*>(in->Controls(i)))
            return found;
        if (T* deeper = FindControlIn<T>(in->Controls(i)))
            return deeper;
    }
    return nullptr;
}
