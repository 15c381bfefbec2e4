#pragma once

#include <windows.h>

// Names every program of the product agrees on.
inline constexpr const char* ProductName = "Glazlo";

inline constexpr const char* TrayCallbackMessageName = "{1C403B47-9531-4622-8660-76B5CC0C0042}";
inline constexpr const char* ExtenderAttachedMessageName = "{EFCE5DE7-6330-4192-AAD2-1F200A7232E0}";
inline constexpr const char* AttachWindowMessageName = "{B075E8B9-DE6D-4997-8678-A1342ADA33E0}";
inline constexpr const char* DetachExtenderMessageName = "{70BB0785-11B8-4B5F-9AAE-8BCC84B07147}";

// Numbers used when the window system refuses a registration, the same in every program.
inline constexpr UINT TrayCallbackMessageDefault = 0x80FD;
inline constexpr UINT ExtenderAttachedMessageDefault = 0x8237;
inline constexpr UINT AttachWindowMessageDefault = 0x8159;
inline constexpr UINT DetachExtenderMessageDefault = 0x826F;

// Registered at start-up of each program; equal in every process of the desktop.
extern UINT TrayCallbackMessage;
extern UINT ExtenderAttachedMessage;
extern UINT AttachWindowMessage;
extern UINT DetachExtenderMessage;

// Registers Name; Fallback when the window system refuses it.
UINT RegisterMessageOr(const char* name, UINT fallback) noexcept;
