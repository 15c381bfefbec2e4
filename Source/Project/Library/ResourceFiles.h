#pragma once

#include <windows.h>

#include <string>

// Writes the raw bytes of a module's resource to a file (created or overwritten).
// False when the resource is missing or the file cannot be written; never throws.
bool SaveResourceToFile(HMODULE module, const char* resourceName, const char* resourceType,
                        const std::string& fileName) noexcept;

// A new, empty, uniquely named file in the user's temporary folder; empty when none could be made.
std::string MakeTempFileName(const std::string& prefix);
