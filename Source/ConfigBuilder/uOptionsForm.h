#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "Frame.h"
#include "StdCtrls.h"

#include <string>

// The base of an options page.
class TAbstractOptionsFrame : public TFrame {
public:
    TAbstractOptionsFrame(TComponent* owner, TParent parent);
    std::string Caption;

    virtual void Init() {}
    virtual void Done() {}
    virtual void Apply() {}
    virtual std::string GetCaption() { return Caption; }
};

// Start at logon, the tray icon and the language.
class TGeneralOptionsFrame : public TAbstractOptionsFrame {
public:
    TGeneralOptionsFrame(TComponent* owner, TParent parent);

    TCheckBox* LoadAtStartupCheckBox = nullptr;
    TCheckBox* EnableTrayIconCheckBox = nullptr;
    TLabel* LanguageLabel = nullptr;
    TComboBox* LanguageComboBox = nullptr;
    TLabel* LanguageNoteLabel = nullptr;

    // Reads the settings into the controls.
    void Init() override;
    // Writes the controls' settings.
    void Apply() override;

private:
    // The start at logon as Init read it.
    bool shownLoadAtStartup_ = false;
};

// The modal options dialog; OK writes the page's settings.
class TOptionsForm : public TForm {
public:
    explicit TOptionsForm(TComponent* owner = nullptr);

    TPanel* CommandPanel = nullptr;
    TButton* OKButton = nullptr;
    TButton* CancelButton = nullptr;
    TGeneralOptionsFrame* GeneralPage = nullptr;

private:
    void OKButtonClick();
    void FormDestroy();
};
