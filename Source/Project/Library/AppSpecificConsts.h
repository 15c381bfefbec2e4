#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr const char* TrayIconDefault = "TRAYDEFAULT";
// Prefix of the flash frames; the frame number 1 to 4 follows.
inline constexpr const char* TrayIconSelected = "TRAYSELECTED";
// A flash shows one frame only, then the idle icon again.
inline constexpr int TrayFlashFrameLimit = 0;

inline constexpr bool HookAllThreads = true;
// The 4-byte mapping in which the resident program publishes the hook handle for glzemb.
inline constexpr const char* HookMappingName = "{DF6335F8-683A-4F05-A8A5-0E761010BDC6}";

// Which program runs: 0 the hook library, 1 the resident program, 2 the configuration program.
inline constexpr std::uint8_t AppKindEmbedded = 0;
inline constexpr std::uint8_t AppKindControlCenter = 1;
inline constexpr std::uint8_t AppKindConfigBuilder = 2;
extern std::uint8_t ApplicationKind;

// Folder of the running program file, with a trailing backslash; set by the application objects.
extern std::string ApplicationFolder;
// "Glazlo.ini" once an application object set it; holds XML despite its extension.
extern std::string ConfigFileName;
inline constexpr const char* DefaultConfigFileName = "Glazlo.ini";
// The other files of the product, all in the programs' folder.
inline constexpr const char* ControlCenterFileName = "GlazloCenter.exe";
inline constexpr const char* ConfigBuilderFileName = "GlazloConfig.exe";
inline constexpr const char* HelpFileName = "Glazlo.chm";

// Repairs chains of subclassed window procedures: wParam the saved procedure, lParam its successor.
inline constexpr const char* WndProcChainMessageName = "C4C786E5-5A66-4F41-8581-5F80061C52EC";
inline constexpr UINT WndProcChainMessageDefault = 0x81E9;
extern UINT WndProcChainMessage;
