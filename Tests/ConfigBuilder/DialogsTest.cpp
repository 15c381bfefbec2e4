#include "Application.h"
#include "AppSpecificConsts.h"
#include "CenterStandIn.h"
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
        // The note is a fixed box that wraps a longer text.
        TLabel* note = dialog.GeneralPage->LanguageNoteLabel;
        note->SetCaption("Restart the program for the change of the language to take effect, "
                         "both the editor and the program in the notification area");
        EXPECT_EQ(377, note->Width());
        EXPECT_EQ(25, note->Height());
        EXPECT_EQ(static_cast<LONG_PTR>(SS_LEFT), GetWindowLongPtrA(note->Handle(), GWL_STYLE) & SS_TYPEMASK);
    }
    ApplicationFolder = "C:\\Program Files\\Glazlo\\";
    RegSetKeyValueA(HKEY_CURRENT_USER, RunKey, RunValueName, REG_SZ,
                    "\"C:\\Program Files\\Glazlo\\GlazloCenter.exe\"", 43);
    DWORD off = 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, CommandCenterKey, TrayIconValueName, REG_DWORD, &off, sizeof off);
    TOptionsForm dialog;
    EXPECT_TRUE(dialog.GeneralPage->LoadAtStartupCheckBox->Checked());
    EXPECT_FALSE(dialog.GeneralPage->EnableTrayIconCheckBox->Checked());
    EXPECT_EQ("Load at startup", dialog.GeneralPage->LoadAtStartupCheckBox->Caption());
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

// Lists languages in the program's list for good: it runs after the tests that want none.
TEST_F(Dialogs, TheStoredLanguageIsSelectedAndTheChosenOneIsSaved) {
    const std::string folder = ApplicationFolder + "Languages\\";
    // A folder of an earlier run with the same process id may be there already.
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));
    for (const auto& [id, name] : {std::pair{"de", "German"}, std::pair{"fr", "French"}})
        WriteFileText(folder + id + ".lng", std::string(R"(<?xml version="1.0"?><language id=")") + id +
                                                R"(" name=")" + name + R"("><strings/></language>)");
    ScanLanguages();
    RegSetKeyValueA(HKEY_CURRENT_USER, ProductKeyName, LanguageValueName, REG_SZ, "de", 3);
    TOptionsForm dialog;
    TComboBox* list = dialog.GeneralPage->LanguageComboBox;
    ASSERT_EQ(2, list->Count());
    EXPECT_EQ(1, list->ItemIndex());
    EXPECT_EQ("German", list->Text());
    // The first of the list is a language like any other.
    list->SetItemIndex(0);
    dialog.GeneralPage->Apply();
    EXPECT_EQ("fr", RegString(ProductKeyName, LanguageValueName));
}

// The Run value as the registry holds it: its kind and its bytes.
std::pair<DWORD, std::string> RawRunValue() {
    char bytes[512] = {};
    DWORD size = sizeof bytes;
    DWORD kind = REG_NONE;
    if (RegGetValueA(HKEY_CURRENT_USER, RunKey, RunValueName, RRF_RT_ANY | RRF_NOEXPAND, &kind, bytes,
                     &size) != ERROR_SUCCESS)
        return {REG_NONE, "<none>"};
    return {kind, std::string(bytes, size)};
}

TEST_F(Dialogs, OKKeepsARunValueStoredAsAnExpandableOrMultiString) {
    ApplicationFolder = "C:\\Glazlo\\";
    SetEnvironmentVariableA("GLZ_TEST_FOLDER", "C:\\Glazlo");
    using namespace std::string_literals;
    const std::pair<DWORD, std::string> stored[] = {
        {REG_EXPAND_SZ, "C:\\Glazlo\\GlazloCenter.exe\0"s},
        {REG_EXPAND_SZ, "%GLZ_TEST_FOLDER%\\GlazloCenter.exe\0"s},
        {REG_MULTI_SZ, "\"C:\\Glazlo\\GlazloCenter.exe\"\0/tray\0\0"s},
    };
    for (const auto& [kind, bytes] : stored) {
        RegSetKeyValueA(HKEY_CURRENT_USER, RunKey, RunValueName, kind, bytes.data(),
                        static_cast<DWORD>(bytes.size()));
        bool shownTicked = false;
        ShowOptionsAndPress(true, [&](TOptionsForm& dialog) {
            shownTicked = dialog.GeneralPage->LoadAtStartupCheckBox->Checked();
        });
        EXPECT_TRUE(shownTicked) << bytes;
        EXPECT_EQ(std::make_pair(kind, bytes), RawRunValue()) << bytes;
    }
    SetEnvironmentVariableA("GLZ_TEST_FOLDER", nullptr);
}

TEST_F(Dialogs, AboutFitsItsPanelAndItsLinksGoThroughTheShell) {
    std::vector<std::string> opened;
    const TShellOpen saved = ShellOpen;
    ShellOpen = [&opened](HWND, const char* verb, const std::string& file, const std::string&) {
        opened.push_back(std::string(verb != nullptr ? verb : "") + " " + file);
    };
    const std::string savedTitle = Application().Title();
    Application().SetTitle("Glazlo");
    RECT client{};
    std::string caption;
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
            caption = dialog->Caption();
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
    Application().SetTitle(savedTitle);
    EXPECT_EQ("Glazlo About", caption);
    EXPECT_EQ(429, client.right);
    EXPECT_EQ(231, client.bottom);
    EXPECT_EQ("Version 1.5", version);
    EXPECT_EQ((std::vector<std::string>{"open " + std::string(SiteAddress) + "?ref=Glazlo1.5",
                                        "open mailto:" + std::string(ContactAddress)}),
              opened);
}

} // namespace
