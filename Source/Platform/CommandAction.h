#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A key with its modifiers, coded as the key code plus these bits; 0 is no short-cut.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// "Ctrl+S", "F1", "Shift+Ctrl+Del"; empty for no short-cut.
std::string ShortCutToText(TShortCut shortCut);
// The reverse; empty or unrecognised text gives 0.
TShortCut TextToShortCut(const std::string& text);
// The short-cut a WM_KEYDOWN or WM_SYSKEYDOWN stands for (modifiers from the key data and
// the keyboard state); 0 for a bare modifier key.
TShortCut ShortCutFromKey(WPARAM key, LPARAM keyData) noexcept;

class TCommandAction;

// A button or menu item that shows an action and refreshes when it changes.
class TActionClient {
public:
    virtual void ActionChanged(const TCommandAction& action) = 0;
    // The action goes; the client forgets it.
    virtual void ActionDestroyed(const TCommandAction& action) noexcept = 0;

protected:
    ~TActionClient() = default;
};

// A command of the configuration program with what its buttons and menu items show. The
// element that handles a command may set its enabled state. Name is the command's name.
// Every action of the thread is updated when the application's queue runs empty.
class TCommandAction {
public:
    TCommandAction();
    ~TCommandAction();
    TCommandAction(const TCommandAction&) = delete;
    TCommandAction& operator=(const TCommandAction&) = delete;

    // Fields may be written directly; Changed (or the next Update) refreshes the clients.
    std::string Name;
    std::string Caption;
    std::string Hint;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;

    void SetCaption(const std::string& caption);
    void SetHint(const std::string& hint);
    void SetEnabled(bool enabled);
    void SetImageIndex(int index);
    void SetShortCut(TShortCut shortCut);
    std::string ShortCutText() const { return ShortCutToText(ShortCut); }
    void SetShortCutText(const std::string& text) { SetShortCut(TextToShortCut(text)); }

    std::function<void(TCommandAction& sender)> OnExecute;
    std::function<void(TCommandAction& sender)> OnUpdate;
    // Runs before the update that decides whether the command may run, and before the menu of
    // a group drops down: takes along what the command's state depends on (a text still being
    // typed, which would otherwise count only once its box is left).
    std::function<void(TCommandAction& sender)> OnPrepare;

    // Runs OnUpdate and refreshes the clients when anything changed.
    void Update();
    // OnPrepare, then Update.
    void Prepare();
    // Prepare first; a disabled action does nothing. True when OnExecute ran.
    bool Execute();
    // Tells every bound button and menu item to show the action again.
    void Changed();

    void AddClient(TActionClient* client);
    void RemoveClient(TActionClient* client) noexcept;
    // Moves client's binding held in slot to action (null: none) and shows it.
    static void Bind(TCommandAction*& slot, TCommandAction* action, TActionClient& client);

    // Update for every action of the thread (what the application does when idle).
    static void UpdateAll();

private:
    struct TState {
        std::string Caption, Hint;
        bool Enabled, Checked, Visible;
        int ImageIndex;
        TShortCut ShortCut;
        bool operator==(const TState&) const = default;
    };
    TState State() const;

    std::vector<TActionClient*> clients_;
    TState shown_;
};
