#include <algorithm>

#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class CommonTest : public ControlsTest {};

TEST_F(CommonTest, RegistrationIsIdempotent) {
    InitCommonControls();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    EXPECT_TRUE(InitCommonControlsEx(&icc));
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
    INITCOMMONCONTROLSEX wrong{3, ICC_BAR_CLASSES};
    EXPECT_FALSE(InitCommonControlsEx(&wrong));
    for (const char* name :
         {"BUTTON", "static", "Edit", "ListBox", "ComboBox", TRACKBAR_CLASSA, PROGRESS_CLASSA}) {
        WNDCLASSA wc{};
        EXPECT_TRUE(GetClassInfoA(nullptr, name, &wc)) << name;
        EXPECT_GE(wc.cbWndExtra, int(sizeof(LONG_PTR))) << name;
    }
}

// Rows of a control's client area, frame left out, that hold dark (text) pixels.
int text_rows(HWND h) {
    RECT rc{};
    GetClientRect(h, &rc);
    auto dark = [](std::uint32_t p) {
        return ((p >> 16) & 0xff) < 60 && ((p >> 8) & 0xff) < 60 && (p & 0xff) < 60;
    };
    int n = 0;
    for (int y = 2; y < rc.bottom - 2; ++y) {
        bool hit = false;
        for (int x = 2; x < rc.right - 2 && !hit; ++x) hit = dark(win::automation::pixel(h, x, y));
        n += hit;
    }
    return n;
}

TEST_F(CommonTest, SetFontChangesTheTextAndGetFontReturnsIt) {
    HWND label = make("Static", "Hello", SS_LEFT, 10, 10, 200, 60, -1);
    ta::pump();
    EXPECT_EQ(SendMessageA(label, WM_GETFONT, 0, 0), 0);
    const int small = text_rows(label);
    LOGFONTA lf{};
    lf.lfHeight = -30;
    HFONT big = CreateFontIndirectA(&lf);
    ASSERT_NE(big, nullptr);
    SendMessageA(label, WM_SETFONT, WPARAM(big), TRUE);
    EXPECT_EQ(HFONT(SendMessageA(label, WM_GETFONT, 0, 0)), big);
    ta::pump();
    EXPECT_GT(text_rows(label), small + 8);
    DestroyWindow(label);
    DeleteObject(big);
}

TEST_F(CommonTest, TextChangesRepaint) {
    HWND b = make("Button", "", BS_PUSHBUTTON, 10, 10, 75, 23, 5);
    ta::pump();
    EXPECT_EQ(text_rows(b), 0);
    SetWindowTextA(b, "Open");
    ta::pump();
    EXPECT_GT(text_rows(b), 4);
    EXPECT_EQ(ta::window_text(b), "Open");
}

TEST_F(CommonTest, ControlsDestroyedMidUseFailCleanly) {
    HWND tb = make(TRACKBAR_CLASSA, "", TBS_BOTH, 10, 10, 150, 24, 6);
    HWND combo = make("ComboBox", "", CBS_DROPDOWNLIST, 10, 50, 150, 80, 7);
    SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("x"));
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT t{};
    SendMessageA(tb, TBM_GETTHUMBRECT, 0, LPARAM(&t));
    ta::mouse_down(tb, t.left + 2, t.top + 2);
    ta::pump();
    DestroyWindow(tb);
    DestroyWindow(combo);
    ta::pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageA(tb, TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(FindWindowA("ComboLBox", nullptr), nullptr);  // the drop-down list went with it
    EXPECT_FALSE(ShowCaret(nullptr));
    EXPECT_FALSE(SetCaretPos(1, 1));
}

}  // namespace
