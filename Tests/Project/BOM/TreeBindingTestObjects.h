#pragma once

#include "AbstractDetailPanel.h"
#include "BOM_UI.h"
#include "TreeViewUI.h"
#include "GeneralClasses.h"

#include <string>
#include <vector>

// Texts of what happened to panels, in order, for the tests to read.
inline std::vector<std::string>& PanelLog() {
    static std::vector<std::string> log;
    return log;
}

class TLogPanel : public TAbstractDetailPanel {
public:
    explicit TLogPanel(TParent parent) : TAbstractDetailPanel(parent) {}
    ~TLogPanel() override { PanelLog().push_back("free " + Tag()); }
    void Localize() override { PanelLog().push_back("localize " + Tag()); }
    int Updates = 0;

protected:
    void DoUpdateControls() override { ++Updates; }

private:
    std::string Tag() const { return Obj ? Obj->GetName() : std::string("-"); }
};

// A tree-bound object whose panel names are "DefaultDetailPanel" and "Second", and whose
// state image follows "params/enabled".
class TTestItem : public TBOM_UI_Object {
public:
    void Init() override {
        TBOM_UI_Object::Init();
        AddParam("enabled", "yes");
        ImageIndex = 1;
    }
    std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string& name, HWND parent) override {
        if (name == "DefaultDetailPanel" || name == "Second")
            return std::make_unique<TLogPanel>(parent);
        return nullptr;
    }

protected:
    void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override {
        if (path == "params/enabled")
            StateIndex = GetParam("enabled")->GetValue().AsString() == "yes" ? 2 : 1;
        TBOM_UI_Object::ChangedFromChild(path, source, from, sender);
    }
};

class TTestList : public TBOM_UI_Collection {};

class TTestHost : public TDebugInterfacedObject, public IUI {
    GLZ_INTERFACES(TDebugInterfacedObject, IUI)
};

template <class T> ComPtr<IBOMObjectSlave> MakeObject(const std::string& name) {
    ComPtr<IBOMObjectSlave> obj = static_cast<IBOMObjectSlave*>(ConstructBOM<T>());
    obj->SetName(name);
    return obj;
}

inline ComPtr<IBOMCollection> ListOf(const ComPtr<IBOMObjectSlave>& obj) {
    return MustCast<IBOMCollection>(obj->QueryKind("Collection"));
}
