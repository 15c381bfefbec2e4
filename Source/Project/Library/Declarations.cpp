#include "Declarations.h"

UINT RegisterMessageOr(const char* name, UINT fallback) noexcept {
    const UINT message = RegisterWindowMessageA(name);
    return message != 0 ? message : fallback;
}

// Initialised in this order, as every program does.
UINT TrayCallbackMessage = RegisterMessageOr(TrayCallbackMessageName, TrayCallbackMessageDefault);
UINT ExtenderAttachedMessage = RegisterMessageOr(ExtenderAttachedMessageName, ExtenderAttachedMessageDefault);
UINT AttachWindowMessage = RegisterMessageOr(AttachWindowMessageName, AttachWindowMessageDefault);
UINT DetachExtenderMessage = RegisterMessageOr(DetachExtenderMessageName, DetachExtenderMessageDefault);
