#include "GeneralOptions.h"

#include "AppSpecificConsts.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace {

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::optional<std::string> ReadString(const char* key, const char* value, DWORD kinds = RRF_RT_REG_SZ) {
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, kinds, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string text(size, '\0');
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, kinds, nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::min<std::size_t>(size, text.size()));
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    // The strings of a multi-string value, one after the other.
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

// The Run value as it is stored, whichever kind of text it is, and with its variables expanded
// when it holds any.
std::string ReadRunValue() {
    const std::string stored =
        ReadString(RunKey, RunValueName,
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_RT_REG_MULTI_SZ | RRF_NOEXPAND)
            .value_or("");
    if (stored.find('%') == std::string::npos)
        return stored;
    const DWORD length = ExpandEnvironmentStringsA(stored.c_str(), nullptr, 0);
    if (length == 0)
        return stored;
    std::string expanded(length, '\0');
    expanded.resize(ExpandEnvironmentStringsA(stored.c_str(), expanded.data(), length) > 0 ? length - 1 : 0);
    return stored + " " + expanded;
}

std::optional<DWORD> ReadNumber(const char* key, const char* value) {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return number;
}

// RegSetKeyValue creates the key when it is missing.
void WriteString(const char* key, const char* value, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, value, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void WriteNumber(const char* key, const char* value, DWORD number) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, value, REG_DWORD, &number, sizeof number);
}

} // namespace

std::string ControlCenterRunValue() {
    const std::string path = ApplicationFolder + ControlCenterFileName;
    return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

bool RunValueStartsControlCenter(const std::string& runValue) {
    return Upper(runValue).find(Upper(ApplicationFolder + ControlCenterFileName)) != std::string::npos;
}

TGeneralOptions ReadGeneralOptions() {
    TGeneralOptions options;
    options.TrayIcon = ReadNumber(CommandCenterKey, TrayIconValueName).value_or(1) != 0;
    options.LoadAtStartup = RunValueStartsControlCenter(ReadRunValue());
    options.Language = ReadString(ProductKeyName, LanguageValueName).value_or("");
    return options;
}

void WriteGeneralOptions(std::optional<bool> loadAtStartup, bool trayIcon,
                         const std::optional<std::string>& language) {
    WriteNumber(CommandCenterKey, TrayIconValueName, trayIcon ? 1 : 0);
    if (loadAtStartup == true)
        WriteString(RunKey, RunValueName, ControlCenterRunValue());
    else if (loadAtStartup == false)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, RunValueName);
    if (language)
        WriteString(ProductKeyName, LanguageValueName, *language);
}
