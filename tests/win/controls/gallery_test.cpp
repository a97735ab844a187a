// Every control kind, enabled and disabled, in one dialog-like window,
// written out as a PNG for a person to look at, with spot checks of its pixels.
#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class GalleryTest : public ControlsTest {
  protected:
    // One column of controls at x; disabled ones get WS_DISABLED.
    void column(int x, DWORD extra, int id) {
        make("Button", "&Push", BS_PUSHBUTTON | extra, x, 8, 75, 23, id + 1);
        make("Button", "Default", BS_DEFPUSHBUTTON | extra, x + 85, 8, 75, 23, id + 2);
        make("Button", "Options", BS_GROUPBOX | extra, x, 38, 160, 78, id + 3);
        HWND r1 = make("Button", "Video", BS_AUTORADIOBUTTON | WS_GROUP | extra, x + 8, 54, 70, 16,
                       id + 4);
        make("Button", "Audio", BS_AUTORADIOBUTTON | extra, x + 8, 74, 70, 16, id + 5);
        HWND c = make("Button", "Preview", BS_AUTOCHECKBOX | extra, x + 82, 54, 74, 16, id + 6);
        SendMessageA(r1, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageA(c, BM_SETCHECK, BST_CHECKED, 0);
        make("Static", "Key frame every", SS_LEFT | extra, x + 8, 96, 100, 14, -1);
        HWND e =
            make("Edit", "15", ES_AUTOHSCROLL | extra, x, 124, 160, 21, id + 7, WS_EX_CLIENTEDGE);
        (void)e;
        HWND tb = make(TRACKBAR_CLASSA, "", TBS_AUTOTICKS | extra, x, 150, 160, 30, id + 8);
        SendMessageA(tb, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
        SendMessageA(tb, TBM_SETPOS, TRUE, 3);
        HWND seek =
            make(TRACKBAR_CLASSA, "", TBS_BOTH | TBS_NOTICKS | extra, x, 182, 160, 24, id + 9);
        SendMessageA(seek, TBM_SETPOS, TRUE, 60);
        HWND pb = make(PROGRESS_CLASSA, "", WS_BORDER | extra, x, 210, 160, 10, id + 10);
        SendMessageA(pb, PBM_SETPOS, 45, 0);
        HWND cb =
            make("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | extra, x, 226, 160, 100, id + 11);
        SendMessageA(cb, CB_ADDSTRING, 0, LPARAM("Cinepak Codec"));
        SendMessageA(cb, CB_SETCURSEL, 0, 0);
        HWND lb = make("ListBox", "", WS_BORDER | WS_VSCROLL | extra, x, 254, 100, 56, id + 12);
        for (const char* s : {"..", "clips", "a.avi", "b.avi", "c.avi", "d.avi"})
            SendMessageA(lb, LB_ADDSTRING, 0, LPARAM(s));
        SendMessageA(lb, LB_SETCURSEL, 2, 0);
        make("Static", "", SS_BLACKFRAME | SS_SUNKEN | extra, x + 108, 254, 52, 30, -1);
        make("Static", "", SS_ETCHEDHORZ | extra, x + 108, 292, 52, 2, -1);
        make("Static", "", SS_ETCHEDVERT | extra, x + 134, 298, 2, 14, -1);
    }
};

TEST_F(GalleryTest, EveryControlEnabledAndDisabled) {
    column(10, 0, 100);
    column(220, WS_DISABLED, 200);
    ta::pump();
    // Focus on the enabled edit shows its caret and selection colours.
    HWND edit = GetDlgItem(parent, 107);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    ta::pump();
    ASSERT_TRUE(ta::save_png(parent, "controls_gallery.png"));

    // The disabled push button's text is grey with the emboss; the enabled one's is black.
    auto has = [&](HWND h, std::uint32_t colour) {
        RECT rc{};
        GetClientRect(h, &rc);
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                if (px(h, x, y) == colour) return true;
        return false;
    };
    EXPECT_TRUE(has(GetDlgItem(parent, 101), 0x000000u));
    EXPECT_FALSE(has(GetDlgItem(parent, 201), 0x000000u));
    EXPECT_TRUE(has(GetDlgItem(parent, 201), sys_pixel(COLOR_GRAYTEXT)));
    EXPECT_TRUE(has(edit, sys_pixel(COLOR_HIGHLIGHT)));
    EXPECT_TRUE(has(GetDlgItem(parent, 207), sys_pixel(COLOR_BTNFACE)));  // disabled edit is grey
    EXPECT_FALSE(has(GetDlgItem(parent, 207), sys_pixel(COLOR_WINDOW)));
    EXPECT_TRUE(has(GetDlgItem(parent, 110), sys_pixel(COLOR_HIGHLIGHT)));
}

}  // namespace
