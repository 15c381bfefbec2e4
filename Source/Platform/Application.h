#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TForm;

// The program's application: title, main form, the message loop and the display of
// exceptions that event handlers raise.
class TApplication {
public:
    TApplication() = default;
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    TForm* MainForm() const noexcept { return mainForm_; }
    void SetMainForm(TForm* form) noexcept { mainForm_ = form; }
    // A hidden window of the application; minimising or restoring it does so to the main form.
    HWND Handle();
    HICON Icon() const noexcept { return icon_; }
    // Not owned; forms made afterwards show it.
    void SetIcon(HICON icon) noexcept { icon_ = icon; }

    // Shows the main form and runs the loop until Terminate (or the main form closes).
    void Run();
    void Terminate() noexcept;
    bool Terminated() const noexcept { return terminated_; }
    // Handles every queued message, then returns.
    void ProcessMessages();
    // One message, or the idle work and a wait for the next when there is none.
    void HandleMessage();
    // The work done when the queue has run empty: every action updates, then OnIdle.
    void Idle();

    // Inside a catch block: shows the exception (OnException when set, else a message box
    // with the title as caption). Never raises.
    void HandleException() noexcept;
    void ShowException(const std::string& message) noexcept;

    std::function<void(const std::string& message)> OnException;
    std::function<void()> OnIdle;

private:
    bool ProcessMessage(MSG& msg);
    bool PreProcess(MSG& msg);

    std::string title_;
    TForm* mainForm_ = nullptr;
    HWND handle_ = nullptr;
    HICON icon_ = nullptr;
    bool terminated_ = false;
};

TApplication& Application();
