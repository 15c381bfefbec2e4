#include "uCCModel.h"

#include "BOMObjects.h"
#include "Errors.h"
#include "GeneralClasses.h"
#include "Handles.h"
#include "ModelRegistration.h"

#include <mutex>

TConfigFileCheck CheckConfigurationFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? TConfigFileCheck::Missing
                   : TConfigFileCheck::NotARegularFile;
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return TConfigFileCheck::NotARegularFile;
    const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return TConfigFileCheck::NotARegularFile;
    LARGE_INTEGER size{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0)
        return TConfigFileCheck::NotARegularFile;
    if (static_cast<ULONGLONG>(size.QuadPart) > MaxConfigurationFileSize)
        return TConfigFileCheck::TooLarge;
    return TConfigFileCheck::Usable;
}

std::string ConfigurationLoadFailure(TConfigFileCheck check) {
    const std::string file = ConfigurationFilePath();
    switch (check) {
    case TConfigFileCheck::Missing:
        return file + " is missing";
    case TConfigFileCheck::NotARegularFile:
        return file + " is not a regular file";
    case TConfigFileCheck::TooLarge:
        return file + " is larger than " + std::to_string(MaxConfigurationFileSize >> 20) + " MiB";
    case TConfigFileCheck::Usable:
        break;
    }
    return file + " is not well-formed XML or could not be read";
}

void RegisterCenterClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        InitAbstractClasses();
        RegisterBOMClasses();
        RegisterModelClasses();
        RegisterModelActionClasses();
    });
}

ComPtr<IBOMObjectSlave> LoadConfigurationRoot(TConfigFileCheck* check) {
    RegisterCenterClasses();
    const TConfigFileCheck found = CheckConfigurationFile(ConfigurationFilePath());
    if (check != nullptr)
        *check = found;
    if (found != TConfigFileCheck::Usable)
        return nullptr;
    return LoadConfiguration();
}

void ReleaseConfigurationRoot(ComPtr<IBOMObjectSlave>& root) noexcept {
    try {
        if (root)
            root->ClearOwner();
    } catch (...) {
        // The reference goes all the same.
        TraceFailure("GlazloCenter model release");
    }
    root.Reset();
}

ComPtr<IControlCenter> ControlCenterOf(IBOMObjectSlave* root) {
    if (root == nullptr)
        return nullptr;
    return Supports<IControlCenter>(root->QueryKind("ControlCenter").Get());
}

std::string FindRuleText(IControlCenter* query, HWND window) {
    std::string text;
    if (query != nullptr)
        query->FindRuleDescriptor(window, text);
    return text;
}
