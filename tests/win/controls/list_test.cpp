#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class ListBoxTest : public ControlsTest {
  protected:
    HWND list(DWORD style = LBS_NOTIFY | WS_VSCROLL, int h = 100) {
        return make("ListBox", "", style | WS_BORDER | WS_TABSTOP, 10, 10, 150, h, 300);
    }
    static void add(HWND h, std::initializer_list<const char*> items) {
        for (const char* i : items) SendMessageA(h, LB_ADDSTRING, 0, LPARAM(i));
    }
    static std::string text(HWND h, int i) {
        char buf[64] = {};
        EXPECT_EQ(SendMessageA(h, LB_GETTEXT, WPARAM(i), LPARAM(buf)),
                  SendMessageA(h, LB_GETTEXTLEN, WPARAM(i), 0));
        return buf;
    }
    static int sel(HWND h) { return int(SendMessageA(h, LB_GETCURSEL, 0, 0)); }
    static int row_y(HWND h, int i) {
        RECT r{};
        SendMessageA(h, LB_GETITEMRECT, WPARAM(i), LPARAM(&r));
        return (r.top + r.bottom) / 2;
    }
};

TEST_F(ListBoxTest, ItemsDataAndSearch) {
    HWND h = list(LBS_SORT);
    add(h, {"delta", "Alpha", "charlie", "bravo"});
    EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(text(h, 0), "Alpha");
    EXPECT_EQ(text(h, 3), "delta");
    EXPECT_EQ(sel(h), LB_ERR);
    EXPECT_EQ(SendMessageA(h, LB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(SendMessageA(h, LB_INSERTSTRING, 0, LPARAM("zulu")), 0);  // no sorting by position
    EXPECT_EQ(sel(h), 3);
    EXPECT_EQ(SendMessageA(h, LB_SETITEMDATA, 3, 77), LB_OKAY);
    EXPECT_EQ(SendMessageA(h, LB_GETITEMDATA, 3, 0), 77);
    EXPECT_EQ(SendMessageA(h, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("CHARLIE")), 3);
    EXPECT_EQ(SendMessageA(h, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("char")), LB_ERR);
    EXPECT_EQ(SendMessageA(h, LB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(sel(h), 2);
    EXPECT_EQ(SendMessageA(h, LB_DELETESTRING, 2, 0), 3);
    EXPECT_EQ(sel(h), LB_ERR);
    EXPECT_EQ(SendMessageA(h, LB_DELETESTRING, 9, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(h, LB_GETTEXT, 9, LPARAM(nullptr)), LB_ERR);
    EXPECT_EQ(SendMessageA(h, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
    SendMessageA(h, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(commands().empty());  // messages never notify
}

TEST_F(ListBoxTest, MouseSelectionAndDoubleClick) {
    HWND h = list();
    add(h, {"one", "two", "three"});
    ta::click(h, 20, row_y(h, 1));
    ta::pump();
    EXPECT_EQ(sel(h), 1);
    EXPECT_EQ(GetFocus(), h);
    EXPECT_EQ(commands(), (std::vector<std::string>{"300 4", "300 1"}));  // focus, then selection
    clear();
    ta::advance_ms(1000);
    ta::click(h, 20, row_y(h, 2));
    ta::pump();
    ta::click(h, 20, row_y(h, 2));
    ta::pump();
    EXPECT_EQ(commands(), (std::vector<std::string>{"300 1", "300 2"}));
    clear();
    ta::advance_ms(1000);  // too slow for a double click
    ta::click(h, 20, row_y(h, 2));
    ta::pump();
    EXPECT_EQ(commands(), std::vector<std::string>{}) << commands()[0];
    // Without LBS_NOTIFY the parent hears nothing.
    HWND quiet = make("ListBox", "", WS_BORDER, 200, 10, 100, 80, 301);
    add(quiet, {"a", "b"});
    ta::click(quiet, 5, row_y(quiet, 1));
    ta::pump();
    EXPECT_EQ(sel(quiet), 1);
    EXPECT_EQ(commands(), std::vector<std::string>{"300 5"});  // only the other list losing focus
}

TEST_F(ListBoxTest, KeyboardAndFirstLetter) {
    HWND h = list();
    add(h, {"apple", "banana", "blueberry", "cherry", "avocado"});
    SetFocus(h);
    clear();
    ta::press(h, VK_DOWN);
    ta::pump();
    EXPECT_EQ(sel(h), 0);
    ta::press(h, VK_END);
    ta::pump();
    EXPECT_EQ(sel(h), 4);
    ta::press(h, VK_HOME);
    ta::press(h, VK_UP);  // already at the top: nothing
    ta::pump();
    EXPECT_EQ(sel(h), 0);
    ta::type(h, "b");
    ta::pump();
    EXPECT_EQ(sel(h), 1);
    ta::type(h, "b");
    ta::pump();
    EXPECT_EQ(sel(h), 2);
    ta::type(h, "a");
    ta::pump();
    EXPECT_EQ(sel(h), 4);  // from the current item onwards
    EXPECT_EQ(commands(),
              (std::vector<std::string>{"300 1", "300 1", "300 1", "300 1", "300 1", "300 1"}));
}

TEST_F(ListBoxTest, ScrollsToKeepTheSelectionVisible) {
    HWND h = list(LBS_NOTIFY | WS_VSCROLL, 80);
    for (int i = 0; i < 30; ++i)
        SendMessageA(h, LB_ADDSTRING, 0, LPARAM(("item " + std::to_string(i)).c_str()));
    ta::pump();
    RECT rc{};
    GetClientRect(h, &rc);
    const int rows = rc.bottom / int(SendMessageA(h, LB_GETITEMHEIGHT, 0, 0));
    SetFocus(h);
    ta::press(h, VK_END);
    ta::pump();
    EXPECT_EQ(SendMessageA(h, LB_GETTOPINDEX, 0, 0), 30 - rows);
    // The scroll bar at the right: its up arrow scrolls by one line.
    const int bar_x = rc.right - 4;
    const int bar_left = rc.right - GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(px(h, bar_left, 0), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(h, bar_left - 1, 0), sys_pixel(COLOR_WINDOW));
    ta::click(h, bar_x, 3);
    ta::pump();
    EXPECT_EQ(SendMessageA(h, LB_GETTOPINDEX, 0, 0), 30 - rows - 1);
    ta::click(h, bar_x, rc.bottom - 3);
    ta::pump();
    EXPECT_EQ(SendMessageA(h, LB_GETTOPINDEX, 0, 0), 30 - rows);
    EXPECT_EQ(sel(h), 29);  // scrolling does not select
    SendMessageA(h, LB_SETTOPINDEX, 0, 0);
    EXPECT_EQ(SendMessageA(h, LB_GETTOPINDEX, 0, 0), 0);
    ta::pump();
    // The selected row is off screen; the first row is drawn unselected.
    EXPECT_EQ(px(h, 60, row_y(h, 0)), sys_pixel(COLOR_WINDOW));
    SendMessageA(h, LB_SETCURSEL, 0, 0);
    ta::pump();
    EXPECT_EQ(px(h, 60, row_y(h, 0)), sys_pixel(COLOR_HIGHLIGHT));
}

class ComboBoxTest : public ControlsTest {
  protected:
    HWND combo() {
        HWND h =
            make("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 150, 120, 400);
        for (const char* i : {"Full Frames (Uncompressed)", "Cinepak", "Motion JPEG", "MPEG-4"})
            SendMessageA(h, CB_ADDSTRING, 0, LPARAM(i));
        return h;
    }
    static int sel(HWND h) { return int(SendMessageA(h, CB_GETCURSEL, 0, 0)); }
    static HWND popup() { return FindWindowA("ComboLBox", nullptr); }
};

TEST_F(ComboBoxTest, ItemsAndSelectionByMessage) {
    HWND h = combo();
    RECT wr{};
    GetWindowRect(h, &wr);
    EXPECT_LT(wr.bottom - wr.top, 40);  // the created height is the list's
    RECT drop{};
    SendMessageA(h, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&drop));
    EXPECT_EQ(drop.bottom - drop.top, 120);
    EXPECT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(sel(h), CB_ERR);
    EXPECT_EQ(ta::window_text(h), "");
    EXPECT_EQ(SendMessageA(h, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(ta::window_text(h), "Motion JPEG");
    EXPECT_EQ(SendMessageA(h, CB_GETLBTEXTLEN, 1, 0), 7);
    char buf[32] = {};
    EXPECT_EQ(SendMessageA(h, CB_GETLBTEXT, 1, LPARAM(buf)), 7);
    EXPECT_STREQ(buf, "Cinepak");
    SendMessageA(h, CB_SETITEMDATA, 1, 0x63766964);
    EXPECT_EQ(SendMessageA(h, CB_GETITEMDATA, 1, 0), 0x63766964);
    EXPECT_EQ(SendMessageA(h, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("mpeg-4")), 3);
    EXPECT_EQ(SendMessageA(h, CB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(sel(h), 1);
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(commands().empty());
}

TEST_F(ComboBoxTest, ChoosingFromTheDroppedList) {
    HWND h = combo();
    SendMessageA(h, CB_SETCURSEL, 0, 0);
    ta::pump();
    ta::click_center(h);
    ta::pump();
    EXPECT_TRUE(SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0));
    HWND list = popup();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT lr{}, cr{};
    GetWindowRect(list, &lr);
    GetWindowRect(h, &cr);
    EXPECT_EQ(lr.top, cr.bottom);
    EXPECT_EQ(commands(), (std::vector<std::string>{"400 3", "400 7"}));  // focus, drop-down
    clear();
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 2, LPARAM(&item));
    int y = (item.top + item.bottom) / 2;
    ta::mouse_move(list, 20, y);
    ta::mouse_down(list, 20, y);
    ta::mouse_up(list, 20, y);
    ta::pump();
    EXPECT_FALSE(SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(sel(h), 2);
    EXPECT_EQ(commands(), (std::vector<std::string>{"400 9", "400 8",
                                                    "400 1"}));  // SELENDOK, CLOSEUP, SELCHANGE
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComboBoxTest, ClickingElsewhereCancels) {
    HWND h = combo();
    SendMessageA(h, CB_SETCURSEL, 1, 0);
    SendMessageA(h, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = popup();
    ASSERT_TRUE(IsWindowVisible(list));
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 3, LPARAM(&item));
    ta::mouse_move(list, 20, (item.top + item.bottom) / 2);  // hovering highlights
    ta::pump();
    EXPECT_EQ(sel(h), 3);
    clear();
    ta::click(parent, 300, 250);
    ta::pump();
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(sel(h), 1);
    EXPECT_EQ(commands(), (std::vector<std::string>{"400 10", "400 8"}));  // SELENDCANCEL, CLOSEUP
}

TEST_F(ComboBoxTest, KeyboardChangesTheSelection) {
    HWND h = combo();
    SetFocus(h);
    clear();
    ta::press(h, VK_DOWN);
    ta::pump();
    EXPECT_EQ(sel(h), 0);
    ta::press(h, VK_DOWN);
    ta::pump();
    EXPECT_EQ(sel(h), 1);
    ta::type(h, "m");
    ta::pump();
    EXPECT_EQ(sel(h), 2);
    EXPECT_EQ(commands(), (std::vector<std::string>{"400 1", "400 1", "400 1"}));
    clear();
    ta::press(h, VK_F4);
    ta::pump();
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    ta::press(h, VK_DOWN);
    ta::press(h, VK_RETURN);
    ta::pump();
    EXPECT_EQ(sel(h), 3);
    EXPECT_EQ(commands(), (std::vector<std::string>{"400 7", "400 9", "400 8", "400 1"}));
}

TEST_F(ComboBoxTest, FieldFollowsTheFont) {
    HWND h = combo();
    RECT before{};
    GetWindowRect(h, &before);
    LOGFONTA lf{};
    lf.lfHeight = -24;
    HFONT big = CreateFontIndirectA(&lf);
    SendMessageA(h, WM_SETFONT, WPARAM(big), TRUE);
    RECT after{};
    GetWindowRect(h, &after);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top + 8);
    EXPECT_EQ(SendMessageA(h, CB_GETITEMHEIGHT, 0, 0) + 6 + 4, after.bottom - after.top);
    DestroyWindow(h);
    DeleteObject(big);
}

}  // namespace
