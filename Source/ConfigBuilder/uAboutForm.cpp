#include "uAboutForm.h"

#include "Application.h"
#include "DialogParts.h"
#include "MultiLanguages.h"
#include "ShellOpen.h"

namespace {

struct TLayout {
    int PanelWidth = 429;
    int PanelHeight = 190;
    int CloseLeft = 304;
};
constexpr TLayout Layout;

constexpr COLORREF LinkColor = RGB(0, 0, 255);

TLabel* PlaceLabel(TWinControl* parent, const char* name, int left, int top, int width, int height) {
    TLabel* label = Create<TLabel>(parent, parent);
    label->SetName(name);
    label->SetBounds(left, top, width, height);
    return label;
}

void MakeLink(TLabel* label) {
    label->Font().SetName("MS Sans Serif");
    label->Font().SetHeight(-13);
    label->Font().SetColor(LinkColor);
    label->Font().SetStyle(fsUnderline);
    label->SetCursor(LoadCursor(nullptr, IDC_HAND));
}

} // namespace

TAboutPanel::TAboutPanel(TParent parent)
    : TAbstractDetailPanel(parent.At({0, 0, Layout.PanelWidth, Layout.PanelHeight})) {
    SetName("AboutPanel");
    MainPanel = Create<TPanel>(this, this);
    MainPanel->SetName("MainPanel");
    MainPanel->SetBevelOuter(TBevelCut::bvNone);
    MainPanel->SetAlign(TAlign::alClient);
    MainPanel->Font().SetName("Arial");
    MainPanel->Font().SetHeight(-13);

    LogoImage = Create<TImage>(MainPanel, MainPanel);
    LogoImage->SetName("LogoImage");
    LogoImage->SetBounds(8, 8, 97, 73);
    LogoImage->Transparent = true;
    LogoImage->LoadFromResource("LOGO");

    ProgramNameLabel = PlaceLabel(MainPanel, "ProgramNameLabel", 104, 8, 324, 25);
    ProgramNameLabel->SetAlignment(TAlignment::taCenter);
    ProgramNameLabel->Font().SetName("Arial");
    ProgramNameLabel->Font().SetHeight(-21);
    ProgramNameLabel->Font().SetStyle(fsBold);
    VersionLabel = PlaceLabel(MainPanel, "VersionLabel", 120, 37, 308, 20);
    CopyrightLabel = PlaceLabel(MainPanel, "CopyrightLabel", 120, 59, 308, 20);
    AllRightsLabel = PlaceLabel(MainPanel, "AllRightsLabel", 120, 80, 308, 20);
    for (TLabel* label : {ProgramNameLabel, VersionLabel, CopyrightLabel, AllRightsLabel})
        label->SetAnchors(akLeft | akTop | akRight);

    SiteURLLabel = PlaceLabel(MainPanel, "SiteURLLabel", 119, 102, 300, 17);
    MakeLink(SiteURLLabel);
    SiteURLLabel->OnClick = [this](TComponent*) { SiteURLLabelClick(); };
    EmailLabel = PlaceLabel(MainPanel, "EmailLabel", 119, 121, 300, 17);
    MakeLink(EmailLabel);
    EmailLabel->OnClick = [this](TComponent*) { EmailLabelClick(); };
}

void TAboutPanel::DoUpdateControls() {
    ProgramNameLabel->SetCaption(Translate("AppCBTitle", "%appname%"));
    VersionLabel->SetCaption(Translate("AboutForm_Version", "Version") + " " + ProductVersion);
    CopyrightLabel->SetCaption(Translate("AboutForm_Copyright", "Copyright (C) Glazlo developers"));
    AllRightsLabel->SetCaption(Translate("AboutForm_AllRights", "All Rights Reserved"));
    SiteURLLabel->SetCaption(SiteAddress);
    EmailLabel->SetCaption(ContactAddress);
}

void TAboutPanel::SiteURLLabelClick() {
    ShellOpen(nullptr, "open", std::string(SiteAddress) + "?ref=Glazlo" + ProductVersion, "");
}

void TAboutPanel::EmailLabelClick() {
    ShellOpen(nullptr, "open", std::string("mailto:") + ContactAddress, "");
}

TAboutForm::TAboutForm(TComponent* owner) : TForm(owner, "TAboutForm") {
    SetName("AboutForm");
    SetUpDialog(*this, Application().Title() + " " + Translate("AboutForm_Caption", "About"));
    CommandPanel = AddCommandPanel(*this);
    CloseButton = AddCommandButton(CommandPanel, "CloseButton", Layout.CloseLeft,
                                   Translate("AboutForm_CloseCommand", "Close"), mrOk);
    CloseButton->SetDefault(true);
    CloseButton->Cancel = true;
}

void RegisterAboutPanel() {
    RegisterDetailPanelClass(DetailPanelClassOf<TAboutPanel>(), "AboutPanel");
}
