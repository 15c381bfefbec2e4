#pragma once

// The resident program's only contact with the window-rule model.
#include "QuendaWindows.h"

#include <windows.h>

#include <string>

// Puts the object model's and the window-rule model's classes into the class registry, once.
void RegisterCenterClasses();
// The configuration file loaded into a new root with its owners wired; null when it does not load.
ComPtr<IBOMObjectSlave> LoadConfigurationRoot();
// Clears the owners of a loaded root; failures are dropped so that shutdown goes on.
void ReleaseConfigurationRoot(ComPtr<IBOMObjectSlave>& root) noexcept;
// The root's "ControlCenter" plug; null without a root.
ComPtr<IControlCenter> ControlCenterOf(IBOMObjectSlave* root);
// The text of the first enabled rule that matches the window; empty when none does.
std::string FindRuleText(IControlCenter* query, HWND window);
