#include "ModelCollections.h"

#include "ModelKeys.h"

void TModelCollection::Setup(const char* key, const char* element, const char* itemElement,
                             const char* defaultItem, int image, const char* caption) {
    ClassKey = key;
    ElementName = element;
    ItemElementName = itemElement;
    DefaultItemClass = defaultItem;
    ImageIndex = image;
    caption_ = caption;
}

std::string TModelCollection::GetCaption() {
    return caption_.empty() ? TBOM_UI_Collection::GetCaption() : caption_;
}

void TWindowRules::Init() {
    TModelCollection::Init();
    Setup(KeyWindowRules, "window_rules", "window_rule", KeyWindowRule, -1, "");
}

void TConditions::Init() {
    TModelCollection::Init();
    Setup(KeyConditions, "conditions", "condition", KeyCondition, 3, "Conditions");
}

void TCriterions::Init() {
    TModelCollection::Init();
    Setup(KeyCriterions, "criterions", "criterion", "", -1, "");
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
