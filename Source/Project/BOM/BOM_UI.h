#pragma once

#include "BOMObjects.h"
#include "BOMRoutines.h"
#include "DetailPanels.h"
#include "MouseButtons.h"
#include "UITree.h"
#include "WinFuncs.h"

#include <memory>
#include <string>
#include <type_traits>

// The user-interface host; the model root is one.
struct IUI : IUnknown {};
__CRT_UUID_DECL(IUI, 0xD6E42CFB, 0xBC18, 0x4C3D, 0x9C, 0x5B, 0xCF, 0x22, 0xBA, 0xEF, 0x64, 0xA4)

// An object shown as a tree node, with the panels that edit it.
struct IUIElement : IUnknown {
    virtual void AttachUI(IUI* ui) = 0;
    virtual void DetachUI() = 0;
    virtual void Refresh() = 0;
    virtual void SetTreeNode(TUINode node) = 0;
    // A new last child of parent (a top node when parent is empty) that holds and shows the
    // element, made in one insertion; the element takes it as its node.
    virtual TUINode InsertTreeNode(IUITree& tree, TUINode parent) = 0;
    virtual void ClearTreeNode(TUINode node) = 0;
    virtual void Expanding(TUINode node) = 0;
    virtual void MouseDown(TUINode node, TMouseButton button, TShiftState shift, int x, int y) = 0;
    // Not owned by the caller; null when there is none. Made hidden in parent at the first call,
    // kept there and answered again by later calls, whatever parent they name.
    virtual IDetailPanel* GetDetailPanel(const std::string& name, HWND parent) = 0;
    // Both answer true when the element did not handle the command.
    virtual bool UpdateCommand(TUICommand& action) = 0;
    virtual bool ExecuteCommand(TUICommand& action) = 0;
};
__CRT_UUID_DECL(IUIElement, 0xB04B1AB0, 0x1D3A, 0x4A86, 0xAE, 0xC5, 0x5C, 0x79, 0x70, 0x1C, 0x0F, 0x84)

// Something that fills a node with child nodes.
struct IUIList : IUnknown {
    virtual void FillTreeNode(TUINode node) = 0;
};
__CRT_UUID_DECL(IUIList, 0x62533DC1, 0xC8A3, 0x4B16, 0x92, 0x27, 0x1A, 0x45, 0x21, 0x8E, 0xC3, 0x46)

// The node data record: one counted element reference. A node keeps its element alive.
struct TTNStruct {
    ComPtr<IUIElement> Element;
};

// Gives node a new record holding element.
void AttachNodeElement(TUINode node, IUIElement* element);
// A new last child of parent with a record holding element, showing look.
TUINode InsertElementNode(IUITree& tree, TUINode parent, IUIElement* element, const TTreeNodeLook& look);
// The element of node's record, or null.
IUIElement* NodeElement(TUINode node);
// Frees node's record and clears its data; answers the element it held.
ComPtr<IUIElement> DetachNodeElement(TUINode node);

// The element of obj when it answers the kind "UIElement", else null.
ComPtr<IUIElement> AsUIElement(IBOMObject* obj);
// A new child node of parent that holds and shows the element of obj; none when obj has none.
TUINode AddElementNode(TUINode parent, IBOMObject* obj);

// What a tree-bound object and a tree-bound collection share.
template <class Base> class TBOM_UI_Base : public Base, public IUIElement {
    GLZ_INTERFACES(Base, IUIElement)

public:
    ComPtr<IUI> UI;
    TUINode TreeNode;
    int ImageIndex = -1;
    int StateIndex = -1;
    bool HasChildren = false;
    std::unique_ptr<TAbstractDetailPanels> Panels;

    ~TBOM_UI_Base() override { FreePanels(); }

    ComPtr<IUnknown> QueryKind(const std::string& kind) override {
        if (ComPtr<IUnknown> found = Base::QueryKind(kind))
            return found;
        if (kind == "UIElement")
            return ComPtr<IUnknown>(static_cast<IUIElement*>(this));
        return nullptr;
    }
    bool IsKindOf(const std::string& kind) override { return Base::IsKindOf(kind) || kind == "UIElement"; }

    virtual std::string GetCaption() { return this->GetName(); }
    virtual ComPtr<IUIList> GetUIList() { return nullptr; }
    // What the node shows, both when it is made and at each UpdateTreeNode: the one place to
    // change a node's look, as a node made by InsertTreeNode is never passed to UpdateTreeNode.
    virtual TTreeNodeLook TreeNodeLook() {
        // A name with a NUL shows whole, as the rule's page shows it.
        return {TextForWindow(GetCaption()), ImageIndex, ImageIndex, StateIndex, HasChildren};
    }
    // One change of the node: a large tree fills in a fraction of the time.
    virtual void UpdateTreeNode(TUINode node) { node.SetLook(TreeNodeLook()); }
    virtual std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string&, HWND) { return nullptr; }

    void AttachUI(IUI* ui) override {
        UI = ui;
        ForEachElement([ui](IUIElement* element) { element->AttachUI(ui); });
        Panels = std::make_unique<TAbstractDetailPanels>();
        Refresh();
    }
    void DetachUI() override {
        ForEachElement([](IUIElement* element) { element->DetachUI(); });
        FreePanels();
        UI.Reset();
    }
    void Refresh() override {
        if (TreeNode)
            UpdateTreeNode(TreeNode);
        UpdatePanels();
    }
    void SetTreeNode(TUINode node) override {
        TreeNode = node;
        Refresh();
    }
    TUINode InsertTreeNode(IUITree& tree, TUINode parent) override {
        // The node is made with its look: of a refresh only the panels' part is left.
        TreeNode = InsertElementNode(tree, parent, this, TreeNodeLook());
        UpdatePanels();
        return TreeNode;
    }
    void ClearTreeNode(TUINode) override { TreeNode = {}; }
    // Fills the node's children at its first expansion only.
    void Expanding(TUINode node) final {
        if (!node.HasChildren() || node.GetFirstChild())
            return;
        if (ComPtr<IUIList> list = GetUIList())
            list->FillTreeNode(node);
        else
            node.SetHasChildren(false);
    }
    void MouseDown(TUINode, TMouseButton, TShiftState, int, int) override {}
    IDetailPanel* GetDetailPanel(const std::string& name, HWND parent) override {
        // A detached object has no panels to give.
        if (!Panels)
            return nullptr;
        if (IDetailPanel* found = Panels->Get(name))
            return found;
        std::unique_ptr<IDetailPanel> panel = CreateDetailPanel(name, parent);
        if (!panel)
            return nullptr;
        panel->SetObject(static_cast<IBOMObject*>(static_cast<IBOMObjectSlave*>(this)));
        panel->UpdateControls();
        IDetailPanel* result = panel.release();
        Panels->Add(result, name);
        return result;
    }
    bool UpdateCommand(TUICommand&) override { return true; }
    bool ExecuteCommand(TUICommand&) override { return true; }

protected:
    void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override {
        if (StartsWith("params/", path))
            Refresh();
        Base::ChangedFromChild(path, source, from, sender);
    }

    // Every element among the "all" children and, for a collection, among its items.
    template <class F> void ForEachElement(F f) {
        ForEachIn(this->All(), f);
        if constexpr (std::is_base_of_v<TBOMCollection, Base>)
            ForEachIn(static_cast<IBOMCollection*>(this), f);
    }

private:
    void UpdatePanels() {
        if (Panels)
            for (int i = 0; i < Panels->Count(); ++i)
                Panels->Get(i)->UpdateControls();
    }

    template <class F> static void ForEachIn(IBOMCollection* list, F& f) {
        if (list == nullptr)
            return;
        for (int i = 0; i < list->Count(); ++i)
            if (ComPtr<IUIElement> element = AsUIElement(list->Item(i).Get()))
                f(element.Get());
    }

    // Last created first; the list does not own them, this object does.
    void FreePanels() noexcept {
        if (!Panels)
            return;
        for (int i = Panels->Count() - 1; i >= 0; --i) {
            std::unique_ptr<IDetailPanel> panel(Panels->Get(i));
            Panels->Delete(i);
        }
        Panels.reset();
    }
};

// An object of the model shown as a tree node.
class TBOM_UI_Object : public TBOM_UI_Base<TBOMObject> {
public:
    void Notify(int code, int param1, int param2) override;
    // Tells every open panel to translate its texts again.
    virtual void Localize();
};

// A collection shown as a tree node whose children are its items, made at first expansion.
class TBOM_UI_Collection : public TBOM_UI_Base<TBOMCollection>, public IUIList {
    GLZ_INTERFACES(TBOM_UI_Base<TBOMCollection>, IUIList)

public:
    void Init() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
    ComPtr<IUIList> GetUIList() override;
    void AddItem(IBOMObject* item) override;
    void FillTreeNode(TUINode node) final;
};
