// DIBs onto surfaces: every bit depth, both row orders, scaling, source
// rectangles, clipping and the way back with GetDIBits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "picture.h"
#include "win/gdi/dib_format.h"
#include "winuser.h"

namespace win::gdi {
namespace {

using test::lines;
using test::same_picture;
using test::TestDc;

const std::map<std::uint32_t, char> kLegend = {{0xff0000, 'r'}, {0x00ff00, 'g'}, {0x0000ff, 'b'},
                                               {0xffff00, 'y'}, {0x000000, '#'}, {0xffffff, '.'},
                                               {0x00ffff, 'c'}, {0xff00ff, 'm'}, {0x808080, 'h'}};

// A 4 x 3 picture (top row first) whose colours every format can hold.
const std::uint32_t kPicture[3][4] = {{0xff0000, 0x00ff00, 0x0000ff, 0xffff00},
                                      {0x000000, 0xffffff, 0x00ffff, 0xff00ff},
                                      {0x00ff00, 0x00ff00, 0xff0000, 0x000000}};
const char* const kPictureText = "rgby\n#.cm\nggr#";

struct Dib {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
    const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

// Encodes kPicture with our own writer in the asked layout.
Dib make_dib(int bits, bool top_down, bool bitfields565 = false) {
    Dib d;
    d.info.resize(sizeof(BITMAPINFOHEADER) + 256 * 4);
    BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER),
                       4,
                       top_down ? -3 : 3,
                       1,
                       WORD(bits),
                       DWORD(bitfields565 ? BI_BITFIELDS : BI_RGB),
                       0,
                       0,
                       0,
                       0,
                       0};
    std::memcpy(d.info.data(), &h, sizeof h);
    auto* extra = reinterpret_cast<std::uint32_t*>(d.info.data() + sizeof h);
    if (bits == 8) {
        const std::uint32_t colours[8] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00,
                                          0,        0xffffff, 0x00ffff, 0xff00ff};
        // Put them at the top of the palette so that index 0 is not the answer by luck.
        for (int i = 0; i < 8; ++i) extra[248 + i] = colours[i];
    }
    if (bitfields565) extra[0] = 0xf800, extra[1] = 0x07e0, extra[2] = 0x001f;
    auto f = parse_dib(d.bmi(), DIB_RGB_COLORS);
    EXPECT_TRUE(f);
    d.bits.assign(f->image_size(), 0xaa);
    for (int y = 0; y < 3; ++y) encode_row(*f, kPicture[y], 4, f->row(d.bits.data(), y));
    return d;
}

struct Layout {
    int bits;
    bool top_down;
    bool bitfields;
};

class DibLayouts : public testing::TestWithParam<Layout> {};

TEST_P(DibLayouts, BothRoutesDrawTheSamePicture) {
    const Layout l = GetParam();
    Dib d = make_dib(l.bits, l.top_down, l.bitfields);
    TestDc a(4, 3), b(4, 3);
    EXPECT_EQ(StretchDIBits(a.dc, 0, 0, 4, 3, 0, 0, 4, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS,
                            SRCCOPY),
              3);
    EXPECT_EQ(
        SetDIBitsToDevice(b.dc, 0, 0, 4, 3, 0, 0, 0, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS), 3);
    const std::string name = "dib" + std::to_string(l.bits) + (l.top_down ? "td" : "bu");
    EXPECT_TRUE(same_picture(*a.surface, kPictureText, kLegend, name + "_stretch"));
    EXPECT_TRUE(same_picture(*b.surface, kPictureText, kLegend, name + "_set"));
}

INSTANTIATE_TEST_SUITE_P(AllDepths, DibLayouts,
                         testing::Values(Layout{8, false, false}, Layout{8, true, false},
                                         Layout{16, false, false}, Layout{16, true, false},
                                         Layout{16, false, true}, Layout{24, false, false},
                                         Layout{24, true, false}, Layout{32, false, false},
                                         Layout{32, true, false}));

TEST(GdiDib, SourceRectanglesCountFromTheBottomOfBottomUpPictures) {
    Dib up = make_dib(24, false), down = make_dib(24, true);
    TestDc a(2, 1), b(2, 1);
    // Bottom-up: ySrc 0 is the bottom row.
    StretchDIBits(a.dc, 0, 0, 2, 1, 1, 0, 2, 1, up.bits.data(), up.bmi(), DIB_RGB_COLORS, SRCCOPY);
    StretchDIBits(b.dc, 0, 0, 2, 1, 1, 0, 2, 1, down.bits.data(), down.bmi(), DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(test::picture(*a.surface, kLegend), "gr");
    EXPECT_EQ(test::picture(*b.surface, kLegend), "gb");
    TestDc c(2, 2);
    SetDIBitsToDevice(c.dc, 0, 0, 2, 2, 2, 0, 0, 3, up.bits.data(), up.bmi(), DIB_RGB_COLORS);
    EXPECT_EQ(test::picture(*c.surface, kLegend), "cm\nr#");
}

TEST(GdiDib, BandsOfScanLines) {
    Dib up = make_dib(32, false);
    const std::size_t stride = 16;
    TestDc t(4, 3, 0x808080);
    // Only scan 1 (the middle row) is present in this band.
    EXPECT_EQ(SetDIBitsToDevice(t.dc, 0, 0, 4, 3, 0, 0, 1, 1, up.bits.data() + stride, up.bmi(),
                                DIB_RGB_COLORS),
              1);
    EXPECT_EQ(test::picture(*t.surface, kLegend), "hhhh\n#.cm\nhhhh");
}

TEST(GdiDib, ShrinkingAveragesAndEnlargingRepeats) {
    // 4 x 2 source: a white/black checker column pair and a red/blue pair.
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const std::uint32_t src[8] = {0xffffff, 0x000000, 0xff0000, 0xff0000,
                                  0x000000, 0xffffff, 0x0000ff, 0x0000ff};
    TestDc half(2, 1);
    StretchDIBits(half.dc, 0, 0, 2, 1, 0, 0, 4, 2, src, &bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(half.surface->at(0, 0), 0x808080u);
    EXPECT_EQ(half.surface->at(1, 0), 0x800080u);
    // Three into two: the middle source pixel is split between both outputs.
    const std::uint32_t row3[3] = {0xff0000, 0x00ff00, 0x0000ff};
    bmi.bmiHeader.biWidth = 3;
    bmi.bmiHeader.biHeight = -1;
    TestDc third(2, 1);
    StretchDIBits(third.dc, 0, 0, 2, 1, 0, 0, 3, 1, row3, &bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(third.surface->at(0, 0), 0xaa5500u);
    EXPECT_EQ(third.surface->at(1, 0), 0x0055aau);
    // Enlarging picks the nearest pixel.
    TestDc big(6, 2);
    StretchDIBits(big.dc, 0, 0, 6, 2, 0, 0, 3, 1, row3, &bmi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(test::picture(*big.surface, kLegend), "rrggbb\nrrggbb");
}

// A 16 x 12 picture tiled from kPicture, in any layout.
Dib make_big_dib(int bits) {
    Dib small = make_dib(bits, false);
    Dib d;
    d.info = small.info;
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(d.info.data());
    h->biWidth = 16;
    h->biHeight = 12;
    auto big = parse_dib(d.bmi(), DIB_RGB_COLORS);
    d.bits.assign(big->image_size(), 0);
    std::uint32_t row[16];
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) row[x] = kPicture[(y / 2) % 3][(x / 2 + y / 3) % 4];
        encode_row(*big, row, 16, big->row(d.bits.data(), y));
    }
    return d;
}

TEST(GdiDib, EveryDepthShrinksToTheSameAverages) {
    // Halving, quartering and a third: the depths differ only in how rows are read.
    const std::pair<int, int> sizes[] = {{8, 6}, {4, 3}, {5, 4}};
    for (auto [w, h] : sizes) {
        Dib ref = make_big_dib(24);
        TestDc want(w, h);
        StretchDIBits(want.dc, 0, 0, w, h, 0, 0, 16, 12, ref.bits.data(), ref.bmi(), DIB_RGB_COLORS,
                      SRCCOPY);
        for (int bits : {8, 16, 32}) {
            Dib d = make_big_dib(bits);
            TestDc got(w, h);
            StretchDIBits(got.dc, 0, 0, w, h, 0, 0, 16, 12, d.bits.data(), d.bmi(), DIB_RGB_COLORS,
                          SRCCOPY);
            EXPECT_EQ(got.surface->pixels, want.surface->pixels)
                << bits << " bits to " << w << "x" << h;
        }
    }
}

TEST(GdiDib, ClippedToTheDcAndToTheSurface) {
    Dib d = make_dib(24, false);
    TestDc t(5, 4, 0x808080);
    IntersectClipRect(t.dc, 0, 0, 4, 2);
    // Partly off the surface at the top-left, partly outside the clip at the bottom-right.
    StretchDIBits(t.dc, -1, -1, 4, 3, 0, 0, 4, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
    SetDIBitsToDevice(t.dc, 2, 1, 4, 3, 0, 0, 0, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS);
    EXPECT_TRUE(
        same_picture(*t.surface, lines({".cmhh", "grrgh", "hhhhh", "hhhhh"}), kLegend, "dib_clip"));
}

TEST(GdiDib, RefusesBadArgumentsWithoutDrawing) {
    Dib d = make_dib(24, false);
    TestDc t(2, 2, 0x808080);
    EXPECT_EQ(
        StretchDIBits(t.dc, 0, 0, 2, 2, 0, 0, 4, 3, nullptr, d.bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(t.dc, 0, 0, 2, 2, 0, 0, 4, 3, d.bits.data(), d.bmi(), DIB_PAL_COLORS,
                            SRCCOPY),
              0);
    EXPECT_EQ(StretchDIBits(t.dc, 0, 0, 2, 2, 0, 0, 0, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS,
                            SRCCOPY),
              0);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 4, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS,
                            SRCCOPY),
              0);
    EXPECT_EQ(
        SetDIBitsToDevice(t.dc, 0, 0, 2, 2, 0, 0, 5, 1, d.bits.data(), d.bmi(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(t.dc, 0x7fffff00, 0, 0x7fffffff, 2, 0, 0, 4, 3, d.bits.data(), d.bmi(),
                            DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_EQ(SetDIBitsToDevice(t.dc, 0, 0, 0xffffffff, 2, 0, 0, 0, 3, d.bits.data(), d.bmi(),
                                DIB_RGB_COLORS),
              0);
    RECT huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    SetViewportOrgEx(t.dc, 5, 5, nullptr);
    EXPECT_TRUE(
        DrawEdge(t.dc, &huge, EDGE_RAISED, BF_RECT));  // saturates, draws nothing visible here
    SetViewportOrgEx(t.dc, 0, 0, nullptr);
    EXPECT_EQ(test::picture(*t.surface, kLegend), "hh\nhh");
}

TEST(GdiDib, GetDibitsReadsABitmapBackInBothRowOrders) {
    Dib d = make_dib(24, false);
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(4, 3, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, bm);
    StretchDIBits(mem, 0, 0, 4, 3, 0, 0, 4, 3, d.bits.data(), d.bmi(), DIB_RGB_COLORS, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFO query{};
    query.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_NE(GetDIBits(mem, bm, 0, 3, nullptr, &query, DIB_RGB_COLORS), 0);
    EXPECT_EQ(query.bmiHeader.biWidth, 4);
    EXPECT_EQ(query.bmiHeader.biHeight, 3);

    BITMAPINFO out{};
    out.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> bits(d.bits.size(), 0);
    EXPECT_EQ(GetDIBits(mem, bm, 0, 3, bits.data(), &out, DIB_RGB_COLORS), 3);
    EXPECT_EQ(bits, d.bits);
    out.bmiHeader.biBitCount = 32;
    out.bmiHeader.biHeight = -3;
    std::vector<std::uint32_t> top_down(12);
    EXPECT_EQ(GetDIBits(mem, bm, 0, 3, top_down.data(), &out, DIB_RGB_COLORS), 3);
    EXPECT_EQ(top_down[0], 0xff0000u);
    EXPECT_EQ(top_down[11], 0u);
    EXPECT_EQ(top_down[8], 0x00ff00u);
    out.bmiHeader.biBitCount = 8;
    EXPECT_EQ(GetDIBits(mem, bm, 0, 3, top_down.data(), &out, DIB_RGB_COLORS), 0);
    DeleteObject(bm);
    DeleteDC(mem);
}

TEST(GdiDib, DibSectionBitsAndDrawingStayInStep) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* raw = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_TRUE(dib);
    auto* bits = static_cast<std::uint8_t*>(raw);
    bits[2] = 0xff;  // bottom-left pixel: red (B G R order, bottom row first)
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    TestDc t(2, 2);
    BitBlt(t.dc, 0, 0, 2, 2, mem, 0, 0, SRCCOPY);
    EXPECT_EQ(t.surface->at(0, 1), 0xff0000u);
    EXPECT_EQ(t.surface->at(0, 0), 0u);
    // Drawing lands in the caller's bits: top-right is the second row in memory.
    SetPixel(mem, 1, 0, RGB(0, 0, 255));
    EXPECT_EQ(bits[8 + 3], 0xff);
    EXPECT_EQ(bits[8 + 5], 0x00);

    // Top-down 32-bit sections share the surface memory directly.
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP direct = CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_TRUE(direct);
    SelectObject(mem, direct);
    SetPixel(mem, 1, 1, RGB(0, 255, 0));
    EXPECT_EQ(static_cast<std::uint32_t*>(raw)[3], 0x00ff00u);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteObject(direct);
    DeleteDC(mem);
    bmi.bmiHeader.biCompression = BI_RLE8;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &raw, nullptr, 0), nullptr);
    EXPECT_EQ(raw, nullptr);
}

}  // namespace
}  // namespace win::gdi
