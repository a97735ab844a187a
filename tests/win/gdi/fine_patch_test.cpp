// Pictures drawn into windows shown at twice their size: the patches kept
// beside the surface.
#include "win/gdi/fine_patch.h"

#include <gtest/gtest.h>

#include <vector>

#include "picture.h"
#include "win/gdi/objects.h"
#include "winuser.h"

namespace win::gdi {
namespace {

using test::TestDc;

struct ScaleGuard {
    explicit ScaleGuard(int s) { set_window_scale(s); }
    ~ScaleGuard() { set_window_scale(1); }
};

// A top-down 32-bit picture of w x h grey levels.
struct Grey {
    BITMAPINFO bmi{};
    std::vector<std::uint32_t> bits;
    Grey(int w, int h, std::initializer_list<int> levels) {
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        for (int v : levels) bits.push_back(std::uint32_t(v) * 0x010101u);
    }
};

int level(std::uint32_t pixel) { return int(pixel & 0xff); }

TEST(GdiFinePatch, KeptOnlyForWindowSurfacesAtScaleTwo) {
    Grey g(4, 1, {0, 100, 200, 250});
    {
        TestDc t(6, 3);
        StretchDIBits(t.dc, 1, 1, 2, 1, 0, 0, 4, 1, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
        EXPECT_TRUE(t.surface->fine_patches.empty()) << "scale 1 keeps nothing";
    }
    ScaleGuard two(2);
    TestDc t(5, 3, 0xffffff);
    // Halved, and half of it falls outside the clip: the patch covers what was drawn.
    StretchDIBits(t.dc, 4, 1, 2, 1, 0, 0, 4, 1, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
    ASSERT_EQ(t.surface->fine_patches.size(), 1u);
    const FinePatch& p = t.surface->fine_patches[0];
    EXPECT_EQ(p.area.left, 4);
    EXPECT_EQ(p.area.right, 5);
    EXPECT_EQ(p.area.top, 1);
    EXPECT_EQ(p.area.bottom, 2);
    EXPECT_EQ(level(t.surface->at(4, 1)), 50);
    EXPECT_EQ(p.drawn, (std::vector<std::uint32_t>{t.surface->at(4, 1)}));
    // At twice the size the picture is not halved: its own first two pixels, on two rows.
    std::vector<int> fine;
    for (std::uint32_t v : p.fine) fine.push_back(level(v));
    EXPECT_EQ(fine, (std::vector<int>{0, 100, 0, 100}));

    // Memory DCs draw off screen: nothing to keep.
    HDC mem = CreateCompatibleDC(t.dc);
    HBITMAP bm = CreateCompatibleBitmap(t.dc, 4, 4);
    HGDIOBJ old = SelectObject(mem, bm);
    StretchDIBits(mem, 0, 0, 2, 1, 0, 0, 4, 1, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_TRUE(find_bitmap(bm)->surface->fine_patches.empty());
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
}

TEST(GdiFinePatch, NewerPicturesReplaceTheOnesTheyOverlap) {
    ScaleGuard two(2);
    Grey g(4, 4, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150});
    TestDc t(20, 4);
    // Halved, as big frames are.
    auto draw = [&](int x) {
        StretchDIBits(t.dc, x, 0, 2, 2, 0, 0, 4, 4, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
    };
    draw(0);
    draw(4);
    ASSERT_EQ(t.surface->fine_patches.size(), 2u);
    draw(5);  // overlaps the one at 4 only
    ASSERT_EQ(t.surface->fine_patches.size(), 2u);
    EXPECT_EQ(t.surface->fine_patches[0].area.left, 0);
    EXPECT_EQ(t.surface->fine_patches[1].area.left, 5);
    for (int x = 8; x < 20; x += 2) draw(x);
    EXPECT_EQ(t.surface->fine_patches.size(), 4u) << "only the newest few are kept";
    EXPECT_EQ(t.surface->fine_patches.back().area.left, 18);
    // At its own size the picture is kept as drawn (doubled on screen), and still replaces.
    Grey one(1, 1, {9});
    StretchDIBits(t.dc, 18, 0, 1, 1, 0, 0, 1, 1, one.bits.data(), &one.bmi, DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(t.surface->fine_patches.size(), 3u);
    EXPECT_NE(t.surface->fine_patches.back().area.left, 18);
    t.surface->resize(10, 4);
    EXPECT_TRUE(t.surface->fine_patches.empty()) << "a resized window is drawn again";
}

}  // namespace
}  // namespace win::gdi
