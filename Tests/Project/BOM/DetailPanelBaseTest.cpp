#include "Platform/TestWindow.h"
#include "TreeBindingTestObjects.h"

#include <gtest/gtest.h>

namespace {

// Shows "params/enabled" in an edit control and writes every edit back.
class TEditPanel : public TAbstractDetailPanel {
public:
    HWND Edit = nullptr;
    explicit TEditPanel(TParent parent) : TAbstractDetailPanel(parent) {
        Edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, Handle(),
                               reinterpret_cast<HMENU>(1), nullptr, nullptr);
    }

protected:
    void DoUpdateControls() override {
        SetWindowTextA(
            Edit, MustCast<IBOMParam>(Obj->ResolvePath("params/enabled"))->GetValue().AsString().c_str());
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
            char text[64]{};
            GetWindowTextA(Edit, text, sizeof text);
            SetParamValue("enabled", std::string(text));
        }
        return TAbstractDetailPanel::WndProc(msg, wp, lp);
    }
};

// Counts the changes that reach it from its params; its "EditPanel" is a TEditPanel.
class TCountingItem : public TTestItem {
public:
    int ParamChanges = 0;
    std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string& name, HWND parent) override {
        if (name == "EditPanel")
            return std::make_unique<TEditPanel>(parent);
        return TTestItem::CreateDetailPanel(name, parent);
    }

protected:
    void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override {
        if (path.rfind("params/", 0) == 0)
            ++ParamChanges;
        TTestItem::ChangedFromChild(path, source, from, sender);
    }
};

class TPanelA : public TLogPanel {
public:
    using TLogPanel::TLogPanel;
};
class TPanelB : public TLogPanel {
public:
    using TLogPanel::TLogPanel;
};

ComPtr<IBOMObjectSlave> ItemIn(const ComPtr<IBOMObjectSlave>& list, const std::string& name) {
    return MustCast<IBOMObjectSlave>(ListOf(list)->Item(Variant(name)));
}

struct PanelFixture : ::testing::Test {
    ComPtr<IBOMObjectSlave> list = MakeObject<TTestList>("rules");
    TTestWindow host;
    TLogPanel panel{host.Handle()};
    void SetUp() override {
        ListOf(list)->Add(MakeObject<TTestItem>("first").Get());
        ListOf(list)->Add(MakeObject<TTestItem>("second").Get());
        list->SetOwner(nullptr);
        PanelLog().clear();
        panel.SetObject(ItemIn(list, "first").Get());
        EXPECT_EQ(std::vector<std::string>{"localize first"}, PanelLog());
    }
    void TearDown() override {
        panel.ClearObject();
        list->ClearOwner();
    }
};

TEST_F(PanelFixture, RenameWithTheCurrentNameDoesNothing) {
    panel.RenameObject("first");
    EXPECT_EQ(0, panel.Updates);
}

TEST_F(PanelFixture, RenameRenamesThroughTheOwnerAndShowsTheName) {
    panel.RenameObject("third");
    EXPECT_EQ("third", panel.Obj->GetName());
    EXPECT_TRUE(ListOf(list)->Item(Variant("third")));
    EXPECT_EQ(1, panel.Updates);
}

TEST_F(PanelFixture, RenameToATakenOrCaseOnlyNameKeepsTheNameButUpdates) {
    panel.RenameObject("second");
    EXPECT_EQ("first", panel.Obj->GetName());
    panel.RenameObject("FIRST");
    EXPECT_EQ("first", panel.Obj->GetName());
    EXPECT_EQ(2, panel.Updates);
}

TEST(DetailPanel, RenameWithoutOwnerChangesNothingButUpdates) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TTestItem>("alone");
    TTestWindow host;
    TLogPanel panel{host.Handle()};
    panel.SetObject(item.Get());
    panel.RenameObject("other");
    EXPECT_EQ("alone", item->GetName());
    EXPECT_EQ(1, panel.Updates);
    panel.ClearObject();
}

TEST(DetailPanel, WithoutObjectRenameAndSetParamDoNothing) {
    TTestWindow host;
    TLogPanel panel{host.Handle()};
    panel.RenameObject("x");
    panel.SetParamValue("enabled", "no");
    EXPECT_EQ(0, panel.Updates);
}

TEST(DetailPanel, SetParamValueWritesOnlyExistingParams) {
    ComPtr<IBOMObjectSlave> item = MakeObject<TCountingItem>("a");
    TTestWindow host;
    TLogPanel panel{host.Handle()};
    panel.SetObject(item.Get());
    panel.SetParamValue("missing", "1");
    panel.SetParamValue("enabled", "no");
    EXPECT_EQ("no", MustCast<IBOMParam>(item->ResolvePath("params/enabled"))->GetValue().AsString());
    panel.ClearObject();
}

TEST(DetailPanel, NotifyLocalizesOnlyForCodeOne) {
    TTestWindow host;
    TLogPanel panel{host.Handle()};
    PanelLog().clear();
    panel.Notify(2, 1, 1);
    EXPECT_TRUE(PanelLog().empty());
    panel.Notify(NotifyTranslateTexts, 0, 0);
    EXPECT_EQ(std::vector<std::string>{"localize -"}, PanelLog());
    EXPECT_EQ("", panel.GetTitle());
}

TEST(DetailPanel, FillingControlsDoesNotWriteTheParamBack) {
    TTestWindow host;
    auto* counting = ConstructBOM<TCountingItem>();
    ComPtr<IBOMObjectSlave> item = static_cast<IBOMObjectSlave*>(counting);
    item->SetOwner(nullptr);
    ComPtr<IUIElement> element = AsUIElement(item.Get());
    element->AttachUI(nullptr);
    auto* panel = static_cast<TEditPanel*>(element->GetDetailPanel("EditPanel", host.Handle()));
    ASSERT_NE(nullptr, panel);
    panel->Show();
    EXPECT_EQ(0, counting->ParamChanges);
    // The user's edit is written once; the refresh it causes writes nothing back.
    SetWindowTextA(panel->Edit, "no");
    EXPECT_EQ(1, counting->ParamChanges);
    EXPECT_EQ("no", MustCast<IBOMParam>(item->ResolvePath("params/enabled"))->GetValue().AsString());
    element->DetachUI();
    item->ClearOwner();
}

TEST(PanelRegistry, FirstOfTwoNamesDifferingInCaseWins) {
    RegisterDetailPanelClass(DetailPanelClassOf<TPanelA>(), "CasePanel");
    RegisterDetailPanelClass(DetailPanelClassOf<TPanelB>(), "CASEPANEL");
    RegisterDetailPanelClass(nullptr, "NullPanel");
    EXPECT_EQ(DetailPanelClassOf<TPanelA>(), FindDetailPanelClass("casepanel"));
    EXPECT_EQ(nullptr, FindDetailPanelClass("NullPanel"));
    TTestWindow host;
    std::unique_ptr<IDetailPanel> panel = CreateDetailPanel("CASEPANEL", host.Handle());
    EXPECT_NE(nullptr, dynamic_cast<TPanelA*>(panel.get()));
    EXPECT_EQ(nullptr, CreateDetailPanel("Unregistered", host.Handle()));
}

TEST(PanelList, KeepsTheFirstPanelOfANameAndIgnoresNone) {
    TTestWindow host;
    TLogPanel a{host.Handle()}, b{host.Handle()};
    TAbstractDetailPanels panels;
    panels.Add(&a, "One");
    panels.Add(&b, "ONE");
    panels.Add(nullptr, "Two");
    EXPECT_EQ(1, panels.Count());
    EXPECT_EQ(&a, panels.Get(Variant("one")));
    EXPECT_EQ(&a, panels.Get(Variant(0)));
    panels.Delete(Variant("One"));
    EXPECT_EQ(0, panels.Count());
}

} // namespace
