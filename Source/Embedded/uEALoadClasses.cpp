#include "uEALoadClasses.h"

#include "uEAActivators.h"
#include "uEAGhostWindowAction.h"
#include "uEATransparentWindowAction.h"

void LoadItemClasses() {
    RegisterItemClass(ClassOf<TOperation>(), "OPERATION");
    RegisterItemClass(ClassOf<TTransparentWindowAction>(), "TRANSPARENTWINDOWACTION");
    RegisterItemClass(ClassOf<TStayOnTopAction>(), "STAYONTOPACTION");
    RegisterItemClass(ClassOf<TGhostWindowAction>(), "GHOSTWINDOWACTION");
    RegisterItemClass(ClassOf<TMessageActionActivator>(), "MESSAGEAGENT");
    RegisterItemClass(ClassOf<TWMCreateMessageTrigger>(), "WMCREATEMESSAGETRIGGER");
    RegisterItemClass(ClassOf<TWMActivateWindowMessageTrigger>(), "WMACTIVATEWINDOWMESSAGETRIGGER");
    RegisterItemClass(ClassOf<TWMInActivateWindowMessageTrigger>(), "WMINACTIVATEWINDOWMESSAGETRIGGER");
}
