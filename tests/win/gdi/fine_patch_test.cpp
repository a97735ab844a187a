// Pictures drawn into windows shown at twice their size: the interpolating
// enlargement and the patches kept beside the surface.
#include "fine_patch.h"

#include <gtest/gtest.h>

#include <vector>

#include "objects.h"
#include "picture.h"
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

std::vector<int> row_levels(const Surface& s, int y) {
    std::vector<int> out;
    for (int x = 0; x < s.width; ++x) out.push_back(level(s.at(x, y)));
    return out;
}

struct EnlargeCase {
    const char* name;
    int src_w, src_h, dst_w, dst_h;
    std::vector<int> levels;  // source, row-major
    bool smooth;
    std::vector<int> expected;  // output row 0
};

TEST(GdiFinePatch, EnlargingInterpolatesOnlyWhenAsked) {
    const std::vector<EnlargeCase> cases = {
        {"twice, linear", 2, 1, 4, 1, {0, 200}, true, {0, 50, 150, 200}},
        {"twice, nearest", 2, 1, 4, 1, {0, 200}, false, {0, 0, 200, 200}},
        {"edges repeat", 3, 1, 6, 1, {100, 0, 100}, true, {100, 75, 25, 25, 75, 100}},
        {"shrinking averages either way", 4, 1, 2, 1, {0, 100, 200, 200}, true, {50, 200}},
        {"same size copies", 3, 1, 3, 1, {7, 8, 9}, true, {7, 8, 9}},
        // Rows interpolate too: output row 0 of 1 x 2 -> 1 x 4 mixes rows 0 and 1.
        {"rows", 1, 2, 1, 4, {0, 200}, true, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Grey g(c.src_w, c.src_h, {});
        g.bits.clear();
        for (int v : c.levels) g.bits.push_back(std::uint32_t(v) * 0x010101u);
        auto f = parse_dib(&g.bmi, DIB_RGB_COLORS);
        ASSERT_TRUE(f);
        Surface out(c.dst_w, c.dst_h);
        ScaleJob job;
        job.format = &*f;
        job.bits = g.bits.data();
        job.src_w = c.src_w, job.src_h = c.src_h;
        job.target = &out;
        job.dst = job.clip = RECT{0, 0, c.dst_w, c.dst_h};
        job.smooth_enlarge = c.smooth;
        scale_dib(job);
        EXPECT_EQ(row_levels(out, 0), c.expected);
        if (c.src_h < c.dst_h) {
            std::vector<int> column;
            for (int y = 0; y < c.dst_h; ++y) column.push_back(level(out.at(0, y)));
            EXPECT_EQ(column, (std::vector<int>{0, 50, 150, 200}));
        }
    }
}

TEST(GdiFinePatch, KeptOnlyForWindowSurfacesAtScaleTwo) {
    Grey g(2, 1, {0, 200});
    {
        TestDc t(6, 3);
        StretchDIBits(t.dc, 1, 1, 2, 1, 0, 0, 2, 1, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
        EXPECT_TRUE(t.surface->fine_patches.empty()) << "scale 1 keeps nothing";
    }
    ScaleGuard two(2);
    TestDc t(6, 3, 0xffffff);
    // Half of the picture falls outside the clip: the patch covers what was drawn.
    StretchDIBits(t.dc, 4, 1, 4, 1, 0, 0, 2, 1, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
    ASSERT_EQ(t.surface->fine_patches.size(), 1u);
    const FinePatch& p = t.surface->fine_patches[0];
    EXPECT_EQ(p.area.left, 4);
    EXPECT_EQ(p.area.right, 6);
    EXPECT_EQ(p.area.top, 1);
    EXPECT_EQ(p.area.bottom, 2);
    EXPECT_EQ(p.drawn, (std::vector<std::uint32_t>{t.surface->at(4, 1), t.surface->at(5, 1)}));
    // 2 -> 8 columns, of which the first four are kept: 0, 0, 25, 75 (rows repeat).
    ASSERT_EQ(p.fine.size(), 8u);
    std::vector<int> fine;
    for (std::uint32_t v : p.fine) fine.push_back(level(v));
    EXPECT_EQ(fine, (std::vector<int>{0, 0, 25, 75, 0, 0, 25, 75}));

    // Memory DCs draw off screen: nothing to keep.
    HDC mem = CreateCompatibleDC(t.dc);
    HBITMAP bm = CreateCompatibleBitmap(t.dc, 4, 4);
    HGDIOBJ old = SelectObject(mem, bm);
    StretchDIBits(mem, 0, 0, 2, 1, 0, 0, 2, 1, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_TRUE(find_bitmap(bm)->surface->fine_patches.empty());
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteDC(mem);
}

TEST(GdiFinePatch, NewerPicturesReplaceTheOnesTheyOverlap) {
    ScaleGuard two(2);
    Grey g(2, 2, {0, 50, 100, 150});
    TestDc t(20, 4);
    auto draw = [&](int x) {
        StretchDIBits(t.dc, x, 0, 2, 2, 0, 0, 2, 2, g.bits.data(), &g.bmi, DIB_RGB_COLORS, SRCCOPY);
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
    t.surface->resize(10, 4);
    EXPECT_TRUE(t.surface->fine_patches.empty()) << "a resized window is drawn again";
}

}  // namespace
}  // namespace win::gdi
