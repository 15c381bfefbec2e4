#include "ExceptionDisplay.h"

#include <windows.h>

#include <utility>

namespace {

TExceptionDisplay& Display() {
    static TExceptionDisplay display;
    return display;
}

} // namespace

TExceptionDisplay SetExceptionDisplay(TExceptionDisplay display) {
    return std::exchange(Display(), std::move(display));
}

void ShowCurrentException() noexcept {
    try {
        std::string message = "Unknown error";
        try {
            throw;
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
        }
        if (Display())
            Display()(message);
        else
            MessageBoxA(GetActiveWindow(), message.c_str(), nullptr, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}
