#pragma once

#include <exception>
#include <functional>
#include <string>

// The placement library's failures inside window procedures and form events end here, never
// in user32. The program routes them to its application's display; without one they are
// shown in a message box.
using TExceptionDisplay = std::function<void(const std::string& message)>;

// Answers the display it replaced.
TExceptionDisplay SetExceptionDisplay(TExceptionDisplay display);
// Shows the exception being handled (call inside a catch block); never throws.
void ShowCurrentException() noexcept;
