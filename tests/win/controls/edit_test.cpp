#include <algorithm>

#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class EditTest : public ControlsTest {
  protected:
    // Each new edit goes below the last one.
    HWND edit(DWORD style = ES_LEFT | ES_AUTOHSCROLL, int w = 150, const char* text = "") {
        HWND h = make("Edit", text, style | WS_TABSTOP, 10, next_y, w, 22, 1017, WS_EX_CLIENTEDGE);
        next_y += 30;
        return h;
    }
    int next_y = 10;
    static std::pair<DWORD, DWORD> sel(HWND h) {
        DWORD a = 0, b = 0;
        LRESULT packed = SendMessageA(h, EM_GETSEL, WPARAM(&a), LPARAM(&b));
        EXPECT_EQ(LOWORD(packed), a);
        EXPECT_EQ(HIWORD(packed), b);
        return {a, b};
    }
    int count(WORD code) const {
        auto c = commands();
        return int(std::count(c.begin(), c.end(), "1017 " + std::to_string(code)));
    }
    // Queued without pumping: the edit must read Shift as of each message.
    void shift_press(HWND h, UINT vk) {
        ta::key(h, VK_SHIFT, true);
        ta::press(h, vk);
        ta::key(h, VK_SHIFT, false);
    }
    // One text row of the client area as pixels.
    std::vector<std::uint32_t> row(HWND h, int y) const {
        RECT rc{};
        GetClientRect(h, &rc);
        std::vector<std::uint32_t> out;
        for (int x = 0; x < rc.right; ++x) out.push_back(px(h, x, y));
        return out;
    }
};

TEST_F(EditTest, TypingChangesTextAndNotifies) {
    HWND h = edit();
    SetFocus(h);
    ta::type(h, "Hello 42");
    ta::pump();
    EXPECT_EQ(ta::window_text(h), "Hello 42");
    char buf[4];
    EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 3);
    EXPECT_STREQ(buf, "Hel");
    EXPECT_EQ(count(EN_CHANGE), 8);
    EXPECT_EQ(count(EN_SETFOCUS), 1);
    EXPECT_EQ(sel(h), std::make_pair(DWORD(8), DWORD(8)));
    EXPECT_TRUE(SendMessageA(h, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0),
              DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
}

TEST_F(EditTest, BackspaceDeleteAndShiftSelection) {
    HWND h = edit();
    SetFocus(h);
    ta::type(h, "abcdef");
    ta::pump();
    ta::press(h, VK_BACK, '\b');
    ta::pump();
    EXPECT_EQ(ta::window_text(h), "abcde");
    shift_press(h, VK_LEFT);
    shift_press(h, VK_LEFT);
    ta::pump();
    EXPECT_EQ(sel(h), std::make_pair(DWORD(3), DWORD(5)));
    ta::type(h, "X");
    ta::pump();
    EXPECT_EQ(ta::window_text(h), "abcX");
    ta::press(h, VK_HOME);
    ta::press(h, VK_DELETE);
    ta::pump();
    EXPECT_EQ(ta::window_text(h), "bcX");
    ta::press(h, VK_END);
    ta::press(h, VK_LEFT);
    shift_press(h, VK_HOME);
    ta::pump();
    EXPECT_EQ(sel(h), std::make_pair(DWORD(0), DWORD(2)));
    ta::press(h, VK_BACK, '\b');
    ta::pump();
    EXPECT_EQ(ta::window_text(h), "X");
    // Ctrl+A selects everything.
    ta::key(h, VK_CONTROL, true);
    ta::press(h, 'A', 1);
    ta::key(h, VK_CONTROL, false);
    ta::pump();
    EXPECT_EQ(sel(h), std::make_pair(DWORD(0), DWORD(1)));
    EXPECT_EQ(ta::window_text(h), "X");
}

TEST_F(EditTest, MessagesSetTextSelectionAndLimit) {
    HWND h = edit();
    clear();
    SetWindowTextA(h, "12345");
    EXPECT_EQ(count(EN_CHANGE), 1);
    EXPECT_EQ(sel(h), std::make_pair(DWORD(0), DWORD(0)));
    SendMessageA(h, EM_SETSEL, 1, 3);
    EXPECT_EQ(sel(h), std::make_pair(DWORD(1), DWORD(3)));
    SendMessageA(h, EM_REPLACESEL, FALSE, LPARAM("ab"));
    EXPECT_EQ(ta::window_text(h), "1ab45");
    EXPECT_EQ(count(EN_CHANGE), 2);
    SendMessageA(h, EM_SETSEL, 0, -1);
    EXPECT_EQ(sel(h), std::make_pair(DWORD(0), DWORD(5)));
    SendMessageA(h, EM_SETSEL, WPARAM(-1), 0);
    EXPECT_EQ(sel(h), std::make_pair(DWORD(5), DWORD(5)));
    SendMessageA(h, EM_SETSEL, 2, 99);
    EXPECT_EQ(sel(h), std::make_pair(DWORD(2), DWORD(5)));

    SendMessageA(h, EM_LIMITTEXT, 6, 0);
    EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 6);
    SendMessageA(h, EM_SETSEL, 5, 5);
    SetFocus(h);
    clear();
    ta::type(h, "xyz");
    ta::pump();
    EXPECT_EQ(ta::window_text(h), "1ab45x");
    EXPECT_EQ(count(EN_MAXTEXT), 2);
    EXPECT_EQ(count(EN_CHANGE), 1);
}

TEST_F(EditTest, NumberAndReadOnlyStylesRefuseInput) {
    HWND num = edit(ES_NUMBER | ES_AUTOHSCROLL);
    SetFocus(num);
    ta::type(num, "1a2-3");
    ta::pump();
    EXPECT_EQ(ta::window_text(num), "123");
    HWND ro = edit(ES_READONLY, 150, "fixed");
    SetFocus(ro);
    ta::press(ro, VK_END);
    ta::type(ro, "x");
    ta::press(ro, VK_BACK, '\b');
    ta::pump();
    EXPECT_EQ(ta::window_text(ro), "fixed");
    EXPECT_EQ(sel(ro), std::make_pair(DWORD(5), DWORD(5)));  // still navigable
    EXPECT_EQ(px(ro, 140, 1), sys_pixel(COLOR_BTNFACE));
    EXPECT_EQ(px(num, 140, 1), sys_pixel(COLOR_WINDOW));
}

TEST_F(EditTest, MouseDragSelects) {
    HWND h = edit(ES_AUTOHSCROLL, 150, "drag me over");
    RECT rc{};
    GetClientRect(h, &rc);
    ta::mouse_down(h, 0, 5);
    ta::pump();
    EXPECT_EQ(GetFocus(), h);
    EXPECT_EQ(GetCapture(), h);
    ta::mouse_move(h, rc.right - 1, 5);
    ta::mouse_up(h, rc.right - 1, 5);
    ta::pump();
    EXPECT_EQ(sel(h), std::make_pair(DWORD(0), DWORD(12)));
    EXPECT_EQ(GetCapture(), nullptr);
    // The selection shows in highlight colours while focused.
    const int mid = rc.bottom / 2;
    auto line = row(h, mid);
    EXPECT_TRUE(std::count(line.begin(), line.end(), sys_pixel(COLOR_HIGHLIGHT)) > 20);
    SetFocus(nullptr);
    ta::pump();
    line = row(h, mid);
    EXPECT_EQ(std::count(line.begin(), line.end(), sys_pixel(COLOR_HIGHLIGHT)), 0);
}

TEST_F(EditTest, AutoScrollFollowsTheCaretAndFixedBoxesRefuseOverflow) {
    HWND fixed = edit(ES_LEFT, 40);
    SetFocus(fixed);
    ta::type(fixed, "WWWWWWWWWWWWWWWW");
    ta::pump();
    const std::string kept = ta::window_text(fixed);
    EXPECT_LT(kept.size(), 16u);
    EXPECT_GT(kept.size(), 0u);

    HWND h = edit(ES_AUTOHSCROLL, 40);
    SetFocus(h);
    ta::type(h, "iWWWWWWWWWWWWWWW");
    ta::pump();
    EXPECT_EQ(ta::window_text(h).size(), 16u);
    RECT rc{};
    GetClientRect(h, &rc);
    const int mid = rc.bottom / 2;
    auto at_end = row(h, mid);
    ta::press(h, VK_HOME);
    ta::pump();
    auto at_start = row(h, mid);
    EXPECT_NE(at_end, at_start);  // the view scrolled back to the start
    ta::press(h, VK_END);
    ta::pump();
    EXPECT_EQ(row(h, mid), at_end);
}

TEST_F(EditTest, CaretShowsOnlyWithFocus) {
    HWND h = edit(ES_AUTOHSCROLL, 150);
    ta::pump();
    RECT rc{};
    GetClientRect(h, &rc);
    const int mid = rc.bottom / 2;
    auto blank = row(h, mid);
    SetFocus(h);
    ta::pump();
    auto focused = row(h, mid);
    ASSERT_NE(focused, blank);
    int column = -1;
    for (int x = 0; x < rc.right; ++x)
        if (focused[size_t(x)] != blank[size_t(x)]) column = column < 0 ? x : column;
    EXPECT_EQ(column, 2);  // at the left margin, inverted
    EXPECT_EQ(focused[2], 0x000000u);
    // Painting again keeps exactly one caret.
    InvalidateRect(h, nullptr, TRUE);
    ta::pump();
    EXPECT_EQ(row(h, mid), focused);
    HWND other = edit();
    SetFocus(other);
    ta::pump();
    EXPECT_EQ(row(h, mid), blank);
    EXPECT_EQ(count(EN_KILLFOCUS), 1);
}

}  // namespace
