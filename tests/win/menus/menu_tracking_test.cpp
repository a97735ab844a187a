#include "menus_fixture.h"
#include "win/menus/menu_layout.h"

using namespace menus_test;
using win::automation::key;
using win::automation::press;
using win::automation::pump;

namespace {

constexpr ULONG_PTR kDataA = 0xA0, kDataSep = 0x5E, kDataB = 0xB0;

// A bar whose "&Picture" popup holds owner-drawn items: 301, a separator, 302.
HMENU make_owner_drawn_bar(HMENU* popup_out) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_OWNERDRAW, 301, reinterpret_cast<LPCSTR>(kDataA));
    AppendMenuA(popup, MF_OWNERDRAW | MF_SEPARATOR, 0, reinterpret_cast<LPCSTR>(kDataSep));
    AppendMenuA(popup, MF_OWNERDRAW, 302, reinterpret_cast<LPCSTR>(kDataB));
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(popup), "&Picture");
    *popup_out = popup;
    return bar;
}

// Text items 20 pixels high and 100 wide; the separator 6 high.
void measure_owner_drawn_items() {
    recorder().handler = [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
        if (msg != WM_MEASUREITEM) return false;
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        mis->itemWidth = 100;
        mis->itemHeight = mis->itemData == kDataSep ? 6 : 20;
        result = TRUE;
        return true;
    };
}

struct Draw {
    UINT msg, id, action, state;
    ULONG_PTR data;
    bool operator==(const Draw&) const = default;
};

std::vector<Draw> draws() {
    std::vector<Draw> out;
    for (const DrawRequest& d : recorder().draws)
        out.push_back({d.msg, d.item_id, d.action, d.state, d.data});
    return out;
}

void alt_letter(HWND w, UINT vk, char ch) {
    key(w, VK_MENU, true);
    press(w, vk, ch);
}

class MenuTracking : public MenuTest {};

TEST_F(MenuTracking, AltFOpensFileAndDownReturnChoosesTheNextItem) {
    HMENU bar = make_bar();
    HMENU file = GetSubMenu(bar, 0);
    HWND w = owner(bar);
    recorder().log.clear();
    std::vector<HWND> shown;
    when_menu_opens([&](HWND modal) {
        shown = open_popups();
        EXPECT_EQ(GetWindowLongPtrA(modal, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(file));
        // The first item is highlighted when the keyboard opens a popup.
        EXPECT_EQ(GetMenuState(file, 101, MF_BYCOMMAND), UINT(MF_HILITE));
        key(w, VK_MENU, false);
        press(w, VK_DOWN);
        press(w, VK_RETURN);
    });
    alt_letter(w, 'F', 'f');
    pump();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(IsWindow(shown[0])) << "the popup is gone after the choice";
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{102}));
    EXPECT_EQ(recorder().messages(
                  {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND}),
              (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP,
                                 WM_COMMAND}));
    for (const auto& r : recorder().log)
        if (r.msg == WM_INITMENUPOPUP) {
            EXPECT_EQ(r.wp, reinterpret_cast<WPARAM>(file));
            EXPECT_EQ(r.lp, 0) << "position 0 on the bar, not the system menu";
        }
    // The highlight moved over the separator from Open to Exit.
    std::vector<UINT> selected;
    for (const auto& r : recorder().log)
        if (r.msg == WM_MENUSELECT && r.lp == reinterpret_cast<LPARAM>(file))
            selected.push_back(LOWORD(r.wp));
    EXPECT_EQ(selected, (std::vector<UINT>{101, 102}));
    EXPECT_EQ(GetMenuState(file, 102, MF_BYCOMMAND), 0u) << "no highlight is left behind";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MenuTracking, EscapeClosesOneLevelAtATimeWithoutACommand) {
    HWND w = owner(make_bar());
    recorder().log.clear();
    size_t popups_after_first_escape = 99;
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);
        press(w, VK_ESCAPE);
        // Still in the menu: the bar keeps the highlight, the popup is gone.
        recorder().handler = [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT&) {
            if (msg == WM_MENUSELECT && lp == 0) popups_after_first_escape = open_popups().size();
            return false;
        };
        press(w, VK_ESCAPE);
    });
    alt_letter(w, 'F', 'f');
    pump();
    EXPECT_EQ(recorder().count(WM_COMMAND), 0);
    EXPECT_EQ(recorder().count(WM_EXITMENULOOP), 1);
    EXPECT_EQ(popups_after_first_escape, 0u);
    EXPECT_TRUE(open_popups().empty());
    EXPECT_TRUE(IsWindow(w));
}

TEST_F(MenuTracking, AltAloneSelectsTheBarAndArrowsMoveAcrossIt) {
    HMENU bar = make_bar();
    HWND w = owner(bar);
    recorder().log.clear();
    when_menu_opens([&](HWND modal) {
        EXPECT_EQ(modal, w) << "no popup is open yet";
        EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE, UINT(MF_HILITE));
        press(w, VK_RIGHT);
        press(w, VK_DOWN);  // opens Edit with its first item highlighted
        press(w, VK_DOWN);
        press(w, VK_RETURN);
    });
    key(w, VK_MENU, true);
    key(w, VK_MENU, false);
    pump();
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{202}));
}

TEST_F(MenuTracking, TheLetterOfAnItemChoosesIt) {
    HWND w = owner(make_bar());
    recorder().log.clear();
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);
        press(w, 'T', 't');
    });
    alt_letter(w, 'E', 'e');
    pump();
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{201}));
}

TEST_F(MenuTracking, OwnerDrawRequestsByKeyboardComeInOrderWithTheirData) {
    HMENU popup;
    HWND w = owner(make_owner_drawn_bar(&popup));
    measure_owner_drawn_items();
    recorder().log.clear();
    recorder().draws.clear();
    when_menu_opens([&](HWND) {
        pump();  // the popup shows before the highlight moves
        key(w, VK_MENU, false);
        press(w, VK_DOWN);
        press(w, VK_ESCAPE);
        press(w, VK_ESCAPE);
    });
    alt_letter(w, 'P', 'p');
    pump();
    const UINT M = WM_MEASUREITEM, D = WM_DRAWITEM, ALL = ODA_DRAWENTIRE, SEL = ODA_SELECT;
    EXPECT_EQ(draws(), (std::vector<Draw>{
                           {M, 301, 0, 0, kDataA},
                           {M, 0, 0, 0, kDataSep},
                           {M, 302, 0, 0, kDataB},
                           {D, 301, ALL, ODS_SELECTED, kDataA},
                           {D, 0, ALL, 0, kDataSep},
                           {D, 302, ALL, 0, kDataB},
                           {D, 301, SEL, 0, kDataA},
                           {D, 302, SEL, ODS_SELECTED, kDataB},
                       }));
    for (const DrawRequest& d : recorder().draws)
        if (d.msg == WM_DRAWITEM) {
            EXPECT_EQ(d.hwnd_item, reinterpret_cast<HWND>(popup));
        }
    // The measured sizes place the items; the platform adds room for a check mark.
    const auto& all = recorder().draws;
    ASSERT_GE(all.size(), 6u);
    EXPECT_EQ(all[3].rect.bottom - all[3].rect.top, 20);
    EXPECT_EQ(all[4].rect.bottom - all[4].rect.top, 6);
    EXPECT_EQ(all[4].rect.top, all[3].rect.bottom);
    EXPECT_EQ(all[3].rect.right - all[3].rect.left, 100 + GetSystemMetrics(SM_CXMENUCHECK) - 1);
    // The measure-first message order: the popup is initialised, then measured.
    std::vector<UINT> order = recorder().messages({WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM});
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), UINT(WM_INITMENUPOPUP));

    // Shown again, the items are drawn again but not measured again.
    recorder().draws.clear();
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);
        press(w, VK_ESCAPE);
        press(w, VK_ESCAPE);
    });
    alt_letter(w, 'P', 'p');
    pump();
    EXPECT_EQ(draws(), (std::vector<Draw>{
                           {D, 301, ALL, ODS_SELECTED, kDataA},
                           {D, 0, ALL, 0, kDataSep},
                           {D, 302, ALL, 0, kDataB},
                       }));
}

TEST_F(MenuTracking, OwnerDrawRequestsByMouseFollowTheHighlight) {
    HMENU popup;
    HWND w = owner(make_owner_drawn_bar(&popup));
    measure_owner_drawn_items();
    recorder().log.clear();
    recorder().draws.clear();
    when_menu_opens([&](HWND menu_window) {
        pump();
        // Items: 301 at y 3..23, the separator 23..29, 302 at 29..49.
        win::automation::mouse_move(menu_window, 20, 35);
        win::automation::mouse_move(menu_window, 20, 25);  // the separator takes no highlight
        win::automation::mouse_move(menu_window, 20, 10);
        win::automation::click(menu_window, 20, 10);
    });
    win::automation::click(w, 10, -5);  // on "&Picture" in the bar
    pump();
    const UINT D = WM_DRAWITEM, ALL = ODA_DRAWENTIRE, SEL = ODA_SELECT;
    std::vector<Draw> got = draws();
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got[0].msg, UINT(WM_MEASUREITEM));
    std::vector<Draw> drawn;
    for (const Draw& d : got)
        if (d.msg == D) drawn.push_back(d);
    EXPECT_EQ(drawn, (std::vector<Draw>{
                         {D, 301, ALL, 0, kDataA},
                         {D, 0, ALL, 0, kDataSep},
                         {D, 302, ALL, 0, kDataB},
                         {D, 302, SEL, ODS_SELECTED, kDataB},
                         {D, 302, SEL, 0, kDataB},
                         {D, 301, SEL, ODS_SELECTED, kDataA},
                     }));
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{301}));
}

TEST_F(MenuTracking, AClickOutsideClosesAndMovingAlongTheBarSwitchesPopups) {
    HMENU bar = make_bar();
    HWND w = owner(bar);
    recorder().log.clear();
    std::vector<HMENU> opened;
    recorder().handler = [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
        if (msg == WM_INITMENUPOPUP) opened.push_back(reinterpret_cast<HMENU>(wp));
        return false;
    };
    const int edit_x = win::menus::label_width("&File") + 2 * win::menus::metrics::kBarPadding + 5;
    when_menu_opens([&](HWND) {
        win::automation::mouse_move(w, edit_x, -5);
        win::automation::click(w, 150, 150);  // client area: outside every menu
    });
    win::automation::click(w, 5, -5);
    pump();
    EXPECT_EQ(opened, (std::vector<HMENU>{GetSubMenu(bar, 0), GetSubMenu(bar, 1)}));
    EXPECT_TRUE(open_popups().empty());
    EXPECT_EQ(recorder().count(WM_COMMAND), 0);
    EXPECT_EQ(recorder().count(WM_LBUTTONDOWN), 0) << "the closing press belongs to the menu";
}

TEST_F(MenuTracking, TheSystemMenuSendsSystemCommands) {
    HWND w = owner(make_bar());
    HMENU sys = GetSystemMenu(w, FALSE);
    AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(sys, MF_STRING, 16, "&About...");
    recorder().log.clear();
    when_menu_opens([&](HWND modal) {
        EXPECT_EQ(GetWindowLongPtrA(modal, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(sys));
        // Restore is grey while the window is not minimised; Minimize is not.
        EXPECT_EQ(GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
        EXPECT_EQ(GetMenuState(sys, SC_MINIMIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
        key(w, VK_MENU, false);
        press(w, 'A', 'a');
    });
    alt_letter(w, VK_SPACE, ' ');
    pump();
    EXPECT_EQ(recorder().commands(WM_SYSCOMMAND), (std::vector<UINT>{16}));
    for (const auto& r : recorder().log)
        if (r.msg == WM_INITMENUPOPUP) {
            EXPECT_EQ(HIWORD(r.lp), 1) << "marked as the system menu";
        }

    recorder().log.clear();
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);
        press(w, 'C', 'c');
    });
    alt_letter(w, VK_SPACE, ' ');
    pump();
    EXPECT_EQ(recorder().commands(WM_SYSCOMMAND), (std::vector<UINT>{SC_CLOSE}));
    EXPECT_FALSE(IsWindow(w)) << "SC_CLOSE closes the window";
}

TEST_F(MenuTracking, TimersTickWhileAMenuIsOpen) {
    HWND w = owner(make_bar());
    SetTimer(w, 7, 40, nullptr);
    int ticks_with_menu_open = 0;
    recorder().handler = [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
        if (msg == WM_TIMER && wp == 7 && open_popups().size() == 1 &&
            ++ticks_with_menu_open == 3) {
            press(w, VK_ESCAPE);
            press(w, VK_ESCAPE);
        }
        return false;
    };
    when_menu_opens([&](HWND) { key(w, VK_MENU, false); });
    DWORD start = GetTickCount();
    alt_letter(w, 'F', 'f');
    pump();
    EXPECT_EQ(ticks_with_menu_open, 3);
    EXPECT_GE(GetTickCount() - start, 120u);
    EXPECT_TRUE(open_popups().empty());
}

TEST_F(MenuTracking, TrackPopupMenuReturnsOrPostsTheCommand) {
    HWND w = owner();
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 41, "First");
    AppendMenuA(m, MF_STRING, 42, "Second");
    const int second_y = 3 + GetSystemMetrics(SM_CYMENU);  // inside the second item
    when_menu_opens([&](HWND menu_window) { win::automation::click(menu_window, 20, second_y); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 100, 0, w, nullptr), 42);
    pump();
    EXPECT_EQ(recorder().count(WM_COMMAND), 0);

    when_menu_opens([&](HWND menu_window) {
        RECT r;
        GetWindowRect(menu_window, &r);
        EXPECT_EQ(r.right, 100) << "TPM_RIGHTALIGN puts the right edge at x";
        win::automation::click(menu_window, 20, 5);
    });
    EXPECT_TRUE(TrackPopupMenu(m, TPM_RIGHTALIGN, 100, 100, 0, w, nullptr));
    pump();
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{41}));

    when_menu_opens([&](HWND) { press(w, VK_ESCAPE); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 100, 100, 0, w, nullptr), 0);
}

TEST_F(MenuTracking, LettersOfOwnerDrawnItemsGoToTheOwner) {
    HMENU popup;
    HWND w = owner(make_owner_drawn_bar(&popup));
    measure_owner_drawn_items();
    auto measure = recorder().handler;
    WPARAM asked = 0;
    recorder().handler = [&](HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        if (msg == WM_MENUCHAR) {
            asked = wp;
            result = MAKELRESULT(2, MNC_EXECUTE);
            return true;
        }
        return measure(h, msg, wp, lp, result);
    };
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);
        press(w, 'Q', 'q');
    });
    alt_letter(w, 'P', 'p');
    pump();
    EXPECT_EQ(LOWORD(asked), 'q');
    EXPECT_EQ(HIWORD(asked), UINT(MF_POPUP));
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{302}));
}

TEST_F(MenuTracking, SubmenusOpenToTheRightAndCloseToTheLeft) {
    HMENU recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, 111, "&1 first.avi");
    AppendMenuA(recent, MF_STRING, 112, "&2 second.avi");
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_POPUP, UINT_PTR(recent), "&Recent");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
    HWND w = owner(bar);
    size_t depth_after_right = 0;
    recorder().handler = [&](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
        if (msg == WM_MENUSELECT && lp == reinterpret_cast<LPARAM>(recent) && LOWORD(wp) == 111 &&
            !depth_after_right)
            depth_after_right = open_popups().size();
        return false;
    };
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);
        press(w, VK_DOWN);   // on "&Recent"
        press(w, VK_RIGHT);  // opens it with "&1 first.avi" highlighted
        press(w, VK_LEFT);   // closes it again
        press(w, 'R', 'r');  // the letter opens it too
        press(w, VK_DOWN);
        press(w, VK_RETURN);
    });
    alt_letter(w, 'F', 'f');
    pump();
    EXPECT_EQ(depth_after_right, 2u);
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{112}));
    int inits = 0;
    for (const auto& r : recorder().log)
        if (r.msg == WM_INITMENUPOPUP && r.wp == reinterpret_cast<WPARAM>(recent)) {
            ++inits;
            EXPECT_EQ(LOWORD(r.lp), 1) << "the submenu's position in its parent";
        }
    EXPECT_EQ(inits, 2);
}

TEST_F(MenuTracking, HoveringAPopupItemOpensItsSubmenuAndAClickThereChooses) {
    HMENU recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, 111, "first");
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_POPUP, UINT_PTR(recent), "&Recent");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
    HWND w = owner(bar);
    const int row = win::menus::plain_item_height();
    size_t popups_on_hover = 0;
    when_menu_opens([&](HWND file_window) {
        win::automation::mouse_move(file_window, 20, 3 + row + row / 2);
        SetTimer(w, 9, 10, nullptr);
        // Once the hover has been handled, click into the submenu it opened.
        recorder().handler = [&, file_window](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
            if (msg != WM_TIMER || wp != 9) return false;
            KillTimer(w, 9);
            popups_on_hover = open_popups().size();
            if (popups_on_hover != 2) {
                press(w, VK_ESCAPE);
                return false;
            }
            HWND sub = open_popups()[1];
            RECT r, f;
            GetWindowRect(sub, &r);
            GetWindowRect(file_window, &f);
            EXPECT_EQ(r.left, f.right - 3) << "beside its parent";
            win::automation::click(sub, 20, 3 + row / 2);
            return false;
        };
    });
    win::automation::click(w, 5, -5);
    pump();
    EXPECT_EQ(popups_on_hover, 2u);
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{111}));
}

TEST_F(MenuTracking, GreyedItemsAreNeverChosen) {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING | MF_GRAYED, 101, "&Open");
    AppendMenuA(file, MF_STRING | MF_DISABLED, 102, "&Close");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
    HWND w = owner(bar);
    const int row = win::menus::plain_item_height();
    when_menu_opens([&](HWND menu_window) {
        key(w, VK_MENU, false);
        press(w, VK_RETURN);
        press(w, 'C', 'c');
        win::automation::click(menu_window, 20, 3 + row / 2);
        press(w, VK_ESCAPE);
        press(w, VK_ESCAPE);
    });
    alt_letter(w, 'F', 'f');
    pump();
    EXPECT_EQ(recorder().count(WM_COMMAND), 0);
    EXPECT_EQ(recorder().count(WM_EXITMENULOOP), 1);
}

TEST_F(MenuTracking, ABarRebuiltAfterTheWindowExistsIsUsedWithoutARedraw) {
    HMENU bar = make_bar();
    HWND w = owner(bar);
    // As a program replaces a template's popups by its own ones.
    ASSERT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    ASSERT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    HMENU tools = CreatePopupMenu();
    AppendMenuA(tools, MF_STRING, 501, "&Options");
    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, 601, "&Zoom");
    ASSERT_TRUE(InsertMenuA(bar, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(tools), "&Tools"));
    ASSERT_TRUE(InsertMenuA(bar, 1, MF_BYPOSITION | MF_POPUP, UINT_PTR(view), "&View"));
    ShowWindow(w, SW_HIDE);
    ShowWindow(w, SW_SHOW);
    pump();
    const int view_x = win::menus::label_width("&Tools") + 2 * win::menus::metrics::kBarPadding + 3;
    when_menu_opens([&](HWND menu_window) {
        EXPECT_EQ(GetWindowLongPtrA(menu_window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(view));
        press(w, VK_DOWN);  // a popup the mouse opened has no highlight yet
        press(w, VK_RETURN);
    });
    win::automation::click(w, view_x, -5);
    pump();
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{601}));
}

TEST_F(MenuTracking, AltPressedInsideTheMenuLeavesIt) {
    HWND w = owner(make_bar());
    when_menu_opens([&](HWND) {
        key(w, VK_MENU, false);  // the Alt of Alt+F: it stays open
        key(w, VK_MENU, true);
        key(w, VK_MENU, false);
    });
    alt_letter(w, 'F', 'f');
    pump();
    EXPECT_TRUE(open_popups().empty());
    EXPECT_EQ(recorder().count(WM_EXITMENULOOP), 1);
    EXPECT_EQ(recorder().count(WM_COMMAND), 0);
}

TEST_F(MenuTracking, OwnerDrawnBarItemsAreMeasuredAndDrawnByTheOwner) {
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "&Plain");
    AppendMenuA(bar, MF_OWNERDRAW, 2, reinterpret_cast<LPCSTR>(kDataB));
    measure_owner_drawn_items();
    HWND w = owner(bar);
    std::vector<Draw> got = draws();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got.front(), (Draw{WM_MEASUREITEM, 2, 0, 0, kDataB}));
    EXPECT_EQ(got.back(), (Draw{WM_DRAWITEM, 2, ODA_DRAWENTIRE, 0, kDataB}));
    const DrawRequest& last = recorder().draws.back();
    EXPECT_EQ(last.hwnd_item, reinterpret_cast<HWND>(bar));
    EXPECT_EQ(last.rect.right - last.rect.left, 100) << "as measured, after the plain item";
    EXPECT_EQ(last.rect.left,
              win::menus::label_width("&Plain") + 2 * win::menus::metrics::kBarPadding);
    // A click on it chooses it, as a plain command on the bar: the press
    // starts tracking, the release inside the menu loop chooses.
    const int x = last.rect.left + 5;
    when_menu_opens([&](HWND) { win::automation::mouse_up(w, x, -5); });
    win::automation::mouse_down(w, x, -5);
    pump();
    EXPECT_EQ(recorder().commands(), (std::vector<UINT>{2}));
}

}  // namespace
