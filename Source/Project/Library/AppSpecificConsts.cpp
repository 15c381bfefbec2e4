#include "AppSpecificConsts.h"

#include "Declarations.h"

std::uint8_t ApplicationKind = AppKindEmbedded;
std::string ApplicationFolder;
std::string ConfigFileName;
UINT WndProcChainMessage = RegisterMessageOr(WndProcChainMessageName, WndProcChainMessageDefault);
