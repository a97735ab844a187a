#include <map>

#include "core_fixture.h"

using namespace core_test;

namespace {

class Painting : public CoreTest {
  protected:
    // Paints the client area in one colour on WM_PAINT and remembers what it was asked.
    void paint_with(HWND w, COLORREF color) {
        colors[w] = color;
        recorder().handler = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
            if (m != WM_PAINT || !colors.count(h)) return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            paints.push_back({h, ps.rcPaint, ps.fErase != 0});
            RECT rc;
            GetClientRect(h, &rc);
            HBRUSH b = CreateSolidBrush(colors[h]);
            FillRect(dc, &rc, b);
            DeleteObject(b);
            EndPaint(h, &ps);
            result = 0;
            return true;
        };
    }
    struct Paint {
        HWND hwnd;
        RECT rc;
        bool erase;
    };
    std::map<HWND, COLORREF> colors;
    std::vector<Paint> paints;
};

TEST_F(Painting, SeveralInvalidationsGiveOnePaintOfTheirUnion) {
    HWND w = top("p");
    paint_with(w, RGB(255, 0, 0));
    win::automation::pump();
    paints.clear();
    RECT a{10, 10, 20, 20}, b{50, 5, 60, 15};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, FALSE);
    InvalidateRect(w, &a, FALSE);
    win::automation::pump();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].rc.left, 10);
    EXPECT_EQ(paints[0].rc.top, 5);
    EXPECT_EQ(paints[0].rc.right, 60);
    EXPECT_EQ(paints[0].rc.bottom, 20);
    EXPECT_FALSE(paints[0].erase);
}

TEST_F(Painting, EraseGoesThroughEraseBackground) {
    HWND w = top("p");
    paint_with(w, RGB(255, 0, 0));
    win::automation::pump();
    recorder().log.clear();
    InvalidateRect(w, nullptr, TRUE);
    win::automation::pump();
    auto seq = recorder().only(w, {WM_PAINT, WM_ERASEBKGND});
    EXPECT_EQ(seq, (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
}

TEST_F(Painting, ParentPaintsBeforeChildAndChildIsClippedToItself) {
    HWND w = top("p");
    HWND c = child(w, 1, RECT{20, 20, 40, 30});
    paint_with(w, RGB(0, 0, 255));
    paint_with(c, RGB(0, 255, 0));
    win::automation::pump();
    ASSERT_GE(paints.size(), 2u);
    EXPECT_EQ(paints[0].hwnd, w);
    EXPECT_EQ(paints[1].hwnd, c);
    EXPECT_EQ(win::automation::pixel(w, 19, 20), 0x0000ffu);
    EXPECT_EQ(win::automation::pixel(w, 20, 20), 0x00ff00u);
    EXPECT_EQ(win::automation::pixel(w, 39, 29), 0x00ff00u);
    EXPECT_EQ(win::automation::pixel(w, 40, 29), 0x0000ffu);
    EXPECT_EQ(win::automation::pixel(w, 39, 30), 0x0000ffu);
    // Repainting the parent over the child brings the child back on top.
    paints.clear();
    InvalidateRect(w, nullptr, FALSE);
    win::automation::pump();
    EXPECT_EQ(win::automation::pixel(c, 0, 0), 0x00ff00u);
}

TEST_F(Painting, UpdateNowPaintsBeforeReturning) {
    HWND w = top("p");
    paint_with(w, RGB(1, 2, 3));
    win::automation::pump();
    paints.clear();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(paints.size(), 1u);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE);
    EXPECT_EQ(paints.size(), 1u);
    UpdateWindow(w);
    EXPECT_EQ(paints.size(), 2u);
    UpdateWindow(w);
    EXPECT_EQ(paints.size(), 2u) << "nothing left to paint";
}

TEST_F(Painting, HiddenWindowsAreNotPaintedAndGetDcDrawsAtTheClientOrigin) {
    HWND w = top("p", WS_OVERLAPPED);
    paint_with(w, RGB(9, 9, 9));
    InvalidateRect(w, nullptr, TRUE);
    win::automation::pump();
    EXPECT_TRUE(paints.empty());
    ShowWindow(w, SW_SHOW);
    win::automation::pump();
    EXPECT_EQ(paints.size(), 1u);
    HWND c = child(w, 1, RECT{30, 30, 60, 60});
    win::automation::pump();
    HDC dc = GetDC(c);
    SetPixel(dc, 0, 0, RGB(255, 255, 255));
    SetPixel(dc, 40, 0, RGB(255, 255, 255));  // outside the child: clipped
    ReleaseDC(c, dc);
    EXPECT_EQ(win::automation::pixel(w, 30, 30), 0xffffffu);
    EXPECT_NE(win::automation::pixel(w, 70, 30), 0xffffffu);
}

}  // namespace
