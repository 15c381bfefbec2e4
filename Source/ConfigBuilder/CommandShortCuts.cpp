#include "CommandShortCuts.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// Key names beside letters, digits and F1..F24.
constexpr std::pair<const char*, WORD> KeyNames[] = {
    {"BKSP", VK_BACK},  {"TAB", VK_TAB},     {"ENTER", VK_RETURN}, {"ESC", VK_ESCAPE}, {"SPACE", VK_SPACE},
    {"PGUP", VK_PRIOR}, {"PGDN", VK_NEXT},   {"END", VK_END},      {"HOME", VK_HOME},  {"LEFT", VK_LEFT},
    {"UP", VK_UP},      {"RIGHT", VK_RIGHT}, {"DOWN", VK_DOWN},    {"INS", VK_INSERT}, {"DEL", VK_DELETE},
};

WORD KeyOfName(const std::string& name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(name[0]);
    if (name.size() >= 2 && name[0] == 'F' && std::all_of(name.begin() + 1, name.end(), ::isdigit)) {
        const int n = std::stoi(name.substr(1));
        return n >= 1 && n <= 24 ? static_cast<WORD>(VK_F1 + n - 1) : 0;
    }
    for (const auto& [keyName, key] : KeyNames)
        if (name == keyName)
            return key;
    return 0;
}

} // namespace

TShortCut TextToShortCut(const std::string& text) {
    std::string rest = Upper(text);
    TShortCut modifiers = 0;
    for (;;) {
        const auto plus = rest.find('+');
        // A lone "+" key is no modifier.
        if (plus == std::string::npos || plus + 1 == rest.size())
            break;
        const std::string word = rest.substr(0, plus);
        if (word == "CTRL")
            modifiers |= scCtrl;
        else if (word == "SHIFT")
            modifiers |= scShift;
        else if (word == "ALT")
            modifiers |= scAlt;
        else
            return 0;
        rest.erase(0, plus + 1);
    }
    const WORD key = KeyOfName(rest);
    return key != 0 ? static_cast<TShortCut>(key | modifiers) : 0;
}

TShortCut ShortCutFromKey(WPARAM virtualKey, LPARAM keyData) {
    TShortCut result = static_cast<TShortCut>(virtualKey & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0)
        result |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        result |= scCtrl;
    // Bit 29 of the key data is the context code: Alt was held.
    if ((keyData & (1 << 29)) != 0)
        result |= scAlt;
    return result;
}
