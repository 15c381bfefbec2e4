#include "Application.h"
#include "FormTestSupport.h"
#include "TestMainForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the first pop-up menu window that opens shows; the timer closes it again.
struct TPopupWatch {
    static inline std::vector<std::string> Items;
    static inline int Highlighted = -1;
    static inline bool Seen = false;

    TPopupWatch() {
        Items.clear();
        Highlighted = -1;
        Seen = false;
        timer_ = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            const HWND popup = FindWindowA("#32768", nullptr);
            if (popup == nullptr || !IsWindowVisible(popup) || Seen)
                return;
            const auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
            for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
                char text[128] = {};
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
                Items.emplace_back(text);
                if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) != 0)
                    Highlighted = i;
            }
            Seen = true;
            EndMenu();
        });
    }
    ~TPopupWatch() { KillTimer(nullptr, timer_); }
    TPopupWatch(const TPopupWatch&) = delete;
    TPopupWatch& operator=(const TPopupWatch&) = delete;

private:
    UINT_PTR timer_ = 0;
};

const std::vector<std::string> kFileItems{"Save\tCtrl+S", "", "Exit"};
const std::vector<std::string> kRuleItems{"Add rule\tCtrl+A", "Delete rule\tCtrl+D"};

void Press(WORD key) {
    SendKeys({{key, true}, {key, false}});
}

TEST(MenuBar, ASeparatorIsEightPixelsWide) {
    TTestMainForm main;
    RECT r{};
    ASSERT_TRUE(SendMessageA(main.Tools->Handle(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(8, r.right - r.left);
    EXPECT_EQ(1, main.Separator->Index());
}

TEST(MenuBar, AToolButtonsTooltipIsItsActionsHint) {
    TTestMainForm main;
    main.Add.SetHint("Add new rule");
    char text[80] = {};
    NMTBGETINFOTIPA tip{};
    tip.hdr.hwndFrom = main.Tools->Handle();
    tip.hdr.idFrom = static_cast<UINT_PTR>(main.Tools->ControlId());
    tip.hdr.code = TBN_GETINFOTIPA;
    tip.pszText = text;
    tip.cchTextMax = sizeof(text);
    tip.iItem = main.Tools->Buttons(2)->Command();
    // The tool bar asks the window it was made in.
    SendMessageA(GetParent(main.Tools->Handle()), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ("Add new rule", text);
}

TEST(MenuBar, PressingAGroupButtonOpensAPopupWithTheGroupsItems) {
    TTestMainForm main;
    ASSERT_TRUE(MakeForeground(main.Form));
    const RECT r = main.FileButton->BoundsRect();
    TPopupWatch watch;
    PostMessageA(main.MenuBar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    PostMessageA(main.MenuBar->Handle(), WM_LBUTTONUP, 0,
                 MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_TRUE(PumpApplicationUntil([] { return TPopupWatch::Seen; }));
    EXPECT_EQ(kFileItems, TPopupWatch::Items);
}

TEST(MenuBar, AltAndTheLetterOpenTheMatchingDropDown) {
    TTestMainForm main;
    ASSERT_TRUE(MakeForeground(main.Form));
    TPopupWatch watch;
    SendKeys({{VK_MENU, true}, {'F', true}});
    ASSERT_TRUE(PumpApplicationUntil([] { return TPopupWatch::Seen; }));
    SendKeys({{'F', false}, {VK_MENU, false}});
    Application().ProcessMessages();
    EXPECT_EQ(kFileItems, TPopupWatch::Items);
    EXPECT_TRUE(IsWindowEnabled(main.Form.Handle()));

    // The letter of a disabled group opens nothing.
    main.RuleMenu.OnUpdate = [](TCommandAction& action) { action.Enabled = false; };
    Application().Idle();
    TPopupWatch disabled;
    EXPECT_FALSE(main.MenuBar->TrackAccelerator('R'));
    EXPECT_FALSE(TPopupWatch::Seen);
}

TEST(MenuBar, ItemsFollowTheirActionsWhenTheMenuOpens) {
    TTestMainForm main;
    main.Save.OnUpdate = [](TCommandAction& action) { action.Enabled = false; };
    main.FileButton->MenuItem()->Handle();
    const HMENU menu = main.FileButton->MenuItem()->Handle();
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
    EXPECT_TRUE(info.fState & MFS_GRAYED);
    // Items with an image draw it themselves, in the size of the group's images.
    info.fMask = MIIM_BITMAP | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
    EXPECT_EQ(HBMMENU_CALLBACK, info.hbmpItem);
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = info.wID;
    EXPECT_TRUE(SendMessageA(main.MenuBar->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(16u, measure.itemWidth);
    ASSERT_TRUE(GetMenuItemInfoA(menu, 2, TRUE, &info));
    EXPECT_EQ(nullptr, info.hbmpItem);
    // The tool button of the same action follows at the next idle update.
    Application().Idle();
    EXPECT_FALSE(
        SendMessageA(main.Tools->Handle(), TB_ISBUTTONENABLED, main.Tools->Buttons(0)->Command(), 0));
    // Opening the menu again shows the state the action has by then.
    main.Save.OnUpdate = nullptr;
    main.Save.Enabled = true;
    SendMessageA(main.MenuBar->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    info.fMask = MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
    EXPECT_FALSE(info.fState & MFS_GRAYED);

    // An item whose action is invisible stays out of the menu until it is visible again.
    main.Exit.OnUpdate = [](TCommandAction& action) { action.Visible = false; };
    EXPECT_EQ(2, GetMenuItemCount(main.FileButton->MenuItem()->Handle()));
    main.Exit.OnUpdate = [](TCommandAction& action) { action.Visible = true; };
    EXPECT_EQ(3, GetMenuItemCount(main.FileButton->MenuItem()->Handle()));
}

// A menu bar's button is an ordinary button that drops its menu: no drop-down arrow.
TEST(MenuBar, AMenuButtonShowsNoDropDownArrow) {
    TTestMainForm main;
    TBBUTTON button{};
    ASSERT_TRUE(SendMessageA(main.MenuBar->Handle(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(main.FileButton->Command(), button.idCommand);
    EXPECT_EQ(0, button.fsStyle & (BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN));
}

// F10 reaches the menu bar, Right moves to the next menu, Down drops it with its first item
// highlighted.
TEST(MenuBar, F10AndTheArrowsOpenAMenuFromTheKeyboard) {
    TTestMainForm main;
    ASSERT_TRUE(MakeForeground(main.Form));
    TPopupWatch watch;
    Press(VK_F10);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    ASSERT_TRUE(PumpApplicationUntil([] { return TPopupWatch::Seen; }));
    EXPECT_EQ(kRuleItems, TPopupWatch::Items);
    EXPECT_EQ(0, TPopupWatch::Highlighted);
    // The menu has closed: the bar has left the keyboard's hold.
    Application().ProcessMessages();
    EXPECT_EQ(-1, SendMessageA(main.MenuBar->Handle(), TB_GETHOTITEM, 0, 0));
}

// A lone Alt reaches the menu bar too; Left goes round to the last menu and Enter drops it.
TEST(MenuBar, ALoneAltReachesTheMenuBarAndEnterOpensTheHotMenu) {
    TTestMainForm main;
    ASSERT_TRUE(MakeForeground(main.Form));
    TPopupWatch watch;
    Press(VK_MENU);
    Press(VK_LEFT);
    Press(VK_RETURN);
    ASSERT_TRUE(PumpApplicationUntil([] { return TPopupWatch::Seen; }));
    EXPECT_EQ(kRuleItems, TPopupWatch::Items);
}

// Right in a dropped menu closes it and drops the next menu of the bar.
TEST(MenuBar, RightInAnOpenMenuOpensTheNextMenu) {
    TTestMainForm main;
    ASSERT_TRUE(MakeForeground(main.Form));
    TPopupWatch watch;
    SendKeys({{VK_MENU, true}, {'F', true}, {'F', false}, {VK_MENU, false}});
    Press(VK_RIGHT);
    ASSERT_TRUE(PumpApplicationUntil([] { return TPopupWatch::Seen; }));
    EXPECT_EQ(kRuleItems, TPopupWatch::Items);
}

} // namespace
