#include "ModelRegistration.h"

#include "GeneralClasses.h"
#include "ModelActions.h"
#include "ModelCollections.h"
#include "ModelCriterions.h"
#include "ModelKeys.h"
#include "ModelTriggers.h"
#include "QuendaWindows.h"
#include "WindowRule.h"

void RegisterModelClasses() {
    RegisterClass(ClassOf<TActions>(), KeyActions);
    RegisterClass(ClassOf<TAgents>(), KeyAgents);
    RegisterClass(ClassOf<TTriggers>(), KeyTriggers);
    RegisterClass(ClassOf<TCondition>(), KeyCondition);
    RegisterClass(ClassOf<TConditions>(), KeyConditions);
    RegisterClass(ClassOf<TCriterions>(), KeyCriterions);
    RegisterClass(ClassOf<TWindowClassNameCriterion>(), KeyWindowClassNameCriterion);
    RegisterClass(ClassOf<TWindowCaptionCriterion>(), KeyWindowCaptionCriterion);
    RegisterClass(ClassOf<TWindowRule>(), KeyWindowRule);
    RegisterClass(ClassOf<TWindowRules>(), KeyWindowRules);
    RegisterClass(ClassOf<TQuendaWindows>(), KeyQuendaWindows);
}

void RegisterModelActionClasses() {
    RegisterClass(ClassOf<TTransparentWindowAction>(), KeyTransparentWindowAction);
    RegisterClass(ClassOf<TStayOnTopAction>(), KeyStayOnTopAction);
    RegisterClass(ClassOf<TGhostWindowAction>(), KeyGhostWindowAction);
    RegisterClass(ClassOf<TMessageAgent>(), KeyMessageAgent);
    RegisterClass(ClassOf<TWMCreateMessageTrigger>(), KeyWMCreateMessageTrigger);
    RegisterClass(ClassOf<TWMActivateWindowMessageTrigger>(), KeyWMActivateWindowMessageTrigger);
    RegisterClass(ClassOf<TWMInActivateWindowMessageTrigger>(), KeyWMInActivateWindowMessageTrigger);
}
