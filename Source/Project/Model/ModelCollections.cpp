#include "ModelCollections.h"

#include "ModelKeys.h"

void TModelCollection::Setup(const char* key, const char* element, const char* itemElement,
                             const char* defaultItem) {
    classKey_ = key;
    elementName_ = element;
    itemElementName_ = itemElement;
    defaultItemClass_ = defaultItem;
}

void TWindowRules::Init() {
    TModelCollection::Init();
    Setup(KeyWindowRules, "window_rules", "window_rule", KeyWindowRule);
}

void TConditions::Init() {
    TModelCollection::Init();
    Setup(KeyConditions, "conditions", "condition", KeyCondition);
}

void TCriterions::Init() {
    TModelCollection::Init();
    Setup(KeyCriterions, "criterions", "criterion", "");
}

void TActions::Init() {
    TModelCollection::Init();
    Setup(KeyActions, "actions", "action", "");
}

void TTriggers::Init() {
    TModelCollection::Init();
    Setup(KeyTriggers, "triggers", "trigger", "");
}

void TAgents::Init() {
    TModelCollection::Init();
    Setup(KeyAgents, "agents", "agent", "");
}
