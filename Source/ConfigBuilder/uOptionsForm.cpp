#include "uOptionsForm.h"

#include "DialogParts.h"
#include "GeneralOptions.h"
#include "MultiLanguages.h"

namespace {

struct TLayout {
    int PageWidth = 391;
    int PageHeight = 216;
    int OKLeft = 216;
    int CancelLeft = 304;
    int Left = 8;
    int LoadTop = 8;
    int TrayTop = 32;
    int CheckWidth = 377;
    int LanguageLabelTop = 64;
    int LanguageTop = 80;
    int LanguageWidth = 375;
    int NoteTop = 104;
    int NoteHeight = 25;
};
constexpr TLayout Layout;

template <class T> T* Place(TWinControl* parent, int left, int top, int width, int height) {
    T* control = Create<T>(parent, parent);
    control->SetBounds(left, top, width, height);
    return control;
}

} // namespace

TAbstractOptionsFrame::TAbstractOptionsFrame(TComponent* owner, TParent parent)
    : TFrame(owner, parent.At({0, 0, Layout.PageWidth, Layout.PageHeight})) {}

TGeneralOptionsFrame::TGeneralOptionsFrame(TComponent* owner, TParent parent)
    : TAbstractOptionsFrame(owner, parent) {
    SetName("GeneralOptionsFrame");
    LoadAtStartupCheckBox = Place<TCheckBox>(this, Layout.Left, Layout.LoadTop, Layout.CheckWidth, 17);
    LoadAtStartupCheckBox->SetName("LoadAtStartupCheckBox");
    LoadAtStartupCheckBox->SetCaption("Load at startup");
    EnableTrayIconCheckBox = Place<TCheckBox>(this, Layout.Left, Layout.TrayTop, Layout.CheckWidth, 17);
    EnableTrayIconCheckBox->SetName("EnableTrayIconCheckBox");
    EnableTrayIconCheckBox->SetCaption("Enable tray icon");
    LanguageLabel = Place<TLabel>(this, Layout.Left, Layout.LanguageLabelTop, Layout.CheckWidth, 13);
    LanguageLabel->SetName("LanguageLabel");
    LanguageLabel->SetCaption("Language:");
    LanguageComboBox = Create<TComboBox>(this, this, TComboBoxStyle::csDropDownList, true);
    LanguageComboBox->SetName("LanguageComboBox");
    LanguageComboBox->SetBounds(Layout.Left, Layout.LanguageTop, Layout.LanguageWidth, 200);
    LanguageNoteLabel =
        Place<TLabel>(this, Layout.Left, Layout.NoteTop, Layout.CheckWidth, Layout.NoteHeight);
    LanguageNoteLabel->SetName("LanguageNoteLabel");
    LanguageNoteLabel->SetAnchors(akLeft | akTop | akRight);
    // A fixed box: a longer text wraps inside it instead of running out of the dialog.
    LanguageNoteLabel->SetAutoSize(false);
    LanguageNoteLabel->SetWordWrap(true);
    LanguageNoteLabel->SetCaption("Restart program for language's change to take effect");
}

void TGeneralOptionsFrame::Init() {
    Caption = Translate("mid_GOF_Caption", "General");
    LoadAtStartupCheckBox->SetCaption(Translate("GOF_LoadAtStartup", "Load at startup"));
    EnableTrayIconCheckBox->SetCaption(Translate("GOF_EnableTrayIcon", "Enable tray icon"));

    const TGeneralOptions options = ReadGeneralOptions();
    EnableTrayIconCheckBox->Silently([&] { EnableTrayIconCheckBox->SetChecked(options.TrayIcon); });
    LoadAtStartupCheckBox->Silently([&] { LoadAtStartupCheckBox->SetChecked(options.LoadAtStartup); });
    shownLoadAtStartup_ = options.LoadAtStartup;

    LanguageComboBox->Clear();
    const TLanguages* languages = GetLanguages();
    if (languages == nullptr)
        return;
    for (int i = 0; i < languages->Count(); ++i) {
        const TLanguage* language = languages->Get(Variant(i));
        LanguageComboBox->Add(language->GetDisplayName(), const_cast<TLanguage*>(language));
    }
    // The list sorts itself: the stored language's place is known only now.
    for (int i = 0; i < LanguageComboBox->Count(); ++i)
        if (static_cast<const TLanguage*>(LanguageComboBox->Object(i))->Id == options.Language)
            LanguageComboBox->SetItemIndex(i);
}

void TGeneralOptionsFrame::Apply() {
    std::optional<std::string> language;
    if (const int index = LanguageComboBox->ItemIndex(); index >= 0)
        language = static_cast<const TLanguage*>(LanguageComboBox->Object(index))->Id;
    // The Run value is rewritten only when the user changed the box: a value that names GlazloCenter
    // in a form of its own (quoted, with arguments, expandable) stays as it is.
    std::optional<bool> loadAtStartup;
    if (LoadAtStartupCheckBox->Checked() != shownLoadAtStartup_)
        loadAtStartup = LoadAtStartupCheckBox->Checked();
    WriteGeneralOptions(loadAtStartup, EnableTrayIconCheckBox->Checked(), language);
}

TOptionsForm::TOptionsForm(TComponent* owner) : TForm(owner, "TOptionsForm") {
    SetName("OptionsForm");
    SetUpDialog(*this, Translate("OptionsForm_Caption", "Options"));
    CommandPanel = AddCommandPanel(*this);
    OKButton = AddCommandButton(CommandPanel, "OKButton", Layout.OKLeft,
                                Translate("OptionsForm_OKCommand", "OK"), mrOk);
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](TComponent*) { OKButtonClick(); };
    CancelButton = AddCommandButton(CommandPanel, "CancelButton", Layout.CancelLeft,
                                    Translate("OptionsForm_CancelCommand", "Cancel"), mrCancel);
    CancelButton->Cancel = true;

    GeneralPage = Create<TGeneralOptionsFrame>(this, this);
    GeneralPage->Init();
    GeneralPage->Show();
    OnDestroy = [this](TComponent*) { FormDestroy(); };
}

void TOptionsForm::OKButtonClick() {
    GeneralPage->Apply();
}

void TOptionsForm::FormDestroy() {
    if (GeneralPage != nullptr)
        GeneralPage->Done();
}
