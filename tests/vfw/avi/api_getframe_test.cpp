// Uncompressed frames through AVIStreamGetFrame: every supported source
// depth into every requested depth, row order and padding, palettes, and
// requests that must be refused.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "hand_made.h"
#include "vfw.h"

using namespace avitest;

namespace {

struct Frames {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    Frames(const TempDir& dir, const Bytes& format, const std::vector<Bytes>& frames,
           const char* twocc = "db") {
        vfw::riff::MainHeader m{};
        m.streams = 1;
        std::vector<HandChunk> chunks;
        for (const Bytes& f : frames) chunks.push_back({0, twocc, f, true});
        write_file(
            dir.file("f.avi"),
            build_avi(m, {{video_header(std::uint32_t(frames.size())), format, ""}}, chunks));
        EXPECT_EQ(AVIFileOpenA(&file, dir.file("f.avi").c_str(), 0, nullptr), AVIERR_OK);
        EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    }
    ~Frames() {
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }
};

BITMAPINFOHEADER request(LONG w, LONG h, WORD bits) {
    BITMAPINFOHEADER bi{};
    bi.biSize = 40;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = bits;
    bi.biSizeImage = DWORD(bits / 8 * w * h + 55);  // as the program asks
    return bi;
}

// 3x2 at 24 bits: rows of 9 bytes padded to 12; bottom row first.
Bytes rgb24_frame() {
    return Bytes{
        0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0, 0, 0,  // bottom: (B,G,R) x3
        0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0, 0, 0,  // top: blue, green, red
    };
}

const std::uint8_t* pixels(void* frame) { return static_cast<const std::uint8_t*>(frame) + 40; }

}  // namespace

TEST(AviGetFrame, Rgb24IntoEveryDepth) {
    TempDir dir;
    Frames f(dir, bitmap_info(3, 2, 24), {rgb24_frame()});

    BITMAPINFOHEADER want = request(3, 2, 24);
    PGETFRAME g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(bi, nullptr);
    EXPECT_EQ(bi->biSize, 40u);
    EXPECT_EQ(bi->biWidth, 3);
    EXPECT_EQ(bi->biHeight, 2);
    EXPECT_EQ(bi->biCompression, DWORD(BI_RGB));
    EXPECT_EQ(bi->biSizeImage, 24u);
    EXPECT_EQ(Bytes(pixels(bi), pixels(bi) + 24), rgb24_frame());
    EXPECT_EQ(AVIStreamGetFrame(g, 1), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(g, -1), nullptr);
    EXPECT_EQ(AVIStreamGetFrameClose(g), AVIERR_OK);
    EXPECT_EQ(AVIStreamGetFrame(g, 0), nullptr);  // stale
    EXPECT_EQ(AVIStreamGetFrameClose(g), AVIERR_BADHANDLE);

    want = request(3, 2, 32);
    g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    const std::uint8_t* p = pixels(AVIStreamGetFrame(g, 0));
    EXPECT_EQ(Bytes(p, p + 8), (Bytes{0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0}));
    EXPECT_EQ(Bytes(p + 12, p + 24), (Bytes{0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0}));
    AVIStreamGetFrameClose(g);

    want = request(3, 2, 16);
    g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    p = pixels(AVIStreamGetFrame(g, 0));
    auto px16 = [&](int row, int x) {
        return std::uint16_t(p[row * 8 + 2 * x] | p[row * 8 + 2 * x + 1] << 8);
    };
    EXPECT_EQ(px16(1, 0), 0x001F);  // blue in 5-5-5
    EXPECT_EQ(px16(1, 1), 0x03E0);
    EXPECT_EQ(px16(1, 2), 0x7C00);
    EXPECT_EQ(px16(0, 0), std::uint16_t((0x30 >> 3) << 10 | (0x20 >> 3) << 5 | (0x10 >> 3)));
    AVIStreamGetFrameClose(g);

    // True colour at 8 bits indexes a fixed palette; the primaries keep their colours.
    want = request(3, 2, 8);
    g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(bi, nullptr);
    EXPECT_EQ(bi->biClrUsed, 256u);
    const std::uint8_t* table = pixels(bi);
    p = table + 256 * 4;
    const Bytes source = rgb24_frame();
    for (int x = 0; x < 3; ++x)  // top row, stored second: blue, green, red
        EXPECT_EQ(Bytes(table + 4 * p[4 + x], table + 4 * p[4 + x] + 3),
                  Bytes(source.begin() + 12 + 3 * x, source.begin() + 15 + 3 * x))
            << "pixel " << x;
    AVIStreamGetFrameClose(g);
    want = request(3, 2, 24);
    want.biCompression = cc("MJPG");
    EXPECT_EQ(AVIStreamGetFrameOpen(f.stream, &want), nullptr);
}

// Uncompressed frames scale as compressed ones do: a flat picture stays flat
// at every size asked for, larger or smaller, at every depth.
TEST(AviGetFrame, ScalesToTheRequestedSize) {
    TempDir dir;
    Bytes flat;
    for (int i = 0; i < 4 * 2; ++i) flat.insert(flat.end(), {0x10, 0x80, 0xF0});
    Frames f(dir, bitmap_info(4, 2, 24), {flat});
    for (const auto& [w, h] : {std::pair{8, 4}, {2, 1}, {7, 3}}) {
        for (WORD bits : {24, 32}) {
            BITMAPINFOHEADER want = request(w, h, bits);
            PGETFRAME g = AVIStreamGetFrameOpen(f.stream, &want);
            ASSERT_NE(g, nullptr) << w << "x" << h;
            auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
            ASSERT_NE(bi, nullptr);
            EXPECT_EQ(bi->biWidth, w);
            EXPECT_EQ(bi->biHeight, h);
            const int stride = (w * bits / 8 + 3) / 4 * 4;
            EXPECT_EQ(bi->biSizeImage, DWORD(stride * h));
            const std::uint8_t* p = pixels(bi);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c)
                        EXPECT_NEAR(p[y * stride + x * bits / 8 + c], flat[c], 1)
                            << w << "x" << h << "x" << bits << " at " << x << "," << y;
            AVIStreamGetFrameClose(g);
        }
    }
}

TEST(AviGetFrame, PalettedSourceKeepsItsPalette) {
    TempDir dir;
    Bytes format =
        concat({bitmap_info(2, 2, 8, 0, 2), Bytes{0, 0, 0xFF, 0, 0xFF, 0, 0, 0}});  // red, blue
    Frames f(dir, format, {Bytes{0, 1, 0, 0, 1, 1, 0, 0}});
    BITMAPINFOHEADER want = request(2, 2, 8);
    PGETFRAME g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(bi, nullptr);
    EXPECT_EQ(bi->biClrUsed, 2u);
    const std::uint8_t* p = pixels(bi);
    EXPECT_EQ(Bytes(p, p + 16), (Bytes{0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0}));
    AVIStreamGetFrameClose(g);

    want = request(2, 2, 24);
    g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    p = pixels(AVIStreamGetFrame(g, 0));
    EXPECT_EQ(Bytes(p, p + 8), (Bytes{0, 0, 0xFF, 0xFF, 0, 0, 0, 0}));
    AVIStreamGetFrameClose(g);
}

TEST(AviGetFrame, FourBitSourceExpandsToEightBits) {
    TempDir dir;
    Bytes palette(16 * 4, 0);
    palette[4 * 3 + 1] = 0xAA;  // entry 3: green
    Frames f(dir, concat({bitmap_info(3, 1, 4), palette}), {Bytes{0x30, 0x10, 0, 0}});
    BITMAPINFOHEADER want = request(3, 1, 8);
    PGETFRAME g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(bi, nullptr);
    EXPECT_EQ(bi->biClrUsed, 16u);
    const std::uint8_t* p = pixels(bi) + 64;
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{3, 0, 1, 0}));
    AVIStreamGetFrameClose(g);
}

TEST(AviGetFrame, BitfieldsAndTopDownSources) {
    TempDir dir;
    // 2x2, 16 bits 5-6-5, stored top-down: top row red, white; bottom row green, black.
    Bytes format = concat({bitmap_info(2, -2, 16, BI_BITFIELDS),
                           Bytes{0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}});
    Frames f(dir, format, {Bytes{0x00, 0xF8, 0xFF, 0xFF, 0xE0, 0x07, 0x00, 0x00}});
    BITMAPINFOHEADER want = request(2, 2, 24);
    PGETFRAME g = AVIStreamGetFrameOpen(f.stream, &want);
    ASSERT_NE(g, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(bi, nullptr);
    EXPECT_EQ(bi->biHeight, 2);  // delivered bottom-up
    const std::uint8_t* p = pixels(bi);
    EXPECT_EQ(Bytes(p, p + 16),
              (Bytes{0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
    AVIStreamGetFrameClose(g);
}

TEST(AviGetFrame, DefaultAndRefusedStreams) {
    TempDir dir;
    {
        Frames f(dir, bitmap_info(3, 2, 24),
                 {rgb24_frame(), Bytes(5, 0)});  // second frame is short
        PGETFRAME g = AVIStreamGetFrameOpen(f.stream, nullptr);
        ASSERT_NE(g, nullptr);
        auto* bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
        ASSERT_NE(bi, nullptr);
        EXPECT_EQ(bi->biBitCount, 24);
        EXPECT_EQ(AVIStreamGetFrame(g, 1), nullptr);
        AVIStreamGetFrameClose(g);
        g = AVIStreamGetFrameOpen(
            f.stream, reinterpret_cast<LPBITMAPINFOHEADER>(AVIGETFRAMEF_BESTDISPLAYFMT));
        ASSERT_NE(g, nullptr);
        bi = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
        ASSERT_NE(bi, nullptr);
        EXPECT_EQ(bi->biBitCount, 32);
        AVIStreamGetFrameClose(g);
    }
    {
        // A compression no decoder knows.
        Bytes unknown = bitmap_info(3, 2, 24, cc("QQ9Z"));
        Frames f(dir, unknown, {Bytes(40, 1)}, "dc");
        EXPECT_EQ(AVIStreamGetFrameOpen(f.stream, nullptr), nullptr);
    }
}

TEST(AviGetFrame, DecompressorKeepsItsStreamAlive) {
    TempDir dir;
    PGETFRAME g = nullptr;
    PAVISTREAM stream = nullptr;
    {
        Frames f(dir, bitmap_info(3, 2, 24), {rgb24_frame()});
        stream = f.stream;
        g = AVIStreamGetFrameOpen(f.stream, nullptr);
        ASSERT_NE(g, nullptr);
    }
    // Stream and file were released by their owner; the decompressor still reads.
    EXPECT_NE(AVIStreamGetFrame(g, 0), nullptr);
    EXPECT_EQ(AVIStreamGetFrameClose(g), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(stream), -1);
}

TEST(AviGetFrame, HugeDimensionsAreRefusedWithoutAllocating) {
    TempDir dir;
    // Sizes whose row or frame bytes overflow 32 bits, or whose output would be huge.
    const std::pair<LONG, LONG> sizes[] = {{0x7FFFFFFF, 1}, {0x10000, 0x10000}, {1, 0x7FFFFFFF}};
    for (auto [w, h] : sizes) {
        Frames f(dir, bitmap_info(w, h, 32), {Bytes(64, 1)});
        EXPECT_EQ(AVIStreamGetFrameOpen(f.stream, nullptr), nullptr) << w << "x" << h;
    }
    // A 1-bit source may be small while its 32-bit output is not.
    Frames f(dir, concat({bitmap_info(16384, 8192, 1), Bytes(8, 0)}), {Bytes(64, 1)});
    BITMAPINFOHEADER want{};
    want.biSize = 40;
    want.biWidth = 16384;
    want.biHeight = 8192;
    want.biBitCount = 32;
    EXPECT_EQ(AVIStreamGetFrameOpen(f.stream, &want), nullptr);
    PGETFRAME g = AVIStreamGetFrameOpen(f.stream, nullptr);  // 8 bits out: within bounds
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(AVIStreamGetFrame(g, 0), nullptr);  // the sample is far too short
    AVIStreamGetFrameClose(g);
}

namespace {

Bytes le16(std::uint16_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
Bytes le32(std::uint32_t v) {
    return concat({le16(std::uint16_t(v)), le16(std::uint16_t(v >> 16))});
}

// A 2x2 source in one stored layout; its colours seen top-down, three bytes (B, G, R) each.
struct Layout {
    const char* name;
    Bytes format;
    Bytes frame;
    Bytes top_down_bgr;
};

std::vector<Layout> every_layout() {
    const Bytes red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, white{255, 255, 255},
        black{0, 0, 0};
    // Bottom row red, green; top row blue, white.
    const Bytes true_colour = concat({blue, white, red, green});
    Bytes palette(16 * 4, 0);  // entries 1..3: red, green, blue
    palette[4 + 2] = 255;
    palette[8 + 1] = 255;
    palette[12] = 255;
    const Bytes pad2{0, 0};
    const auto bitfields = [&](std::uint16_t bits, std::uint32_t r, std::uint32_t g,
                               std::uint32_t b) {
        return concat({bitmap_info(2, 2, bits, BI_BITFIELDS), le32(r), le32(g), le32(b)});
    };
    return {
        {"1-bit", concat({bitmap_info(2, 2, 1), Bytes{0, 0, 0, 0, 255, 255, 255, 0}}),
         Bytes{0x80, 0, 0, 0, 0x40, 0, 0, 0}, concat({black, white, white, black})},
        {"4-bit", concat({bitmap_info(2, 2, 4), palette}), Bytes{0x12, 0, 0, 0, 0x30, 0, 0, 0},
         concat({blue, black, red, green})},
        {"8-bit",
         concat({bitmap_info(2, 2, 8, 0, 4), Bytes(palette.begin(), palette.begin() + 16)}),
         Bytes{1, 2, 0, 0, 3, 0, 0, 0}, concat({blue, black, red, green})},
        {"16-bit 5-5-5", bitmap_info(2, 2, 16),
         concat({le16(0x7C00), le16(0x03E0), le16(0x001F), le16(0x7FFF)}), true_colour},
        {"16-bit 5-6-5", bitfields(16, 0xF800, 0x07E0, 0x001F),
         concat({le16(0xF800), le16(0x07E0), le16(0x001F), le16(0xFFFF)}), true_colour},
        {"24-bit", bitmap_info(2, 2, 24), concat({red, green, pad2, blue, white, pad2}),
         true_colour},
        {"32-bit", bitmap_info(2, 2, 32),
         concat({le32(0xFF0000), le32(0x00FF00), le32(0x0000FF), le32(0xFFFFFF)}), true_colour},
        {"32-bit 10-10-10", bitfields(32, 0x3FF00000, 0x000FFC00, 0x000003FF),
         concat({le32(0x3FF00000), le32(0x000FFC00), le32(0x000003FF), le32(0x3FFFFFFF)}),
         true_colour},
    };
}

// The colours of a 24- or 32-bit DIB, top row first.
Bytes top_down_bgr(const BITMAPINFOHEADER* dib) {
    const int rows = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
    const std::size_t bpp = dib->biBitCount / 8u;
    const std::size_t stride = (std::size_t(dib->biWidth) * bpp + 3) / 4 * 4;
    Bytes out;
    for (int y = 0; y < rows; ++y) {
        const int row = dib->biHeight > 0 ? rows - 1 - y : y;
        const std::uint8_t* p =
            pixels(const_cast<BITMAPINFOHEADER*>(dib)) + std::size_t(row) * stride;
        for (LONG x = 0; x < dib->biWidth; ++x)
            out.insert(out.end(), p + std::size_t(x) * bpp, p + std::size_t(x) * bpp + 3);
    }
    return out;
}

}  // namespace

// Every stored layout, delivered bottom-up and top-down, at 24 and 32 bits (the
// fourth byte of a 32-bit pixel zero), and at its own depth when none is asked for.
TEST(AviGetFrame, EveryLayoutInEveryRowOrder) {
    for (const Layout& layout : every_layout()) {
        SCOPED_TRACE(layout.name);
        TempDir dir;
        Frames f(dir, layout.format, {layout.frame});
        for (const WORD bits : {24, 32}) {
            for (const LONG height : {2, -2}) {
                BITMAPINFOHEADER want = request(2, height, bits);
                PGETFRAME g = AVIStreamGetFrameOpen(f.stream, &want);
                ASSERT_NE(g, nullptr) << bits << " bits, height " << height;
                const auto* bi = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
                ASSERT_NE(bi, nullptr);
                EXPECT_EQ(bi->biHeight, height);
                EXPECT_EQ(top_down_bgr(bi), layout.top_down_bgr)
                    << bits << " bits, height " << height;
                if (bits == 32) {
                    for (int i = 0; i < 4; ++i)
                        EXPECT_EQ(pixels(const_cast<BITMAPINFOHEADER*>(bi))[4 * i + 3], 0);
                }
                AVIStreamGetFrameClose(g);
            }
        }
        const WORD own = WORD(layout.format[14] <= 8 ? 8 : layout.format[14]);
        PGETFRAME g = AVIStreamGetFrameOpen(f.stream, nullptr);
        ASSERT_NE(g, nullptr);
        const auto* bi = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
        ASSERT_NE(bi, nullptr);
        EXPECT_EQ(bi->biBitCount, own);
        AVIStreamGetFrameClose(g);
    }
}
