#pragma once

#include "BOMInterfaces.h"

#include <string>

// KEY or KEY{params}; null for an unknown key or a class that is no BOM object.
ComPtr<IBOMObjectSlave> CreateBOMObject(const std::string& classSpec, const std::string& name);
ComPtr<IBOMParam> CreateParam(const std::string& name);

// "/x" gives "/" and "x"; "a/b/c" gives "a" and "b/c"; "a" gives "a" and "".
void SplitPath(const std::string& path, std::string& head, std::string& rest);
// Letter case significant; an empty prefix always matches.
bool StartsWith(const std::string& prefix, const std::string& s);
// Removes one final "/".
std::string ExcludeTrailingSlash(const std::string& s);
