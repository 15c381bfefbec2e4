#include "CommandAction.h"

#include "MessageDispatch.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

struct TKeyName {
    WORD Key;
    const char* Name;
};

// The names of keys that are not a letter, a digit or F1..F24.
constexpr std::array<TKeyName, 17> kKeyNames{{{VK_BACK, "BkSp"},
                                              {VK_TAB, "Tab"},
                                              {VK_RETURN, "Enter"},
                                              {VK_ESCAPE, "Esc"},
                                              {VK_SPACE, "Space"},
                                              {VK_PRIOR, "PgUp"},
                                              {VK_NEXT, "PgDn"},
                                              {VK_END, "End"},
                                              {VK_HOME, "Home"},
                                              {VK_LEFT, "Left"},
                                              {VK_UP, "Up"},
                                              {VK_RIGHT, "Right"},
                                              {VK_DOWN, "Down"},
                                              {VK_INSERT, "Ins"},
                                              {VK_DELETE, "Del"},
                                              {VK_OEM_PLUS, "+"},
                                              {VK_OEM_MINUS, "-"}}};

constexpr std::array<std::pair<TShortCut, const char*>, 3> kModifiers{
    {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}}};

std::string KeyName(WORD key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) {
        std::string name(1, 'F');
        name.append(std::to_string(key - VK_F1 + 1));
        return name;
    }
    for (const TKeyName& name : kKeyNames)
        if (name.Key == key)
            return name.Name;
    return {};
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
    for (size_t i = 0; prefix[i] != '\0'; ++i)
        if (at + i >= text.size() || std::toupper(static_cast<unsigned char>(text[at + i])) !=
                                         std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    return a.size() == std::char_traits<char>::length(b) && StartsWithNoCase(a, 0, b);
}

std::vector<TCommandAction*>& ThreadActions() {
    static thread_local std::vector<TCommandAction*> actions;
    return actions;
}

} // namespace

std::string ShortCutToText(TShortCut shortCut) {
    const std::string key = KeyName(static_cast<WORD>(shortCut & 0xFF));
    if (key.empty())
        return {};
    std::string text;
    for (const auto& [bit, name] : kModifiers)
        if ((shortCut & bit) != 0)
            text += name;
    text.append(key);
    return text;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut modifiers = 0;
    size_t at = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [bit, name] : kModifiers)
            if (StartsWithNoCase(text, at, name) && text.size() > at + std::char_traits<char>::length(name)) {
                modifiers |= bit;
                at += std::char_traits<char>::length(name);
                found = true;
            }
    }
    const std::string key = text.substr(at);
    if (key.empty())
        return 0;
    for (WORD code = 1; code < 0xFF; ++code) {
        const std::string name = KeyName(code);
        if (!name.empty() && EqualsNoCase(key, name.c_str()))
            return static_cast<TShortCut>(modifiers | code);
    }
    return 0;
}

TShortCut ShortCutFromKey(WPARAM key, LPARAM keyData) noexcept {
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == 0 || key > 0xFF)
        return 0;
    const TShiftState shift = ShiftFromKeyData(keyData);
    TShortCut shortCut = static_cast<TShortCut>(key);
    if ((shift & ssShift) != 0)
        shortCut |= scShift;
    if ((shift & ssCtrl) != 0)
        shortCut |= scCtrl;
    if ((shift & ssAlt) != 0)
        shortCut |= scAlt;
    return shortCut;
}

TCommandAction::TCommandAction() : shown_(State()) {
    ThreadActions().push_back(this);
}

TCommandAction::~TCommandAction() {
    auto& actions = ThreadActions();
    actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    for (TActionClient* client : std::vector<TActionClient*>(clients_))
        client->ActionDestroyed(*this);
}

TCommandAction::TState TCommandAction::State() const {
    return {Caption, Hint, Enabled, Checked, Visible, ImageIndex, ShortCut};
}

void TCommandAction::SetCaption(const std::string& caption) {
    Caption = caption;
    Changed();
}

void TCommandAction::SetHint(const std::string& hint) {
    Hint = hint;
    Changed();
}

void TCommandAction::SetEnabled(bool enabled) {
    Enabled = enabled;
    Changed();
}

void TCommandAction::SetImageIndex(int index) {
    ImageIndex = index;
    Changed();
}

void TCommandAction::SetShortCut(TShortCut shortCut) {
    ShortCut = shortCut;
    Changed();
}

void TCommandAction::Update() {
    if (OnUpdate)
        OnUpdate(*this);
    if (!(State() == shown_))
        Changed();
}

void TCommandAction::Prepare() {
    if (OnPrepare)
        OnPrepare(*this);
    Update();
}

bool TCommandAction::Execute() {
    Prepare();
    if (!Enabled || !OnExecute)
        return false;
    OnExecute(*this);
    return true;
}

void TCommandAction::Changed() {
    shown_ = State();
    for (TActionClient* client : std::vector<TActionClient*>(clients_))
        client->ActionChanged(*this);
}

void TCommandAction::AddClient(TActionClient* client) {
    if (client != nullptr && std::find(clients_.begin(), clients_.end(), client) == clients_.end())
        clients_.push_back(client);
}

void TCommandAction::RemoveClient(TActionClient* client) noexcept {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

void TCommandAction::Bind(TCommandAction*& slot, TCommandAction* action, TActionClient& client) {
    if (action == slot)
        return;
    if (slot != nullptr)
        slot->RemoveClient(&client);
    slot = action;
    if (slot != nullptr) {
        slot->AddClient(&client);
        client.ActionChanged(*slot);
    }
}

void TCommandAction::UpdateAll() {
    // An update may make or free actions: walk a copy and skip the ones that went.
    const std::vector<TCommandAction*> snapshot = ThreadActions();
    for (TCommandAction* action : snapshot) {
        const auto& live = ThreadActions();
        if (std::find(live.begin(), live.end(), action) != live.end())
            action->Update();
    }
}
