// A window surface shown at twice its size: pictures drawn smaller than
// they are show their detail, everything else (and anything drawn over a
// picture later) is doubled.
#include "win/x11/doubled_surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "win/gdi/device_context.h"
#include "win/gdi/fine_patch.h"
#include "winuser.h"

namespace win::x11 {
namespace {

constexpr int kW = 12, kH = 10;
const RECT kFrame{3, 2, 9, 8};  // where the 6 x 6 frame lands

struct WindowAtScaleTwo {
    std::shared_ptr<gdi::Surface> surface = std::make_shared<gdi::Surface>(kW, kH, 0x336699);
    HDC dc = gdi::create_surface_dc(surface, {0, 0}, {0, 0, kW, kH}, nullptr);
    gdi::Surface doubled{2 * kW, 2 * kH};
    WindowAtScaleTwo() { gdi::set_window_scale(2); }
    ~WindowAtScaleTwo() {
        gdi::delete_surface_dc(dc);
        gdi::set_window_scale(1);
    }
    // A 12 x 12 frame of one-pixel black and white columns, halved as the
    // frame view halves big frames: grey at 1x.
    void draw_frame() {
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 12, -12, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint32_t> bits(144);
        for (int i = 0; i < 144; ++i) bits[std::size_t(i)] = i % 2 ? 0xffffff : 0x000000;
        StretchDIBits(dc, kFrame.left, kFrame.top, 6, 6, 0, 0, 12, 12, bits.data(), &bmi,
                      DIB_RGB_COLORS, SRCCOPY);
    }
    void present() { put_doubled(*surface, RECT{0, 0, kW, kH}, doubled); }
    // Whether the 2 x 2 block of window pixel (x, y) is one colour, that pixel's.
    bool block(int x, int y) const {
        const std::uint32_t p = surface->at(x, y);
        return doubled.at(2 * x, 2 * y) == p && doubled.at(2 * x + 1, 2 * y) == p &&
               doubled.at(2 * x, 2 * y + 1) == p && doubled.at(2 * x + 1, 2 * y + 1) == p;
    }
};

bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST(X11DoubledSurface, FramesShowTheirDetailAndTheRestIsDoubled) {
    WindowAtScaleTwo w;
    w.draw_frame();
    w.present();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (inside(kFrame, x, y)) continue;
            EXPECT_TRUE(w.block(x, y)) << x << "," << y;
        }
    // The columns averaged to grey at 1x are back on screen.
    for (int y = 2 * kFrame.top; y < 2 * kFrame.bottom; ++y)
        for (int x = 2 * kFrame.left; x < 2 * kFrame.right; ++x) {
            EXPECT_EQ(w.surface->at(x / 2, y / 2), 0x808080u);
            ASSERT_EQ(w.doubled.at(x, y), x % 2 ? 0xffffffu : 0x000000u) << x << "," << y;
        }
}

TEST(X11DoubledSurface, LaterDrawingOverAFrameWins) {
    WindowAtScaleTwo w;
    w.draw_frame();
    // A red bar across the middle of the frame, drawn after it.
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT bar{0, 4, kW, 6};
    FillRect(w.dc, &bar, red);
    DeleteObject(red);
    w.present();
    for (int x = 0; x < kW; ++x)
        for (int y = bar.top; y < bar.bottom; ++y) {
            EXPECT_EQ(w.surface->at(x, y), 0xff0000u);
            EXPECT_TRUE(w.block(x, y)) << x << "," << y;
        }
    // The rest of the frame still comes from the fine picture.
    EXPECT_FALSE(w.block(kFrame.left + 2, kFrame.top));
    EXPECT_FALSE(w.block(kFrame.left + 3, kFrame.bottom - 1));

    // Drawing the frame again makes it whole.
    w.draw_frame();
    w.present();
    for (int y = kFrame.top; y < kFrame.bottom; ++y) EXPECT_FALSE(w.block(kFrame.left + 2, y)) << y;
}

TEST(X11DoubledSurface, OnlyTheDirtyPartIsWritten) {
    WindowAtScaleTwo w;
    w.draw_frame();
    const std::uint32_t untouched = 0x123456;
    w.doubled.pixels.assign(w.doubled.pixels.size(), untouched);
    put_doubled(*w.surface, RECT{kFrame.left + 2, kFrame.top, kFrame.left + 4, kFrame.top + 1},
                w.doubled);
    EXPECT_EQ(w.doubled.at(2 * (kFrame.left + 2) + 1, 2 * kFrame.top), 0xffffffu);
    EXPECT_EQ(w.doubled.at(2 * (kFrame.left + 1), 2 * kFrame.top), untouched);
    EXPECT_EQ(w.doubled.at(2 * (kFrame.left + 2), 2 * (kFrame.top + 1)), untouched);
    // Rectangles reaching outside the surface are clipped, not followed.
    put_doubled(*w.surface, RECT{-5, -5, 100, 100}, w.doubled);
    EXPECT_TRUE(w.block(0, 0));
    EXPECT_TRUE(w.block(kW - 1, kH - 1));
}

}  // namespace
}  // namespace win::x11
