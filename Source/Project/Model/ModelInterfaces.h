#pragma once

#include <unknwn.h>
#include <windows.h>

#include <string>

// Interfaces of the window-rule model. Window is a top-level window of another program.

struct IEnabledItem : public IUnknown {
    virtual bool IsEnabled() = 0;
};

struct IAction : public IEnabledItem {
    virtual void GetDescriptor(std::string& text) = 0;
};

// Agents and triggers.
struct IDescriptorItem : public IEnabledItem {
    virtual void GetDescriptor(std::string& text) = 0;
};

struct ICondition : public IEnabledItem {
    virtual bool Match(HWND window) = 0;
};

struct ICriterion : public IEnabledItem {
    virtual bool Match(HWND window) = 0;
};

struct IWindowRule : public IEnabledItem {
    virtual bool Match(HWND window) = 0;
    virtual void GetDescriptor(std::string& text) = 0;
};

// The resident program's plug: the rule text for a window, empty when no enabled rule matches.
struct IControlCenter : public IUnknown {
    virtual void FindRuleDescriptor(HWND window, std::string& text) = 0;
};

// The configuration program's plug; its methods come with the configuration program.
struct IConfigBuilder : public IUnknown {
    virtual void CreateUI() = 0;
    virtual void DestroyUI() = 0;
    virtual void ShowMainForm() = 0;
};

__CRT_UUID_DECL(IEnabledItem, 0x3604C17B, 0xDAE2, 0x4768, 0xBD, 0xC9, 0x7B, 0x6C, 0x75, 0x1F, 0xB7, 0x54)
__CRT_UUID_DECL(IAction, 0xA526569B, 0x2490, 0x45E3, 0xA3, 0x1D, 0xDA, 0x28, 0x3E, 0xD6, 0xDF, 0x75)
__CRT_UUID_DECL(IDescriptorItem, 0x7F80B10B, 0xA145, 0x46EC, 0xA0, 0xAF, 0x24, 0x42, 0x40, 0x7A, 0xED, 0x54)
__CRT_UUID_DECL(ICondition, 0x10B51325, 0xB608, 0x46F2, 0x9F, 0xA1, 0x72, 0x2B, 0xB8, 0xC3, 0x73, 0x33)
__CRT_UUID_DECL(ICriterion, 0xB20D73CA, 0x3DD9, 0x41A0, 0xA4, 0x98, 0x56, 0xAB, 0xEB, 0xA7, 0x1E, 0xFB)
__CRT_UUID_DECL(IWindowRule, 0x8F9A0678, 0xFCB1, 0x4240, 0xB8, 0x06, 0x12, 0xE5, 0x9E, 0x3E, 0xA6, 0xAA)
__CRT_UUID_DECL(IControlCenter, 0xAF4CB205, 0xFF79, 0x4254, 0x9B, 0xB9, 0xC8, 0x9D, 0xED, 0x34, 0xDF, 0xC3)
__CRT_UUID_DECL(IConfigBuilder, 0x35013AD6, 0x5290, 0x4BF2, 0xB4, 0xFF, 0x6A, 0xBB, 0x58, 0x8E, 0x3C, 0x2A)
