#include "uQuendaWindowsDetailPanel.h"

#include "MultiLanguages.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

namespace {

constexpr SIZE kFrame{218, 93};
constexpr char kMemoFont[] = "MS Sans Serif";
constexpr int kMemoFontHeight = -13;

} // namespace

TQuendaWindowsDetailPanel::TQuendaWindowsDetailPanel() {
    SetBounds(0, 0, kFrame.cx, kFrame.cy);
    Memo = Create<TMemo>(this);
    Memo->SetParent(this);
    Memo->SetAlign(TAlign::alClient);
    Memo->SetReadOnly(true);
    Memo->SetColor(SysColor(COLOR_BTNFACE));
    Memo->Font().SetName(kMemoFont);
    Memo->Font().SetHeight(kMemoFontHeight);
}

void TQuendaWindowsDetailPanel::Localize() {
    TAbstractDetailPanel::Localize();
    // The translation's line ends become the memo's lines.
    std::string text = Translate("AWDP_Memo", Memo->Text());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    Memo->SetLines(lines);
}
