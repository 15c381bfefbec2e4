#include "BOM_UI.h"

namespace {

std::unique_ptr<TTNStruct> NewNodeRecord(IUIElement* element) {
    auto record = std::make_unique<TTNStruct>();
    record->Element = element;
    return record;
}

} // namespace

void AttachNodeElement(TUINode node, IUIElement* element) {
    std::unique_ptr<TTNStruct> record = NewNodeRecord(element);
    node.SetData(record.get());
    record.release(); // the node holds it until DetachNodeElement
}

TUINode InsertElementNode(IUITree& tree, TUINode parent, IUIElement* element, const TTreeNodeLook& look) {
    std::unique_ptr<TTNStruct> record = NewNodeRecord(element);
    const TUINode node{&tree, tree.InsertNode(parent.Item, look, record.get())};
    record.release(); // the node holds it until DetachNodeElement
    return node;
}

IUIElement* NodeElement(TUINode node) {
    auto* record = static_cast<TTNStruct*>(node ? node.Data() : nullptr);
    return record != nullptr ? record->Element.Get() : nullptr;
}

ComPtr<IUIElement> DetachNodeElement(TUINode node) {
    std::unique_ptr<TTNStruct> record(static_cast<TTNStruct*>(node.Data()));
    if (!record)
        return nullptr;
    node.SetData(nullptr);
    return std::move(record->Element);
}

ComPtr<IUIElement> AsUIElement(IBOMObject* obj) {
    return obj != nullptr ? Supports<IUIElement>(obj->QueryKind("UIElement")) : nullptr;
}

void TBOM_UI_Object::Notify(int code, int param1, int param2) {
    TBOM_UI_Base::Notify(code, param1, param2);
    if (code == NotifyTranslateTexts)
        Localize();
}

void TBOM_UI_Object::Localize() {
    if (Panels)
        for (int i = 0; i < Panels->Count(); ++i)
            Panels->Get(i)->Notify(NotifyTranslateTexts, 0, 0);
}

void TBOM_UI_Collection::Init() {
    TBOM_UI_Base::Init();
    HasChildren = true;
}

ComPtr<IUnknown> TBOM_UI_Collection::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TBOM_UI_Base::QueryKind(kind))
        return found;
    if (kind == "UIList")
        return ComPtr<IUnknown>(static_cast<IUIList*>(this));
    return nullptr;
}

bool TBOM_UI_Collection::IsKindOf(const std::string& kind) {
    return TBOM_UI_Base::IsKindOf(kind) || kind == "UIList";
}

ComPtr<IUIList> TBOM_UI_Collection::GetUIList() {
    return ComPtr<IUIList>(static_cast<IUIList*>(this));
}

void TBOM_UI_Collection::AddItem(IBOMObject* item) {
    TBOM_UI_Base::AddItem(item);
    if (UI)
        if (ComPtr<IUIElement> element = AsUIElement(item))
            element->AttachUI(UI.Get());
}

void TBOM_UI_Collection::FillTreeNode(TUINode node) {
    for (int i = 0; i < Count(); ++i)
        AddElementNode(node, GetItem(i).Get());
}

TUINode AddElementNode(TUINode parent, IBOMObject* obj) {
    ComPtr<IUIElement> element = AsUIElement(obj);
    if (!element)
        return {};
    return element->InsertTreeNode(*parent.Tree, parent);
}
