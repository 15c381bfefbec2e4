#include "ModelCollections.h"

#include "ModelKeys.h"

std::string TModelCollection::GetCaption() {
    return caption_.empty() ? GetName() : caption_;
}

void TModelCollection::Setup(const char* key, const char* element, const char* itemElement,
                             const char* defaultItem, int image, const char* caption) {
    ImageIndex = image;
    caption_ = caption;
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
    Setup(KeyConditions, "conditions", "condition", KeyCondition, 3, "Conditions");
}

void TCriterions::Init() {
    TModelCollection::Init();
    Setup(KeyCriterions, "criterions", "criterion", "");
}

void TActions::Init() {
    TModelCollection::Init();
    Setup(KeyActions, "actions", "action", "", 7, "Actions");
}

void TTriggers::Init() {
    TModelCollection::Init();
    Setup(KeyTriggers, "triggers", "trigger", "", 9, "Triggers");
}

void TAgents::Init() {
    TModelCollection::Init();
    Setup(KeyAgents, "agents", "agent", "", 5, "Agents");
}
