// Rectangles, lines, blits and icons at the exact pixel.
#include <gtest/gtest.h>

#include "picture.h"
#include "win/gdi/icon.h"
#include "win/gdi/objects.h"
#include "winuser.h"

namespace win::gdi {
namespace {

using test::lines;
using test::same_picture;
using test::TestDc;

const std::map<std::uint32_t, char> kLegend = {{0xffffff, '.'}, {0x000000, '#'}, {0xff0000, 'r'},
                                               {0x0000ff, 'b'}, {0x00ff00, 'g'}, {0xffff00, 'y'}};

HBRUSH brush(COLORREF c) { return CreateSolidBrush(c); }

TEST(GdiDraw, FillRectExcludesRightAndBottomAndFrameRectDrawsOnePixel) {
    TestDc t(6, 5);
    RECT r{1, 1, 4, 3};
    HBRUSH red = brush(RGB(255, 0, 0));
    EXPECT_EQ(FillRect(t.dc, &r, red), 1);
    RECT f{3, 2, 6, 5};
    HBRUSH blue = brush(RGB(0, 0, 255));
    EXPECT_EQ(FrameRect(t.dc, &f, blue), 1);
    EXPECT_TRUE(same_picture(*t.surface, lines({"......", ".rrr..", ".rrbbb", "...b.b", "...bbb"}),
                             kLegend, "fill_frame"));
    // The system colour index + 1 stands for a brush.
    RECT one{0, 0, 1, 1};
    FillRect(t.dc, &one, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(GetPixel(t.dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    RECT backwards{4, 4, 2, 2};
    FillRect(t.dc, &backwards, red);  // empty: draws nothing
    EXPECT_EQ(t.surface->at(2, 3), 0xffffffu);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(GdiDraw, RectangleUsesPenOutlineAndBrushFill) {
    TestDc t(7, 5);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HBRUSH red = brush(RGB(255, 0, 0));
    SelectObject(t.dc, pen);
    SelectObject(t.dc, red);
    EXPECT_TRUE(Rectangle(t.dc, 0, 0, 4, 4));
    SelectObject(t.dc, GetStockObject(NULL_PEN));
    SelectObject(t.dc, GetStockObject(BLACK_BRUSH));
    // Without a pen the fill stops one pixel short on the right and bottom.
    EXPECT_TRUE(Rectangle(t.dc, 4, 1, 7, 4));
    EXPECT_TRUE(same_picture(*t.surface,
                             lines({"bbbb...", "brrb##.", "brrb##.", "bbbb...", "......."}),
                             kLegend, "rectangle"));
    SelectObject(t.dc, GetStockObject(BLACK_PEN));
    SelectObject(t.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(red);
}

TEST(GdiDraw, LineToLeavesTheEndPointAndMovesThePosition) {
    TestDc t(8, 6);
    MoveToEx(t.dc, 0, 0, nullptr);
    EXPECT_TRUE(LineTo(t.dc, 5, 0));  // horizontal
    EXPECT_TRUE(LineTo(t.dc, 5, 4));  // vertical, continues from (5,0)
    POINT at{};
    MoveToEx(t.dc, 0, 2, &at);
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(at.y, 4);
    LineTo(t.dc, 3, 5);  // steep diagonal down
    MoveToEx(t.dc, 7, 5, nullptr);
    LineTo(t.dc, 7, 5);  // zero length: nothing
    MoveToEx(t.dc, 7, 4, nullptr);
    LineTo(t.dc, 7, 1);  // upwards
    EXPECT_TRUE(same_picture(
        *t.surface, lines({"######..", ".....#..", "#....#.#", ".#...#.#", "..#....#", "........"}),
        kLegend, "lineto"));
    // A null pen draws nothing but still moves.
    SelectObject(t.dc, GetStockObject(NULL_PEN));
    MoveToEx(t.dc, 0, 5, nullptr);
    LineTo(t.dc, 3, 5);
    EXPECT_EQ(t.surface->at(0, 5), 0xffffffu);
    MoveToEx(t.dc, 0, 0, &at);
    EXPECT_EQ(at.x, 3);
}

TEST(GdiDraw, ShallowLinesStepEvenly) {
    TestDc t(7, 3);
    MoveToEx(t.dc, 0, 0, nullptr);
    LineTo(t.dc, 6, 2);
    EXPECT_TRUE(
        same_picture(*t.surface, lines({"##.....", "..###..", ".....#."}), kLegend, "shallow"));
}

TEST(GdiDraw, FocusRectIsDottedAndASecondCallErasesIt) {
    TestDc t(6, 4);
    RECT r{0, 0, 6, 4};
    EXPECT_TRUE(DrawFocusRect(t.dc, &r));
    EXPECT_TRUE(same_picture(*t.surface, lines({"#.#.#.", ".....#", "#.....", ".#.#.#"}), kLegend,
                             "focus"));
    DrawFocusRect(t.dc, &r);
    EXPECT_EQ(test::picture(*t.surface, kLegend).find('#'), std::string::npos);
}

TEST(GdiDraw, InvertAndPatBlt) {
    TestDc t(4, 2);
    RECT r{0, 0, 2, 2};
    InvertRect(t.dc, &r);
    HBRUSH red = brush(RGB(255, 0, 0));
    SelectObject(t.dc, red);
    EXPECT_TRUE(PatBlt(t.dc, 2, 0, 2, 1, PATCOPY));
    EXPECT_TRUE(PatBlt(t.dc, 4, 1, -1, 1, WHITENESS));  // negative width counts leftwards
    EXPECT_TRUE(PatBlt(t.dc, 1, 1, 1, 1, PATINVERT));   // black ^ red
    EXPECT_TRUE(same_picture(*t.surface, lines({"##rr", "#r.."}), kLegend, "patblt"));
    EXPECT_FALSE(PatBlt(t.dc, 0, 0, 1, 1, SRCCOPY));  // needs a source
    SelectObject(t.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(GdiBlit, MemoryBitmapToWindowAndRasterOperations) {
    TestDc window(4, 2);
    HDC mem = CreateCompatibleDC(window.dc);
    HBITMAP bm = CreateCompatibleBitmap(window.dc, 3, 1);
    HGDIOBJ old = SelectObject(mem, bm);
    SetPixel(mem, 0, 0, RGB(255, 0, 0));
    SetPixel(mem, 1, 0, RGB(0, 255, 0));
    SetPixel(mem, 2, 0, RGB(0, 0, 255));
    EXPECT_TRUE(BitBlt(window.dc, 1, 0, 3, 1, mem, 0, 0, SRCCOPY));
    // SRCAND with a blue destination keeps only what both have.
    RECT row{0, 1, 4, 2};
    HBRUSH blue = brush(RGB(0, 0, 255));
    FillRect(window.dc, &row, blue);
    EXPECT_TRUE(BitBlt(window.dc, 0, 1, 3, 1, mem, 0, 0, SRCAND));
    EXPECT_TRUE(BitBlt(window.dc, 3, 1, 1, 1, mem, 0, 0, SRCPAINT));  // blue | red
    EXPECT_TRUE(same_picture(*window.surface, lines({".rgb", "##b?"}), kLegend, "bitblt"));
    EXPECT_EQ(window.surface->at(3, 1), 0xff00ffu);
    EXPECT_TRUE(BitBlt(window.dc, 0, 0, 4, 1, nullptr, 0, 0, BLACKNESS));  // no source needed
    EXPECT_EQ(window.surface->at(3, 0), 0u);
    EXPECT_FALSE(BitBlt(window.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(window.dc, 0x7fffff00, 0, 0x7fffffff, 1, mem, 0, 0, SRCCOPY));
    SelectObject(mem, old);
    DeleteObject(bm);
    DeleteObject(blue);
    DeleteDC(mem);
}

TEST(GdiBlit, OverlappingCopyWithinOneSurfaceAndStretching) {
    TestDc t(4, 4);
    SetPixel(t.dc, 0, 0, RGB(255, 0, 0));
    SetPixel(t.dc, 1, 0, RGB(0, 255, 0));
    // Shift the first row right by one, on itself.
    EXPECT_TRUE(BitBlt(t.dc, 1, 0, 3, 1, t.dc, 0, 0, SRCCOPY));
    // Double the two pixels at (1,0) into a 4 x 2 block, and mirror them.
    EXPECT_TRUE(StretchBlt(t.dc, 0, 1, 4, 2, t.dc, 1, 0, 2, 1, SRCCOPY));
    EXPECT_TRUE(StretchBlt(t.dc, 3, 3, -2, 1, t.dc, 1, 0, 2, 1, SRCCOPY));
    EXPECT_TRUE(
        same_picture(*t.surface, lines({"rrg.", "rrgg", "rrgg", ".gr."}), kLegend, "stretchblt"));
}

TEST(GdiIcon, DrawIconBlendsByAlphaAndScales) {
    TestDc t(6, 2);
    Surface img(2, 1, 0);
    img.row(0)[0] = 0xff0000;
    img.row(0)[1] = 0x0000ff;
    HICON icon = create_icon(img, {255, 0});
    ASSERT_TRUE(icon);
    EXPECT_TRUE(DrawIconEx(t.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_TRUE(DrawIconEx(t.dc, 2, 0, icon, 4, 2, 0, nullptr, DI_NORMAL));
    EXPECT_TRUE(same_picture(*t.surface, lines({"r.rr..", "..rr.."}), kLegend, "icon"));
    Surface grey(1, 1, 0);
    HICON half = create_icon(grey, {128});
    DrawIconEx(t.dc, 5, 1, half, 1, 1, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(t.surface->at(5, 1), 0x7f7f7fu);
    destroy_icon(icon);
    destroy_icon(half);
    EXPECT_FALSE(DrawIconEx(t.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

}  // namespace
}  // namespace win::gdi

namespace win::gdi {
namespace {

TEST(GdiShapes, PolygonFillsInsideAndOutlinesWithThePen) {
    TestDc t(6, 5);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(t.dc, red);
    SelectObject(t.dc, GetStockObject(NULL_PEN));
    const POINT square[4] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
    EXPECT_TRUE(Polygon(t.dc, square, 4));
    EXPECT_EQ(test::picture(*t.surface, kLegend),
              lines({"......", ".rrr..", ".rrr..", ".rrr..", "......"}));
    SelectObject(t.dc, GetStockObject(BLACK_PEN));
    SelectObject(t.dc, GetStockObject(NULL_BRUSH));
    const POINT triangle[3] = {{0, 0}, {5, 0}, {0, 4}};
    EXPECT_TRUE(Polygon(t.dc, triangle, 3));
    EXPECT_EQ(t.surface->at(5, 0), 0u);  // every corner gets the pen
    EXPECT_EQ(t.surface->at(0, 4), 0u);
    EXPECT_EQ(t.surface->at(2, 1), 0xff0000u);  // hollow brush leaves the inside
    EXPECT_FALSE(Polygon(t.dc, triangle, 1));
    SelectObject(t.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(GdiShapes, EllipseStaysInItsBoxAndIsSymmetric) {
    TestDc t(12, 9, 0x00ff00);
    EXPECT_TRUE(Ellipse(t.dc, 1, 1, 11, 8));
    const Surface& s = *t.surface;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool outside = x < 1 || x >= 11 || y < 1 || y >= 8;
            if (outside) {
                EXPECT_EQ(s.at(x, y), 0x00ff00u) << x << "," << y;
            }
            EXPECT_EQ(s.at(x, y), s.at(11 - x, y))
                << x << "," << y;  // mirror across the centre column
            EXPECT_EQ(s.at(x, y), s.at(x, 8 - y)) << x << "," << y;
        }
    EXPECT_EQ(s.at(1, 4), 0u);         // pen at the left extreme
    EXPECT_EQ(s.at(5, 4), 0xffffffu);  // white brush inside
    EXPECT_EQ(s.at(1, 1), 0x00ff00u);  // corners of the box stay
}

}  // namespace
}  // namespace win::gdi

namespace win::gdi {
namespace {

TEST(GdiDraw, LinesFarOutsideAreClippedWithoutWalkingThem) {
    // The same line drawn whole and drawn through a clip agree where visible.
    TestDc whole(40, 20), clipped(40, 20);
    IntersectClipRect(clipped.dc, 10, 3, 30, 15);
    for (HDC dc : {whole.dc, clipped.dc}) {
        MoveToEx(dc, 1, 2, nullptr);
        LineTo(dc, 37, 17);
        MoveToEx(dc, 35, 1, nullptr);
        LineTo(dc, 12, 19);
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 3 && y < 15;
            EXPECT_EQ(clipped.surface->at(x, y), inside ? whole.surface->at(x, y) : 0xffffffu)
                << x << "," << y;
        }
    // Two billion steps long: only the visible part costs anything.
    MoveToEx(whole.dc, -2000000000, 5, nullptr);
    EXPECT_TRUE(LineTo(whole.dc, 2000000000, 5));
    EXPECT_EQ(whole.surface->at(0, 5), 0u);
    EXPECT_EQ(whole.surface->at(39, 5), 0u);
}

}  // namespace
}  // namespace win::gdi
