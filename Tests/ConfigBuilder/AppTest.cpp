#include "AppSpecificConsts.h"
#include "ConfigBuilderTestSupport.h"
#include "Menus.h"
#include "Project/Model/ModelTestSupport.h"
#include "RootUIController.h"
#include "uCBApp.h"
#include "uCBAppForm.h"
#include "uWindowRuleDetailPanel.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

constexpr const char* PlacementKey = "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows";
constexpr const char* PlacementSection = "SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows\\TCBAppForm";

// Whether this thread's COM is still initialised: a further CoInitialize then answers S_FALSE.
bool ComStillInitialised() {
    const HRESULT result = CoInitialize(nullptr);
    CoUninitialize();
    return result == S_FALSE;
}

TEST(CBApp, AFailedStartUninitialisesComOnlyForItsOwnInit) {
    EnsureConfigClasses();
    const std::string savedFolder = ApplicationFolder;
    ASSERT_TRUE(ComStillInitialised());
    {
        TCBApp app;
        // A folder without Glazlo.ini: the start fails after COM was initialised.
        ApplicationFolder = NewTestFolder("cbapp");
        EXPECT_FALSE(app.Init());
        EXPECT_FALSE(app.Root);
        app.Done();
        app.Done();
    }
    EXPECT_TRUE(ComStillInitialised());
    ApplicationFolder = savedFolder;
}

TEST(CBApp, MainFormShowsTheBarsAndTheTree) {
    EnsureConfigClasses();
    const std::string savedFolder = ApplicationFolder;
    ApplicationFolder = NewTestFolder("mainform");
    WriteFileText(ApplicationFolder + "Glazlo.ini", "<quenda_windows/>");
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ApplicationFolder + "Glazlo.ini");
    ASSERT_TRUE(root);
    auto* controller =
        dynamic_cast<TRootUIController*>(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    ASSERT_NE(nullptr, controller);
    controller->CreateUI();
    TCBAppForm* form = controller->MainForm();
    ASSERT_NE(nullptr, form);
    EXPECT_EQ("TCBAppForm", form->ClassName());
    EXPECT_EQ("Glazlo", form->Caption());
    std::vector<std::string> menus;
    for (int i = 0; i < form->MenuToolBar->ButtonCount(); ++i)
        menus.push_back(form->MenuToolBar->Buttons(i)->Caption());
    EXPECT_EQ((std::vector<std::string>{"&File", "Window Rule", "Actions", "&Help"}), menus);
    ASSERT_EQ(4, form->ToolBarToolBar->ButtonCount());
    EXPECT_EQ(TToolButtonStyle::tbsSeparator, form->ToolBarToolBar->Buttons(1)->Style());
    EXPECT_EQ(8, form->ToolBarToolBar->Buttons(1)->Width());
    EXPECT_EQ(2, form->ToolBarToolBar->Buttons(3)->ImageIndex());
    ASSERT_NE(nullptr, form->MenuToolBar->Buttons(0)->MenuItem());
    EXPECT_EQ(3, form->MenuToolBar->Buttons(0)->MenuItem()->Count());
    EXPECT_TRUE(form->MenuToolBar->Buttons(0)->MenuItem()->Items(1)->IsSeparator());
    EXPECT_EQ("Window Rules", form->TreeView->GetFirstNode().Text());
    // The window's placement lives in the user's registry, in a subkey named after the form.
    EXPECT_TRUE(form->FormStorage->UseRegistry());
    EXPECT_EQ(TPlacementRegRoot::prCurrentUser, form->FormStorage->RegistryRoot());
    EXPECT_EQ("SOFTWARE\\Quenda Tools\\Glazlo\\Quenda Windows", form->FormStorage->GetIniFileName());
    EXPECT_EQ("TCBAppForm", form->FormStorage->GetIniSection());
    controller->DestroyUI();
    EXPECT_EQ(nullptr, controller->MainForm());
    root->ClearOwner();
    ApplicationFolder = savedFolder;
}

// The name typed into the page reaches the file although the edit was never left.
TEST(CBApp, TheFocusedTextIsStoredBeforeACommandAndOnClosing) {
    EnsureConfigClasses();
    const std::string savedFolder = ApplicationFolder;
    ApplicationFolder = NewTestFolder("focused");
    WriteFileText(ApplicationFolder + "Glazlo.ini", "<quenda_windows/>");
    ComPtr<IBOMObjectSlave> root = LoadConfiguration(ApplicationFolder + "Glazlo.ini");
    ASSERT_TRUE(root);
    auto* controller =
        dynamic_cast<TRootUIController*>(Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    controller->CreateUI();
    controller->MainForm()->Show();
    controller->HandleShortCut(TShortCut('A' | scCtrl));
    auto* page = dynamic_cast<TWindowRuleDetailPanel*>(controller->ShownPanel());
    ASSERT_NE(nullptr, page);
    page->NameEdit->SetFocus();
    ASSERT_TRUE(page->NameEdit->Focused());
    SetWindowTextA(page->NameEdit->Handle(), "Typed Name");
    EXPECT_TRUE(controller->HandleShortCut(TShortCut('S' | scCtrl)));
    EXPECT_NE(std::string::npos, ReadFileText(ApplicationFolder + "Glazlo.ini").find("Typed Name"));

    // The close question sees the typed text as a change; a close cancelled there keeps the
    // window open and stores no placement.
    RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
    SetWindowTextA(page->NameEdit->Handle(), "Typed Again");
    {
        TMessageBoxAnswerer answerer(IDCANCEL);
        controller->MainForm()->Close();
        EXPECT_EQ(1u, answerer.Texts().size());
    }
    EXPECT_TRUE(IsWindowVisible(controller->MainForm()->Handle()));
    EXPECT_NE(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, PlacementSection, "NormPos", RRF_RT_REG_SZ,
                                          nullptr, nullptr, nullptr));
    EXPECT_NE(nullptr, root->ResolvePath("window_rules/Typed Again"));
    controller->DestroyUI();
    RegDeleteTreeA(HKEY_CURRENT_USER, PlacementKey);
    root->ClearOwner();
    ApplicationFolder = savedFolder;
}

} // namespace
