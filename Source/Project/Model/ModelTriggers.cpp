#include "ModelTriggers.h"

#include "ModelKeys.h"
#include "RuleDescriptor.h"

namespace {
constexpr const char* KindAgent = "Agent";
constexpr const char* KindTrigger = "Trigger";
} // namespace

void TAgent::Init() {
    TEnabledItem::Init();
    ImageIndex = 4;
    elementName_ = "agent";
    AddParam("action_name", Variant(""));
    AddParam("action_kind", Variant("next"));
    AddParam("operation_name", Variant(""));
}

void TAgent::GetDescriptorExtra(std::string& text) {
    text.clear();
}

void TAgent::GetDescriptor(std::string& text) {
    text.clear();
    text += '{';
    text += DescriptorPiece("NAME", GetName());
    // Each piece only when its parameter exists, an empty value included.
    static constexpr const char* Pieces[][2] = {
        {"ACTIONNAME", "action_name"}, {"ACTIONKIND", "action_kind"}, {"OPERATIONNAME", "operation_name"}};
    for (const auto& [piece, param] : Pieces)
        if (const auto value = ParamText(param))
            text += DescriptorPiece(piece, *value);
    std::string extra;
    GetDescriptorExtra(extra);
    text += extra;
    text += '}';
}

ComPtr<IUnknown> TAgent::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TEnabledItem::QueryKind(kind))
        return found;
    if (kind == KindAgent)
        return ComPtr<IUnknown>(static_cast<IDescriptorItem*>(this));
    return nullptr;
}

bool TAgent::IsKindOf(const std::string& kind) {
    return TEnabledItem::IsKindOf(kind) || kind == KindAgent;
}

void TMessageAgent::Init() {
    TAgent::Init();
    classKey_ = KeyMessageAgent;
}

void TTrigger::Init() {
    TEnabledItem::Init();
    ImageIndex = 8;
    HasChildren = true;
    elementName_ = "trigger";
    AddChild(KeyAgents, "agents");
}

void TTrigger::GetDescriptorExtra(std::string& text) {
    text.clear();
}

void TTrigger::GetDescriptor(std::string& text) {
    std::string extra;
    GetDescriptorExtra(extra);
    text = KindKey;
    text += '{';
    text += extra;
    if (ComPtr<IBOMCollection> agents = Supports<IBOMCollection>(ResolvePath("agents").Get())) {
        for (int i = 0; i < agents->Count(); ++i) {
            ComPtr<IDescriptorItem> agent =
                Supports<IDescriptorItem>(agents->Item(Variant(i))->QueryKind(KindAgent).Get());
            if (!agent || !agent->IsEnabled())
                continue;
            std::string agentText;
            agent->GetDescriptor(agentText);
            text += DescriptorPiece("AGENT", agentText);
        }
    }
    text += "}";
}

ComPtr<IUnknown> TTrigger::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TEnabledItem::QueryKind(kind))
        return found;
    if (kind == KindTrigger)
        return ComPtr<IUnknown>(static_cast<IDescriptorItem*>(this));
    return nullptr;
}

bool TTrigger::IsKindOf(const std::string& kind) {
    return TEnabledItem::IsKindOf(kind) || kind == KindTrigger;
}

void TMessageTrigger::Init() {
    TTrigger::Init();
    AddParam("lag_enabled", Variant("no"));
    AddParam("lag_interval", Variant("0"));
}

void TMessageTrigger::SetKeys(const char* key) {
    classKey_ = key;
    KindKey = key;
}

void TMessageTrigger::GetDescriptorExtra(std::string& text) {
    text = DescriptorPiece("LAG_ENABLED", ParamTextOr("lag_enabled", "no"));
    text += DescriptorPiece("LAG_INTERVAL", ParamTextOr("lag_interval", "0"));
}

void TWMCreateMessageTrigger::Init() {
    TMessageTrigger::Init();
    SetKeys(KeyWMCreateMessageTrigger);
}

void TWMActivateWindowMessageTrigger::Init() {
    TMessageTrigger::Init();
    SetKeys(KeyWMActivateWindowMessageTrigger);
}

void TWMInActivateWindowMessageTrigger::Init() {
    TMessageTrigger::Init();
    SetKeys(KeyWMInActivateWindowMessageTrigger);
}
