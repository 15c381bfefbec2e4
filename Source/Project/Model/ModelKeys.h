#pragma once

// Class keys of the model; the mixed-case spellings are the ones written as "type" in files.
inline constexpr const char* KeyWindowRule = "WINDOWRULE";
inline constexpr const char* KeyWindowRules = "WINDOWRULES";
inline constexpr const char* KeyCondition = "CONDITION";
inline constexpr const char* KeyConditions = "CONDITIONS";
inline constexpr const char* KeyCriterions = "CRITERIONS";
inline constexpr const char* KeyWindowClassNameCriterion = "WINDOWCLASSNAMECRITERION";
inline constexpr const char* KeyWindowCaptionCriterion = "WINDOWCaptionCriterion";
inline constexpr const char* KeyActions = "Actions";
inline constexpr const char* KeyTriggers = "Triggers";
inline constexpr const char* KeyAgents = "Agents";
inline constexpr const char* KeyTransparentWindowAction = "TRANSPARENTWINDOWACTION";
inline constexpr const char* KeyStayOnTopAction = "STAYONTOPACTION";
inline constexpr const char* KeyGhostWindowAction = "GHOSTWINDOWACTION";
inline constexpr const char* KeyMessageAgent = "MESSAGEAGENT";
inline constexpr const char* KeyWMCreateMessageTrigger = "WMCREATEMESSAGETRIGGER";
inline constexpr const char* KeyWMActivateWindowMessageTrigger = "WMACTIVATEWINDOWMESSAGETRIGGER";
inline constexpr const char* KeyWMInActivateWindowMessageTrigger = "WMINACTIVATEWINDOWMESSAGETRIGGER";
inline constexpr const char* KeyQuendaWindows = "QUENNAWINDOWS";
