#include "AppSpecificConsts.h"
#include "ConfigBuilderTestSupport.h"
#include "GeneralOptions.h"
#include "MultiLanguages.h"
#include "Project/Model/ModelTestSupport.h"
#include "RootUIController.h"
#include "ShellOpen.h"
#include "uAboutForm.h"
#include "uOptionsForm.h"

#include <gtest/gtest.h>

namespace {

// A root with its controller; the test prefix's settings are left as they were found.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureConfigClasses();
        savedFolder_ = ApplicationFolder;
        ApplicationFolder = NewTestFolder("dialogs");
        Clear();
        root = CreateBOMObject("QUENNAWINDOWS", "");
        root->SetOwner(nullptr);
        controller = dynamic_cast<TRootUIController*>(
            Supports<IConfigBuilder>(root->QueryKind("CongifBuilder")).Get());
    }
    void TearDown() override {
        root->ClearOwner();
        Clear();
        ApplicationFolder = savedFolder_;
    }
    static void Clear() {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, RunValueName);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, CommandCenterKey, TrayIconValueName);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, ProductKeyName, LanguageValueName);
    }
    // Shows the options through the controller and presses the button once it is up.
    void ShowOptionsAndPress(bool ok, const std::function<void(TOptionsForm&)>& edit = {}) {
        TTimerDriver driver([&] {
            auto* dialog = dynamic_cast<TOptionsForm*>(controller->ShownDialog());
            if (dialog == nullptr || !IsWindowVisible(dialog->Handle()))
                return false;
            if (edit)
                edit(*dialog);
            PostMessageA((ok ? dialog->OKButton : dialog->CancelButton)->Handle(), BM_CLICK, 0, 0);
            return true;
        });
        controller->ShowOptions();
    }

    ComPtr<IBOMObjectSlave> root;
    TRootUIController* controller = nullptr;

private:
    std::string savedFolder_;
};

TEST_F(Dialogs, OptionsShowTheStoredSettings) {
    {
        TOptionsForm dialog;
        EXPECT_TRUE(dialog.GeneralPage->EnableTrayIconCheckBox->Checked());
        EXPECT_FALSE(dialog.GeneralPage->LoadAtStartupCheckBox->Checked());
        // No language files beside the program: nothing to choose.
        EXPECT_EQ(0, dialog.GeneralPage->LanguageComboBox->Count());
    }
    ApplicationFolder = "C:\\Program Files\\Glazlo\\";
    RegSetKeyValueA(HKEY_CURRENT_USER, RunKey, RunValueName, REG_SZ,
                    "\"C:\\Program Files\\Glazlo\\GlazloCenter.exe\"", 43);
    DWORD off = 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, CommandCenterKey, TrayIconValueName, REG_DWORD, &off, sizeof off);
    TOptionsForm dialog;
    EXPECT_TRUE(dialog.GeneralPage->LoadAtStartupCheckBox->Checked());
    EXPECT_FALSE(dialog.GeneralPage->EnableTrayIconCheckBox->Checked());
    EXPECT_EQ("Load Glazlo at start-up", dialog.GeneralPage->LoadAtStartupCheckBox->Caption());
}

TEST_F(Dialogs, CancelWritesNothingAndTellsNobody) {
    TCenterStandIn center("guard");
    ShowOptionsAndPress(false, [](TOptionsForm& dialog) {
        dialog.GeneralPage->LoadAtStartupCheckBox->SetChecked(true);
        dialog.GeneralPage->EnableTrayIconCheckBox->SetChecked(false);
    });
    EXPECT_EQ("<none>", RegString(RunKey, RunValueName));
    EXPECT_TRUE(ReadGeneralOptions().TrayIcon);
    EXPECT_EQ("", center.Codes());
}

TEST_F(Dialogs, OKWritesTheSettingsAndSendsCommand4) {
    TCenterStandIn center("guard");
    ShowOptionsAndPress(true, [](TOptionsForm& dialog) {
        dialog.GeneralPage->LoadAtStartupCheckBox->SetChecked(true);
        dialog.GeneralPage->EnableTrayIconCheckBox->SetChecked(false);
    });
    EXPECT_EQ(ControlCenterRunValue(), RegString(RunKey, RunValueName));
    EXPECT_FALSE(ReadGeneralOptions().TrayIcon);
    // No language listed: the stored one is left alone.
    EXPECT_EQ("<none>", RegString(ProductKeyName, LanguageValueName));
    EXPECT_EQ("4", center.Heard());
}

TEST_F(Dialogs, AboutFitsItsPanelAndItsLinksGoThroughTheShell) {
    std::vector<std::string> opened;
    const TShellOpen saved = ShellOpen;
    ShellOpen = [&opened](HWND, const char* verb, const std::string& file, const std::string&) {
        opened.push_back(std::string(verb != nullptr ? verb : "") + " " + file);
    };
    RECT client{};
    std::string version;
    int clicks = 0;
    TTimerDriver driver([&] {
        auto* dialog = dynamic_cast<TAboutForm*>(controller->ShownDialog());
        if (dialog == nullptr || !IsWindowVisible(dialog->Handle()))
            return false;
        TAboutPanel* panel = nullptr;
        for (HWND child = GetWindow(dialog->Handle(), GW_CHILD); child != nullptr && panel == nullptr;
             child = GetWindow(child, GW_HWNDNEXT))
            panel = dynamic_cast<TAboutPanel*>(TWinControl::FromHandle(child));
        if (panel == nullptr)
            return false;
        if (clicks == 0) {
            GetClientRect(dialog->Handle(), &client);
            version = panel->VersionLabel->Caption();
            for (TLabel* link : {panel->SiteURLLabel, panel->EmailLabel}) {
                PostMessageA(link->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                PostMessageA(link->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            }
        }
        if (++clicks < 5 && opened.size() < 2)
            return false;
        PostMessageA(dialog->CloseButton->Handle(), BM_CLICK, 0, 0);
        return true;
    });
    controller->ShowAbout();
    ShellOpen = saved;
    EXPECT_EQ(429, client.right);
    EXPECT_EQ(231, client.bottom);
    EXPECT_EQ("Version 1.5", version);
    EXPECT_EQ((std::vector<std::string>{"open " + std::string(SiteAddress) + "?ref=Glazlo1.5",
                                        "open mailto:" + std::string(ContactAddress)}),
              opened);
}

} // namespace
