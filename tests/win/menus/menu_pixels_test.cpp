#include <cstring>

#include "menus_fixture.h"
#include "win/menus/menu_layout.h"

using namespace menus_test;
using win::automation::key;
using win::automation::pixel;
using win::automation::press;
using win::automation::pump;

namespace {

constexpr std::uint32_t kFace = 0xD4D0C8, kLight = 0xD4D0C8, kWhite = 0xFFFFFF, kDark = 0x404040,
                        kShadow = 0x808080, kHighlight = 0x0A246A, kBar = 0x40407F,
                        kPicture = 0x00A000;

// Draws the way the program's picture menus do: a picture box at the left,
// the caption beside it, a dark bar with white text under the highlight,
// etched separators.
bool draw_picture_item(HWND, UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        mis->itemWidth = 130;
        mis->itemHeight = mis->itemData ? 20 : 6;
        result = TRUE;
        return true;
    }
    if (msg != WM_DRAWITEM) return false;
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    const char* caption = reinterpret_cast<const char*>(dis->itemData);
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    if (dis->itemAction & ODA_DRAWENTIRE) FillRect(dc, &r, face);
    if (!caption) {
        RECT line{r.left + 25, r.top + 3, r.right + 5, r.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
        RECT picture{r.left + 2, r.top + 2, r.left + 18, r.top + 18};
        HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
        FillRect(dc, &picture, green);
        DeleteObject(green);
        RECT text_area{r.left + 20, r.top, r.right, r.bottom};
        FillRect(dc, &text_area, face);
        SetBkMode(dc, TRANSPARENT);
        if (dis->itemState & ODS_SELECTED) {
            RECT bar{r.left + 22, r.top, r.right, r.bottom};
            HBRUSH blue = CreateSolidBrush(RGB(64, 64, 127));
            FillRect(dc, &bar, blue);
            DeleteObject(blue);
            SetTextColor(dc, RGB(255, 255, 255));
        } else {
            SetTextColor(dc, RGB(0, 0, 0));
        }
        RECT caption_box{r.left + 28, r.top + 4, r.right + 4, r.bottom};
        DrawTextA(dc, caption, -1, &caption_box, DT_SINGLELINE);
    }
    DeleteObject(face);
    result = TRUE;
    return true;
}

class MenuPixels : public MenuTest {};

TEST_F(MenuPixels, AnOpenOwnerDrawnPopupHasARaisedFrameAndTheOwnersItems) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_OWNERDRAW, 1, reinterpret_cast<LPCSTR>("&Open AVI File"));
    AppendMenuA(popup, MF_OWNERDRAW, 2, reinterpret_cast<LPCSTR>("&Close"));
    AppendMenuA(popup, MF_OWNERDRAW | MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_OWNERDRAW, 3, reinterpret_cast<LPCSTR>("E&xit"));
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(popup), "&File");
    AppendMenuA(bar, MF_STRING, 9, "&Help");
    HWND w = owner(bar);
    recorder().handler = draw_picture_item;
    bool checked = false;
    when_menu_opens([&](HWND menu_window) {
        pump();
        key(w, VK_MENU, false);
        press(w, VK_DOWN);  // the highlight moves to "&Close"
        // Checked from the next message on, once the highlight has moved.
        SetTimer(w, 1, 10, nullptr);
        recorder().handler = [&, menu_window](HWND h, UINT msg, WPARAM wp, LPARAM lp,
                                              LRESULT& result) {
            if (msg != WM_TIMER) return draw_picture_item(h, msg, wp, lp, result);
            KillTimer(w, 1);
            RECT rc;
            GetClientRect(menu_window, &rc);
            EXPECT_EQ(rc.right, 130 + GetSystemMetrics(SM_CXMENUCHECK) - 1 + 6);
            EXPECT_EQ(rc.bottom, 20 + 20 + 6 + 20 + 6);
            // The raised frame.
            EXPECT_EQ(pixel(menu_window, 0, 0), kLight);
            EXPECT_EQ(pixel(menu_window, 1, 1), kWhite);
            EXPECT_EQ(pixel(menu_window, rc.right - 1, rc.bottom - 1), kDark);
            EXPECT_EQ(pixel(menu_window, rc.right - 2, rc.bottom - 2), kShadow);
            // Item 1 at y 3..23 resting, item 2 at 23..43 highlighted.
            EXPECT_EQ(pixel(menu_window, 3 + 5, 3 + 5), kPicture);
            EXPECT_EQ(pixel(menu_window, rc.right - 8, 3 + 1), kFace);
            EXPECT_EQ(pixel(menu_window, rc.right - 8, 23 + 1), kBar);
            // The separator's etched line: shadow over light, 3 below its top.
            EXPECT_EQ(pixel(menu_window, 3 + 40, 43 + 3), kShadow);
            EXPECT_EQ(pixel(menu_window, 3 + 40, 43 + 4), kWhite);
            // The line runs 5 pixels past the item, but the frame stays whole.
            EXPECT_EQ(pixel(menu_window, rc.right - 1, 43 + 3), kDark);
            EXPECT_EQ(pixel(menu_window, rc.right - 2, 43 + 3), kShadow);
            EXPECT_EQ(pixel(menu_window, rc.right - 3, 43 + 3), kFace);
            EXPECT_TRUE(win::automation::save_png(menu_window, "owner_drawn_popup.png"));
            checked = true;
            press(w, VK_ESCAPE);
            press(w, VK_ESCAPE);
            return false;
        };
    });
    key(w, VK_MENU, true);
    press(w, 'F', 'f');
    pump();
    EXPECT_TRUE(checked);
}

TEST_F(MenuPixels, TheBarShowsTheOpenItemPressedAndPlainPopupsHighlightInColour) {
    HMENU bar = make_bar();
    HMENU file = GetSubMenu(bar, 0);
    CheckMenuItem(file, 102, MF_CHECKED);
    HWND w = owner(bar);
    HWND popup_window = nullptr;
    int bar_height = 0;
    when_menu_opens([&](HWND menu_window) {
        popup_window = menu_window;
        pump();
        RECT wr, cr;
        GetWindowRect(w, &wr);
        GetClientRect(w, &cr);
        bar_height = (wr.bottom - wr.top) - cr.bottom;
        // The bar item with its popup open is pressed in: shadow at its top left.
        EXPECT_EQ(pixel(w, 0, -bar_height), kShadow);
        EXPECT_EQ(pixel(w, 1, -bar_height + 1), kFace);
        // The first popup item is highlighted in the system's colour.
        EXPECT_EQ(pixel(menu_window, 5, 3 + 2), kHighlight);
        // The checked "E&xit": a dark tick in the check column (rows after
        // Open and the separator).
        const int exit_top =
            3 + win::menus::plain_item_height() + win::menus::metrics::kSeparatorHeight;
        const int mid = exit_top + win::menus::plain_item_height() / 2;
        // Its third column (x = border 3 + 5 + 2) is the lowest: rows mid..mid+2.
        EXPECT_EQ(pixel(menu_window, 3 + 5 + 2, mid), 0x000000u);
        EXPECT_EQ(pixel(menu_window, 3 + 5 + 2, mid - 1), kFace);
        EXPECT_TRUE(win::automation::save_png(menu_window, "plain_popup.png"));
        EXPECT_TRUE(win::automation::save_png(w, "menu_bar_open.png"));
        key(w, VK_MENU, false);
        press(w, VK_ESCAPE);
        press(w, VK_ESCAPE);
    });
    key(w, VK_MENU, true);
    press(w, 'F', 'f');
    pump();
    ASSERT_NE(popup_window, nullptr);
    // Closed again, the bar is flat.
    EXPECT_EQ(pixel(w, 0, -bar_height), kFace);
}

}  // namespace
