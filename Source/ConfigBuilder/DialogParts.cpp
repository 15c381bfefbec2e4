#include "DialogParts.h"

namespace {
constexpr int CommandPanelHeight = 41;
constexpr int ButtonTop = 8;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
} // namespace

void SetUpDialog(TForm& dialog, const std::string& caption) {
    dialog.SetBorderStyle(TBorderStyle::bsDialog);
    dialog.SetBorderIcons(biSystemMenu);
    dialog.SetPosition(TPosition::poMainFormCenter);
    dialog.SetClientSize(DialogClientWidth, DialogClientHeight);
    dialog.SetCaption(caption);
}

TPanel* AddCommandPanel(TForm& dialog) {
    auto* panel = Create<TPanel>(&dialog, &dialog);
    panel->SetName("CommandPanel");
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->SetHeight(CommandPanelHeight);
    panel->SetAlign(TAlign::alBottom);
    return panel;
}

TButton* AddCommandButton(TPanel* panel, const char* name, int left, const std::string& caption,
                          TModalResult result) {
    auto* button = Create<TButton>(panel, panel);
    button->SetName(name);
    button->SetBounds(left, ButtonTop, ButtonWidth, ButtonHeight);
    button->SetAnchors(akTop | akRight);
    button->SetCaption(caption);
    button->ModalResult = result;
    return button;
}
