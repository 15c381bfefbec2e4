#pragma once

#include "AbstractDetailPanel.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <string>

// The product's placeholders of a web site and a contact address (example domains).
inline constexpr const char* ProductVersion = "1.5";
inline constexpr const char* SiteAddress = "https://glazlo.example.org/";
inline constexpr const char* ContactAddress = "support@glazlo.example.org";

// The body of the about dialog: name, version, copyright and the two links.
class TAboutPanel : public TAbstractDetailPanel {
public:
    explicit TAboutPanel(TParent parent);

    TPanel* MainPanel = nullptr;
    TImage* LogoImage = nullptr;
    TLabel* ProgramNameLabel = nullptr;
    TLabel* VersionLabel = nullptr;
    TLabel* CopyrightLabel = nullptr;
    TLabel* AllRightsLabel = nullptr;
    TLabel* SiteURLLabel = nullptr;
    TLabel* EmailLabel = nullptr;

    void SiteURLLabelClick();
    void EmailLabelClick();

protected:
    void DoUpdateControls() override;
};

// The modal about dialog; the root places the "AboutPanel" in it.
class TAboutForm : public TForm {
public:
    explicit TAboutForm(TComponent* owner = nullptr);

    TPanel* CommandPanel = nullptr;
    TButton* CloseButton = nullptr;
};

// "AboutPanel"; the panel registry must exist.
void RegisterAboutPanel();
