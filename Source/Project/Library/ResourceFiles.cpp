#include "ResourceFiles.h"

#include <fstream>

bool SaveResourceToFile(HMODULE module, const char* resourceName, const char* resourceType,
                        const std::string& fileName) noexcept {
    try {
        HRSRC info = FindResourceA(module, resourceName, resourceType);
        if (info == nullptr)
            return false;
        // Resource memory belongs to the module: nothing to free.
        HGLOBAL data = LoadResource(module, info);
        const void* bytes = data ? LockResource(data) : nullptr;
        if (bytes == nullptr)
            return false;
        std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
        file.write(static_cast<const char*>(bytes), SizeofResource(module, info));
        file.close();
        return static_cast<bool>(file);
    } catch (...) {
        return false;
    }
}

std::string MakeTempFileName(const std::string& prefix) {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return {};
    std::string path(folder, length);
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    char name[MAX_PATH] = {};
    if (GetTempFileNameA(path.c_str(), prefix.c_str(), 0, name) == 0)
        return {};
    return name;
}
