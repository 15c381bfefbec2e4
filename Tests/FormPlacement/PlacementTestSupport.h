#pragma once

#include "RegistryKey.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

// A registry key below HKEY_CURRENT_USER that is empty at the start and gone at the end.
class TScratchKey {
public:
    explicit TScratchKey(std::string name)
        : path_("SOFTWARE\\Quenda Tools\\Glazlo Tests\\" + std::move(name)) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ~TScratchKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    TScratchKey(const TScratchKey&) = delete;
    TScratchKey& operator=(const TScratchKey&) = delete;

    const std::string& Path() const { return path_; }
    TRegistryKey Section(const std::string& section) const {
        return TRegistryKey::Open(HKEY_CURRENT_USER, path_ + "\\" + section, KEY_READ);
    }

private:
    std::string path_;
};

// An ini file in the temporary folder, deleted at the end.
class TScratchIni {
public:
    explicit TScratchIni(const std::string& name) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + name;
        DeleteFileA(path_.c_str());
    }
    ~TScratchIni() { DeleteFileA(path_.c_str()); }
    TScratchIni(const TScratchIni&) = delete;
    TScratchIni& operator=(const TScratchIni&) = delete;

    const std::string& Path() const { return path_; }
    std::string Raw(const std::string& section, const std::string& ident) const {
        char buffer[1024] = {};
        GetPrivateProfileStringA(section.c_str(), ident.c_str(), "<missing>", buffer, sizeof(buffer),
                                 path_.c_str());
        return buffer;
    }
    std::string Contents() const {
        std::ifstream file(path_, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    std::string path_;
};
