#include "BOMUICommands.h"

#include "GeneralClasses.h"
#include "MultiLanguages.h"
#include "XMLStorage.h"

namespace {

constexpr const char* KeyCommand = "BOMUICOMMAND";
constexpr const char* KeyCommands = "BOMUICOMMANDS";

ComPtr<IBOMCollection> CollectionAt(IBOMObject* from, const std::string& path) {
    return from != nullptr ? Supports<IBOMCollection>(from->ResolvePath(path)) : nullptr;
}

// Sets a text parameter to its translation without telling anyone.
void TranslateParam(TBOMObject& command, const std::string& param, const std::string& key) {
    if (ComPtr<IBOMParam> value = command.GetParam(param))
        value->SetValueSilent(Variant(Translate(key, value->GetValue().AsString())));
}

} // namespace

void TBOMUICommand::Init() {
    TBOM_UI_Object::Init();
    classKey_ = KeyCommand;
    elementName_ = "command";
    AddParam("caption", Variant(""));
    AddParam("hint", Variant(""));
    AddParam("shortcut", Variant(""));
    AddParam("type", Variant("item"));
    AddParam("imageindex", Variant(-1));
    AddChild(KeyCommands, "commands");
    action_ = std::make_unique<TCommandAction>();
}

TCommandKind TBOMUICommand::CommandKind() {
    const std::string type = GetParam("type")->GetValue().AsString();
    if (type == "separator")
        return TCommandKind::Separator;
    if (type == "group")
        return TCommandKind::Group;
    return TCommandKind::Item;
}

void TBOMUICommand::Localize() {
    TBOM_UI_Object::Localize();
    const std::string prefix = "Command_" + GetName();
    TranslateParam(*this, "caption", prefix + "_Caption");
    TranslateParam(*this, "hint", prefix + "_Hint");
    Refresh();
}

void TBOMUICommand::Refresh() {
    TBOM_UI_Object::Refresh();
    if (!action_)
        return;
    action_->Name = GetParam("name")->GetValue().AsString();
    action_->Caption = GetParam("caption")->GetValue().AsString();
    action_->Hint = GetParam("hint")->GetValue().AsString();
    action_->ShortCut = TextToShortCut(GetParam("shortcut")->GetValue().AsString());
    // A hand-made value that is no number shows no image.
    try {
        action_->ImageIndex = GetParam("imageindex")->GetValue().AsInteger();
    } catch (const Exception&) {
        action_->ImageIndex = -1;
    }
    // Bound buttons and menu items show the new texts at once.
    action_->Changed();
}

// Loading sets the parameters before any owner listens: the action learns them here.
void TBOMUICommand::Load(IHierStorage* storage) {
    TBOM_UI_Object::Load(storage);
    Refresh();
}

TMenuItem* TBOMUICommand::CreateMenuItem(TComponent* owner) {
    auto* item = ::Create<TMenuItem>(owner);
    // A separator shows no action: its caption must stay the separator mark.
    if (CommandKind() == TCommandKind::Separator) {
        item->Caption.assign(1, '-');
        return item;
    }
    item->SetAction(action_.get());
    item->ImageIndex = action_->ImageIndex;
    if (CommandKind() == TCommandKind::Group)
        AddSubItems(item);
    return item;
}

TToolButton* TBOMUICommand::CreateToolButton(TComponent* owner) {
    auto* button = ::Create<TToolButton>(owner);
    button->Grouped = true;
    button->SetAction(action_.get());
    button->SetAutoSize(true);
    switch (CommandKind()) {
    case TCommandKind::Separator:
        button->SetStyle(TToolButtonStyle::tbsSeparator);
        button->SetAutoSize(false);
        button->SetWidth(8);
        break;
    case TCommandKind::Group: {
        auto* menu = ::Create<TPopupMenu>(button);
        auto* item = ::Create<TMenuItem>(button);
        menu->Items().Add(item);
        item->SetAction(action_.get());
        button->SetMenuItem(item);
        AddSubItems(item);
        break;
    }
    case TCommandKind::Item:
        button->SetStyle(TToolButtonStyle::tbsButton);
        break;
    }
    return button;
}

void TBOMUICommand::AddSubItems(TMenuItem* item) {
    ComPtr<IBOMCollection> children = CollectionAt(Self(), "commands");
    if (!children)
        return;
    for (int i = 0; i < children->Count(); ++i)
        if (ComPtr<IBOMUICommand> child = Supports<IBOMUICommand>(children->Item(Variant(i))))
            item->Add(child->CreateMenuItem(item));
}

bool TBOMUICommand::HandleShortCut(TShortCut shortCut) {
    if (shortCut != 0 && shortCut == action_->ShortCut)
        return action_->Execute();
    ComPtr<IBOMCollection> children = CollectionAt(Self(), "commands");
    if (!children)
        return false;
    for (int i = 0; i < children->Count(); ++i)
        if (ComPtr<IBOMUICommand> child = Supports<IBOMUICommand>(children->Item(Variant(i))))
            if (child->HandleShortCut(shortCut))
                return true;
    return false;
}

void TBOMUICommands::Init() {
    TBOM_UI_Collection::Init();
    classKey_ = KeyCommands;
    elementName_ = "commands";
    itemElementName_ = "command";
    defaultItemClass_ = KeyCommand;
}

void RegisterBOMUICommandClasses() {
    RegisterClass(ClassOf<TBOMUICommand>(), KeyCommand);
    RegisterClass(ClassOf<TBOMUICommands>(), KeyCommands);
}

bool LoadCommands(IBOMObject* commands, std::string_view xml) {
    ComPtr<IPersistObject> persist = Supports<IPersistObject>(commands);
    if (!persist)
        return false;
    ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
    if (!storage->LoadFromXML(std::string(xml)))
        return false;
    return storage->LoadObject(persist.Get());
}

bool HandleShortCutIn(IBOMObject* commands, TShortCut shortCut) {
    ComPtr<IBOMCollection> list = Supports<IBOMCollection>(commands);
    if (!list)
        return false;
    for (int i = list->Count() - 1; i >= 0; --i)
        if (ComPtr<IBOMUICommand> command = Supports<IBOMUICommand>(list->Item(Variant(i))))
            if (command->HandleShortCut(shortCut))
                return true;
    return false;
}
