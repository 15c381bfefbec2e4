#pragma once

#include <optional>
#include <string>

// The general settings as the options page reads and writes them (HKEY_CURRENT_USER).
struct TGeneralOptions {
    bool LoadAtStartup = false;
    bool TrayIcon = true;
    // The stored language id; empty when there is none.
    std::string Language;
};

inline constexpr const char* RunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* RunValueName = "Glazlo";
inline constexpr const char* CommandCenterKey = "SOFTWARE\\Quenda Tools\\Glazlo\\Command Center";
inline constexpr const char* TrayIconValueName = "trayicon";
inline constexpr const char* ProductKeyName = "SOFTWARE\\Quenda Tools\\Glazlo";
inline constexpr const char* LanguageValueName = "Language";

// GlazloCenter's command line for the logon start, quoted when its path has a blank (else
// the logon start could run another program, "C:\Program.exe").
std::string ControlCenterRunValue();
// Whether a Run value starts GlazloCenter of this folder: quoted or not, with arguments or not.
bool RunValueStartsControlCenter(const std::string& runValue);

// Values that cannot be read show their defaults. The Run value is read whether it is stored as
// a string, an expandable string (also expanded) or a multi-string (its strings joined by blanks).
TGeneralOptions ReadGeneralOptions();
// Writes each value on its own: one that cannot be written does not stop the next. No
// language: "Language" is left as it is; no start at logon: the Run value is left as it is
// (another program's value, or one written by hand, is kept unless the user changed the box).
void WriteGeneralOptions(std::optional<bool> loadAtStartup, bool trayIcon,
                         const std::optional<std::string>& language);
