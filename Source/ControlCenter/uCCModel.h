#pragma once

// The resident program's only contact with the window-rule model.
#include "QuendaWindows.h"

#include <windows.h>

#include <string>

// What a look at the configuration file found before it is read.
enum class TConfigFileCheck { Usable, Missing, NotARegularFile, TooLarge };
// Refuses what the XML reader could hang on: a folder, a device or pipe, a huge file.
TConfigFileCheck CheckConfigurationFile(const std::string& path);
// Why the configuration file did not load, after the look found Check: for the developer's trace.
std::string ConfigurationLoadFailure(TConfigFileCheck check);

// Puts the object model's and the window-rule model's classes into the class registry, once.
void RegisterCenterClasses();
// The configuration file loaded into a new root with its owners wired; null when it does not load.
// The file is read only after CheckConfigurationFile found it usable; Check receives what it found.
ComPtr<IBOMObjectSlave> LoadConfigurationRoot(TConfigFileCheck* check = nullptr);
// Clears the owners of a loaded root; failures are dropped so that shutdown goes on.
void ReleaseConfigurationRoot(ComPtr<IBOMObjectSlave>& root) noexcept;
// The root's "ControlCenter" plug; null without a root.
ComPtr<IControlCenter> ControlCenterOf(IBOMObjectSlave* root);
// The text of the first enabled rule that matches the window; empty when none does.
std::string FindRuleText(IControlCenter* query, HWND window);
