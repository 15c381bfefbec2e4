#pragma once

#include "BOMInterfaces.h"

#include <string>

// Registers every class once and keeps COM up for the whole test program.
void EnsureModelClasses();

ComPtr<IBOMObject> At(IBOMObject* from, const std::string& path);
// The text of the param at path ("actions/StayOnTop/params/enabled"); "<none>" when missing.
std::string ParamAt(IBOMObject* from, const std::string& path);
void SetParamAt(IBOMObject* from, const std::string& path, const std::string& value);
// Names of a collection's items, in order, joined by ",".
std::string ItemNames(IBOMObject* from, const std::string& path);

std::string TempFolder(const std::string& name);
std::string ReadFileText(const std::string& fileName);
void WriteFileText(const std::string& fileName, const std::string& text);
