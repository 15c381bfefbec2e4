#include "uQuendaWindowsDetailPanel.h"

#include "MultiLanguages.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

#include <string>

namespace {

constexpr SIZE kFrame{218, 93};
constexpr char kMemoFont[] = "MS Sans Serif";
constexpr int kMemoFontHeight = -13;

// The translation's line ends (LF, or CR LF) as the memo's: each line shown once, with no stray
// carriage return.
std::string WindowsLineEnds(const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n')
            lines += '\r';
        lines += text[i];
    }
    return lines;
}

} // namespace

TQuendaWindowsDetailPanel::TQuendaWindowsDetailPanel(TParent parent)
    : TAbstractDetailPanel(parent.At({0, 0, kFrame.cx, kFrame.cy})) {
    Memo = Create<TMemo>(this, this);
    Memo->SetAlign(TAlign::alClient);
    Memo->SetReadOnly(true);
    Memo->SetColor(SysColor(COLOR_BTNFACE));
    Memo->Font().SetName(kMemoFont);
    Memo->Font().SetHeight(kMemoFontHeight);
}

void TQuendaWindowsDetailPanel::Localize() {
    TAbstractDetailPanel::Localize();
    Memo->SetText(WindowsLineEnds(Translate("AWDP_Memo", Memo->Text(), TTextKind::HelpText)));
}
