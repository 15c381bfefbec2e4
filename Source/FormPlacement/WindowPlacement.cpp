#include "WindowPlacement.h"

#include "Application.h"
#include "Forms.h"
#include "PlacementStrings.h"
#include "Screen.h"

#include <climits>
#include <cstdio>

namespace {

constexpr char FlagsValue[] = "Flags";
constexpr char ShowCmdValue[] = "ShowCmd";
constexpr char PixelsValue[] = "PixelsPerInch";
constexpr char MinMaxPosValue[] = "MinMaxPos";
constexpr char NormPosValue[] = "NormPos";

std::string FourNumbers(long a, long b, long c, long d) {
    char text[64];
    std::snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", a, b, c, d);
    return text;
}

// Word n of a stored position as a number; fallback for a missing or non-numeric word.
long NumberWord(int n, const std::string& text, long fallback) {
    const auto number = ParseDecimal(NthWord(n, text, PositionDelimiters));
    return number && *number >= LONG_MIN && *number <= LONG_MAX ? static_cast<long>(*number) : fallback;
}

WINDOWPLACEMENT CurrentPlacement(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    return placement;
}

TWindowState StateOfShowCmd(int showCmd, TWindowState fallback) {
    switch (showCmd) {
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_RESTORE:
        return TWindowState::wsNormal;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        return TWindowState::wsMinimized;
    case SW_SHOWMAXIMIZED:
        return TWindowState::wsMaximized;
    default:
        return fallback;
    }
}

bool IsMainForm(const TForm* form) {
    return Application().MainForm() == form || Application().MainForm() == nullptr;
}

void LoadPosition(TForm* form, TPlacementStore* store, const std::string& section,
                  WINDOWPLACEMENT& placement) {
    placement.flags =
        static_cast<UINT>(StoreReadInt(store, section, FlagsValue, static_cast<int>(placement.flags)));
    const std::string minMax = ReadScreenValue(store, section, MinMaxPosValue);
    if (!minMax.empty()) {
        placement.ptMinPosition = {NumberWord(1, minMax, 0), NumberWord(2, minMax, 0)};
        placement.ptMaxPosition = {NumberWord(3, minMax, 0), NumberWord(4, minMax, 0)};
    }
    const std::string normal = ReadScreenValue(store, section, NormPosValue);
    if (!normal.empty()) {
        RECT& rect = placement.rcNormalPosition;
        rect.left = NumberWord(1, normal, form->Left());
        rect.top = NumberWord(2, normal, form->Top());
        rect.right = NumberWord(3, normal, form->Left() + form->Width());
        rect.bottom = NumberWord(4, normal, form->Top() + form->Height());
    }
    const int pixels = StoreReadInt(store, section, PixelsValue, Screen().PixelsPerInch());
    if ((minMax.empty() && normal.empty()) || pixels != Screen().PixelsPerInch())
        return;
    RECT& rect = placement.rcNormalPosition;
    const TBorderStyle border = form->BorderStyle();
    if (border != TBorderStyle::bsSizeable && border != TBorderStyle::bsSizeToolWin) {
        // A fixed-size form never changes size from the store.
        rect.right = rect.left + form->Width();
        rect.bottom = rect.top + form->Height();
    }
    // A damaged rectangle with no height would leave the form without one.
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const TPosition position = form->Position();
    if (position == TPosition::poScreenCenter || position == TPosition::poDesktopCenter)
        form->SetPosition(TPosition::poDesigned);
    SetWindowPlacement(form->Handle(), &placement);
}

// Answers false when the form is left to minimise itself later.
bool LoadState(TForm* form, TPlacementStore* store, const std::string& section) {
    TWindowState fallback = TWindowState::wsNormal;
    if (IsMainForm(form) && form->Position() == TPosition::poDefault)
        fallback = TWindowState::wsMaximized;
    const TWindowState state = StateOfShowCmd(StoreReadInt(store, section, ShowCmdValue, 0), fallback);
    if (state == TWindowState::wsMinimized && IsMainForm(form)) {
        // The main form minimises once it is shown; restoring must not show it now.
        form->SetWindowStateField(TWindowState::wsNormal);
        PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return false;
    }
    form->SetWindowState(state);
    return true;
}

} // namespace

void WriteWindowPlacement(TForm* form, TPlacementStore* store, const std::string& section) {
    WINDOWPLACEMENT placement = CurrentPlacement(form->Handle());
    const TForm* mainForm = Application().MainForm();
    if (mainForm == form && IsIconic(mainForm->Handle()))
        placement.showCmd = SW_SHOWMINIMIZED;
    StoreWriteInt(store, section, FlagsValue, static_cast<int>(placement.flags));
    StoreWriteInt(store, section, ShowCmdValue, static_cast<int>(placement.showCmd));
    StoreWriteInt(store, section, PixelsValue, Screen().PixelsPerInch());
    WriteScreenValue(store, section, MinMaxPosValue,
                     FourNumbers(placement.ptMinPosition.x, placement.ptMinPosition.y,
                                 placement.ptMaxPosition.x, placement.ptMaxPosition.y));
    const RECT& rect = placement.rcNormalPosition;
    WriteScreenValue(store, section, NormPosValue, FourNumbers(rect.left, rect.top, rect.right, rect.bottom));
}

void ReadWindowPlacement(TForm* form, TPlacementStore* store, const std::string& section, bool loadState,
                         bool loadPosition) {
    if (!loadState && !loadPosition)
        return;
    WINDOWPLACEMENT placement = CurrentPlacement(form->Handle());
    if (!IsWindowVisible(form->Handle()))
        placement.showCmd = SW_HIDE;
    if (loadPosition)
        LoadPosition(form, store, section, placement);
    if (loadState && !LoadState(form, store, section))
        return;
    form->Repaint();
}
