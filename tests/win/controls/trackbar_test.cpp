#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class TrackbarTest : public ControlsTest {
  protected:
    HWND bar(DWORD style = TBS_BOTH | TBS_NOTICKS | WS_TABSTOP, int w = 273) {
        return make(TRACKBAR_CLASSA, "Slider1", style, 0, 10, w, 24, 1003);
    }
    static LRESULT pos(HWND h) { return SendMessageA(h, TBM_GETPOS, 0, 0); }
    static RECT thumb(HWND h) {
        RECT r{};
        SendMessageA(h, TBM_GETTHUMBRECT, 0, LPARAM(&r));
        return r;
    }
};

TEST_F(TrackbarTest, PositionIsClampedIntoTheRangeWithoutNotifying) {
    HWND h = bar();
    EXPECT_EQ(SendMessageA(h, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(h, TBM_GETRANGEMAX, 0, 0), 100);
    SendMessageA(h, TBM_SETPOS, TRUE, -1);
    EXPECT_EQ(pos(h), 0);
    SendMessageA(h, TBM_SETPOS, TRUE, 1000);
    EXPECT_EQ(pos(h), 100);
    SendMessageA(h, TBM_SETPOS, FALSE, 42);
    EXPECT_EQ(pos(h), 42);

    // A new range moves the position to its nearest end.
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(50, 90));
    EXPECT_EQ(pos(h), 50);
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(10, 20));
    EXPECT_EQ(pos(h), 20);
    SendMessageA(h, TBM_SETRANGEMIN, TRUE, 15);
    SendMessageA(h, TBM_SETRANGEMAX, TRUE, 17);
    EXPECT_EQ(pos(h), 17);
    SendMessageA(h, TBM_SETRANGEMAX, FALSE, 100000);  // 32-bit values are kept
    EXPECT_EQ(SendMessageA(h, TBM_GETRANGEMAX, 0, 0), 100000);
    ta::pump();
    EXPECT_TRUE(of(WM_HSCROLL).empty());
    EXPECT_TRUE(of(WM_NOTIFY).empty());
}

TEST_F(TrackbarTest, RangeIsStoredWithoutValidation) {
    HWND h = bar();
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(30, 10));
    EXPECT_EQ(SendMessageA(h, TBM_GETRANGEMIN, 0, 0), 30);
    EXPECT_EQ(SendMessageA(h, TBM_GETRANGEMAX, 0, 0), 10);
    ta::pump();  // painting an inverted range must not fail
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(WORD(-5), 5));
    EXPECT_EQ(SendMessageA(h, TBM_GETRANGEMIN, 0, 0), -5);
}

TEST_F(TrackbarTest, PageAndLineSizes) {
    HWND h = bar();
    EXPECT_EQ(SendMessageA(h, TBM_GETPAGESIZE, 0, 0), 20);
    EXPECT_EQ(SendMessageA(h, TBM_GETLINESIZE, 0, 0), 1);
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(0, 50));
    EXPECT_EQ(SendMessageA(h, TBM_GETPAGESIZE, 0, 0), 10);
    EXPECT_EQ(SendMessageA(h, TBM_SETPAGESIZE, 0, 7), 10);
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(0, 500));
    EXPECT_EQ(SendMessageA(h, TBM_GETPAGESIZE, 0, 0), 7);
    EXPECT_EQ(SendMessageA(h, TBM_SETLINESIZE, 0, 3), 1);
    EXPECT_EQ(SendMessageA(h, TBM_GETLINESIZE, 0, 0), 3);
}

TEST_F(TrackbarTest, TickCountsIncludeBothEnds) {
    HWND h = bar(TBS_AUTOTICKS);
    SendMessageA(h, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    SendMessageA(h, TBM_SETTICFREQ, 2, 0);
    EXPECT_EQ(SendMessageA(h, TBM_GETNUMTICS, 0, 0), 6);
    SendMessageA(h, TBM_SETTICFREQ, 5, 0);
    EXPECT_EQ(SendMessageA(h, TBM_GETNUMTICS, 0, 0), 3);
    SendMessageA(h, TBM_SETTICFREQ, 15, 0);
    EXPECT_EQ(SendMessageA(h, TBM_GETNUMTICS, 0, 0), 2);
    EXPECT_FALSE(SendMessageA(h, TBM_SETTIC, 0, 11));
    EXPECT_TRUE(SendMessageA(h, TBM_SETTIC, 0, 7));
    EXPECT_EQ(SendMessageA(h, TBM_GETNUMTICS, 0, 0), 3);
    EXPECT_EQ(SendMessageA(bar(TBS_NOTICKS), TBM_GETNUMTICS, 0, 0), 0);
}

TEST_F(TrackbarTest, DraggingTheThumbTracksThenReleasesCapture) {
    HWND h = bar();
    RECT channel{};
    SendMessageA(h, TBM_GETCHANNELRECT, 0, LPARAM(&channel));
    RECT t = thumb(h);
    ASSERT_EQ(t.left, channel.left);  // position 0 sits at the channel's start
    int y = (t.top + t.bottom) / 2;
    int x = (t.left + t.right) / 2;
    ta::mouse_down(h, x, y);
    ta::pump();
    EXPECT_EQ(GetCapture(), h);
    EXPECT_EQ(GetFocus(), h);
    const int travel = channel.right - channel.left - (t.right - t.left);
    ta::mouse_move(h, x + travel / 2, y);
    ta::pump();
    EXPECT_EQ(pos(h), 50);
    ta::mouse_move(h, x + travel * 3, y);  // far past the end
    ta::pump();
    EXPECT_EQ(pos(h), 100);
    ta::mouse_up(h, x + travel * 3, y);
    ta::pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(scrolls(),
              (std::vector<std::string>{"THUMBTRACK 50", "THUMBTRACK 100", "THUMBPOSITION 100",
                                        "ENDTRACK", "RELEASEDCAPTURE"}));
    auto notes = of(WM_NOTIFY);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].id_from, 1003u);
    EXPECT_EQ(notes[0].hwnd_from, h);
    EXPECT_EQ(notes[0].wp, 1003u);
    EXPECT_EQ(HWND(of(WM_HSCROLL)[0].lp), h);
    EXPECT_EQ(thumb(h).right, channel.right);
}

TEST_F(TrackbarTest, ClickOnTheChannelPagesAndRepeatsWhileHeld) {
    HWND h = bar();
    SendMessageA(h, TBM_SETPOS, TRUE, 50);
    RECT t = thumb(h);
    int y = (t.top + t.bottom) / 2;
    ta::click(h, t.left - 20, y);
    ta::pump();
    EXPECT_EQ(pos(h), 30);
    EXPECT_EQ(scrolls(), (std::vector<std::string>{"PAGEUP", "ENDTRACK", "RELEASEDCAPTURE"}));

    // Held to the right of the thumb: 30 to 50 at once, then repeats until the
    // thumb reaches the pointer.
    clear();
    RECT channel{};
    SendMessageA(h, TBM_GETCHANNELRECT, 0, LPARAM(&channel));
    ta::mouse_down(h, channel.right - 2, y);
    ta::pump();
    EXPECT_EQ(pos(h), 50);
    ta::advance_ms(2000);
    EXPECT_EQ(pos(h), 100);
    ta::mouse_up(h, channel.right - 2, y);
    ta::pump();
    EXPECT_EQ(scrolls(), (std::vector<std::string>{"PAGEDOWN", "PAGEDOWN", "PAGEDOWN", "PAGEDOWN",
                                                   "ENDTRACK", "RELEASEDCAPTURE"}));
}

TEST_F(TrackbarTest, KeyboardMovesByLinePageAndToTheEnds) {
    HWND h = bar();
    SendMessageA(h, TBM_SETPOS, TRUE, 50);
    SetFocus(h);
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    ta::press(h, VK_RIGHT);
    ta::pump();
    EXPECT_EQ(pos(h), 51);
    ta::press(h, VK_LEFT);
    ta::press(h, VK_LEFT);
    ta::pump();
    EXPECT_EQ(pos(h), 49);
    ta::press(h, VK_NEXT);
    ta::pump();
    EXPECT_EQ(pos(h), 69);
    ta::press(h, VK_PRIOR);
    ta::pump();
    EXPECT_EQ(pos(h), 49);
    ta::press(h, VK_END);
    ta::pump();
    EXPECT_EQ(pos(h), 100);
    ta::press(h, VK_END);  // already there: only the end of the action
    ta::press(h, VK_HOME);
    ta::pump();
    EXPECT_EQ(pos(h), 0);
    EXPECT_EQ(scrolls(),
              (std::vector<std::string>{"LINEDOWN", "ENDTRACK", "LINEUP", "ENDTRACK", "LINEUP",
                                        "ENDTRACK", "PAGEDOWN", "ENDTRACK", "PAGEUP", "ENDTRACK",
                                        "BOTTOM", "ENDTRACK", "ENDTRACK", "TOP", "ENDTRACK"}));
    EXPECT_TRUE(of(WM_NOTIFY).empty());
}

TEST_F(TrackbarTest, DisablingDuringADragEndsItWithTheRelease) {
    HWND h = bar();
    RECT t = thumb(h);
    ta::mouse_down(h, t.left + 2, t.top + 2);
    ta::pump();
    ASSERT_EQ(GetCapture(), h);
    EnableWindow(h, FALSE);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(scrolls(),
              (std::vector<std::string>{"THUMBPOSITION 0", "ENDTRACK", "RELEASEDCAPTURE"}));
}

TEST_F(TrackbarTest, ClassicLookFollowsThePosition) {
    HWND h = bar();
    ta::pump();
    RECT channel{};
    SendMessageA(h, TBM_GETCHANNELRECT, 0, LPARAM(&channel));
    RECT t = thumb(h);
    // Raised thumb: white top-left, dark bottom-right; sunken channel: shadow on top.
    EXPECT_EQ(px(h, t.left, t.top), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(h, t.right - 1, t.bottom - 1), sys_pixel(COLOR_3DDKSHADOW));
    EXPECT_EQ(px(h, channel.right - 3, channel.top), sys_pixel(COLOR_BTNSHADOW));
    EXPECT_EQ(px(h, channel.right - 3, channel.bottom - 1), sys_pixel(COLOR_BTNHIGHLIGHT));
    SendMessageA(h, TBM_SETPOS, TRUE, 100);
    ta::pump();
    EXPECT_EQ(px(h, t.left, t.top), sys_pixel(COLOR_BTNFACE));
    RECT moved = thumb(h);
    EXPECT_EQ(px(h, moved.left, moved.top), sys_pixel(COLOR_BTNHIGHLIGHT));
    // Without redraw the old picture stays until something repaints.
    SendMessageA(h, TBM_SETPOS, FALSE, 0);
    ta::pump();
    EXPECT_EQ(px(h, moved.left, moved.top), sys_pixel(COLOR_BTNHIGHLIGHT));
}

}  // namespace
