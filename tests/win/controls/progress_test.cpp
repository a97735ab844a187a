#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class ProgressTest : public ControlsTest {
  protected:
    HWND bar(DWORD style = WS_BORDER) {
        return make(PROGRESS_CLASSA, "Progress1", style, 0, 100, 273, 10, 1004);
    }
    static LRESULT send(HWND h, UINT m, WPARAM w = 0, LPARAM l = 0) {
        return SendMessageA(h, m, w, l);
    }
};

TEST_F(ProgressTest, DefaultsAndRangeMessages) {
    HWND h = bar();
    EXPECT_EQ(send(h, PBM_GETPOS), 0);
    EXPECT_EQ(send(h, PBM_GETRANGE, TRUE), 0);
    EXPECT_EQ(send(h, PBM_GETRANGE, FALSE), 100);
    EXPECT_EQ(send(h, PBM_SETSTEP, 1), 10);
    EXPECT_EQ(send(h, PBM_SETRANGE, 0, MAKELPARAM(0, 10)), MAKELONG(0, 100));
    EXPECT_NE(send(h, PBM_SETRANGE32, 0, 200000), 0);
    PBRANGE r{};
    EXPECT_EQ(send(h, PBM_GETRANGE, FALSE, LPARAM(&r)), 200000);
    EXPECT_EQ(r.iLow, 0);
    EXPECT_EQ(r.iHigh, 200000);
    EXPECT_EQ(send(h, PBM_SETPOS, 150000), 0);
    EXPECT_EQ(send(h, PBM_GETPOS), 150000);
    EXPECT_EQ(send(h, PBM_DELTAPOS, 10), 150000);
    EXPECT_EQ(send(h, PBM_GETPOS), 150010);
    EXPECT_EQ(send(h, PBM_SETPOS, 300000), 150010);
    EXPECT_EQ(send(h, PBM_GETPOS), 200000);  // clamped
    send(h, PBM_SETRANGE, 0, MAKELPARAM(0, 10));
    EXPECT_EQ(send(h, PBM_GETPOS), 10);
}

TEST_F(ProgressTest, StepItWrapsAroundLikeThePlatform) {
    HWND h = bar();
    send(h, PBM_SETSTEP, 20);
    send(h, PBM_SETPOS, 80);
    EXPECT_EQ(send(h, PBM_STEPIT), 80);
    EXPECT_EQ(send(h, PBM_GETPOS), 100);  // reaching the end does not wrap
    send(h, PBM_SETPOS, 80);
    send(h, PBM_SETSTEP, 40);
    send(h, PBM_STEPIT);
    EXPECT_EQ(send(h, PBM_GETPOS), 20);
    send(h, PBM_SETSTEP, -30);
    send(h, PBM_STEPIT);
    EXPECT_EQ(send(h, PBM_GETPOS), 90);  // below the start wraps from the top
    send(h, PBM_SETRANGE32, 5, 5);
    send(h, PBM_STEPIT);
    EXPECT_EQ(send(h, PBM_GETPOS), 5);

    // The export loop: step 1 over a range of frames ends at the count.
    send(h, PBM_SETSTEP, 1);
    send(h, PBM_SETRANGE32, 0, 100);
    send(h, PBM_SETPOS, 0);
    for (int i = 0; i < 100; ++i) send(h, PBM_STEPIT);
    EXPECT_EQ(send(h, PBM_GETPOS), 100);
    send(h, PBM_STEPIT);
    EXPECT_EQ(send(h, PBM_GETPOS), 1);
}

TEST_F(ProgressTest, DrawsAtOnceInHighlightBlocks) {
    HWND h = bar();
    ta::pump();
    RECT rc{};
    GetClientRect(h, &rc);
    ASSERT_EQ(rc.right, 273 - 2);  // the border became a one-pixel sunken edge
    const int mid = rc.bottom / 2;
    EXPECT_EQ(px(h, 3, mid), sys_pixel(COLOR_BTNFACE));
    // No message is pumped: a blocking loop still sees the bar move.
    send(h, PBM_SETPOS, 50);
    EXPECT_EQ(px(h, 2, mid), sys_pixel(COLOR_HIGHLIGHT));
    EXPECT_EQ(px(h, rc.right - 3, mid), sys_pixel(COLOR_BTNFACE));
    int gaps = 0, lit = 0;
    for (int x = 1; x < rc.right / 2 - 8; ++x)
        (px(h, x, mid) == sys_pixel(COLOR_HIGHLIGHT) ? lit : gaps)++;
    EXPECT_GT(gaps, 10);  // blocks, not a solid bar
    EXPECT_GT(lit, gaps);
    // The outer ring is the sunken edge.
    HDC dc = GetWindowDC(h);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 272, 9), GetSysColor(COLOR_BTNHIGHLIGHT));
    ReleaseDC(h, dc);
    send(h, PBM_SETPOS, 0);
    EXPECT_EQ(px(h, 2, mid), sys_pixel(COLOR_BTNFACE));
}

}  // namespace
