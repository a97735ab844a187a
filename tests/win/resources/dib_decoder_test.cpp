#include "win/resources/dib_decoder.h"

#include <gtest/gtest.h>

#include "bmp_builder.h"

using win::res::decode_bmp;
using win::res::DibError;

namespace {

constexpr std::uint32_t red = 0xff0000, green = 0x00ff00, blue = 0x0000ff, white = 0xffffff;

// Expected picture for every depth: top row red, green; bottom row blue, white.
void expect_quad(const win::res::DibResult& r, int bits) {
    ASSERT_TRUE(r.ok()) << win::res::to_string(r.error);
    EXPECT_EQ(r.image.width, 2);
    EXPECT_EQ(r.image.height, 2);
    EXPECT_EQ(r.image.bit_count, bits);
    EXPECT_EQ(r.image.pixels, (std::vector<std::uint32_t>{red, green, blue, white}));
}

// Rows in top-down picture order; the layout's height sign decides the file order.
BmpLayout quad(std::uint16_t bits, bool top_down, std::vector<std::vector<std::uint8_t>> rows) {
    BmpLayout s;
    s.bit_count = bits;
    s.height = top_down ? -2 : 2;
    if (!top_down) std::swap(rows[0], rows[1]);
    s.rows = std::move(rows);
    if (bits <= 8) s.palette = {red, green, blue, white};
    return s;
}

class EveryDepth : public ::testing::TestWithParam<bool> {};

TEST_P(EveryDepth, DecodesTheSamePicture) {
    bool top_down = GetParam();
    // 1 bit cannot hold four colours: it gets its own two-colour check below.
    expect_quad(decode_bmp(build_bmp(quad(4, top_down, {{0x01}, {0x23}}))), 4);
    expect_quad(decode_bmp(build_bmp(quad(8, top_down, {{0, 1}, {2, 3}}))), 8);
    // 5-5-5: red 0x7c00, green 0x03e0, blue 0x001f, white 0x7fff.
    expect_quad(decode_bmp(build_bmp(
                    quad(16, top_down, {{0x00, 0x7c, 0xe0, 0x03}, {0x1f, 0x00, 0xff, 0x7f}}))),
                16);
    expect_quad(decode_bmp(build_bmp(
                    quad(24, top_down, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}}))),
                24);
    expect_quad(
        decode_bmp(build_bmp(
            quad(32, top_down, {{0, 0, 255, 9, 0, 255, 0, 9}, {255, 0, 0, 9, 255, 255, 255, 9}}))),
        32);
}

INSTANTIATE_TEST_SUITE_P(Orientation, EveryDepth, ::testing::Values(false, true));

TEST(DibDecoder, OneBitUsesBothPaletteEntriesAndSkipsRowPadding) {
    BmpLayout s;
    s.bit_count = 1;
    s.width = 10;  // 2 bytes of bits, 2 bytes of padding per row
    s.height = -2;
    s.palette = {blue, white};
    s.rows = {{0b10100000, 0b01000000}, {0b00000000, 0b11000000}};
    auto r = decode_bmp(build_bmp(s));
    ASSERT_TRUE(r.ok());
    const auto& p = r.image.pixels;
    EXPECT_EQ(p[0], white);
    EXPECT_EQ(p[1], blue);
    EXPECT_EQ(p[2], white);
    EXPECT_EQ(p[9], white);
    EXPECT_EQ(p[8], blue);
    EXPECT_EQ(p[10 + 8], white);
    EXPECT_EQ(p[10 + 9], white);
    EXPECT_EQ(p[10 + 7], blue);
}

TEST(DibDecoder, OddWidthTwentyFourBitRowsArePadded) {
    BmpLayout s;
    s.width = 3;
    s.height = 2;  // bottom-up: first row in the file is the bottom one
    s.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    auto r = decode_bmp(build_bmp(s));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.pixels[0], 0x0c0b0au);  // top-left comes from the second file row
    EXPECT_EQ(r.image.pixels[3], 0x030201u);
    EXPECT_EQ(r.image.pixels[5], 0x090807u);
}

TEST(DibDecoder, BitfieldsFiveSixFiveExpandsToFullIntensity) {
    BmpLayout s;
    s.bit_count = 16;
    s.compression = 3;
    s.width = 2;
    s.height = -1;
    s.masks = {0xf800, 0x07e0, 0x001f};
    s.rows = {{0xff, 0xff, 0xe0, 0x07}};  // white, pure green
    auto r = decode_bmp(build_bmp(s));
    ASSERT_TRUE(r.ok()) << win::res::to_string(r.error);
    EXPECT_EQ(r.image.pixels[0], white);
    EXPECT_EQ(r.image.pixels[1], green);
}

TEST(DibDecoder, ThirtyTwoBitKeepsTheFourthByteAsAlpha) {
    auto r = decode_bmp(build_bmp(
        quad(32, true, {{0, 0, 255, 0x80, 0, 255, 0, 0}, {255, 0, 0, 255, 255, 255, 255, 1}})));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.alpha, (std::vector<std::uint8_t>{0x80, 0, 255, 1}));
}

TEST(DibDecoder, PaletteIndexPastTheTableIsBlack) {
    BmpLayout s = quad(8, true, {{0, 7}, {2, 3}});
    s.palette = {red, green, blue, white};
    auto r = decode_bmp(build_bmp(s));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.image.pixels[1], 0u);
}

TEST(DibDecoder, CoreHeaderWithThreeBytePalette) {
    // 12-byte header: 16-bit width and height, planes, bit count; RGB triples.
    std::vector<std::uint8_t> f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 12 + 6, 0, 0, 0};
    put32(f, 12);
    put16(f, 2);
    put16(f, 1);
    put16(f, 1);
    put16(f, 1);
    f.insert(f.end(), {255, 0, 0, 0, 0, 255});  // blue, red
    f.insert(f.end(), {0b01000000, 0, 0, 0});
    auto r = decode_bmp(f);
    ASSERT_TRUE(r.ok()) << win::res::to_string(r.error);
    EXPECT_EQ(r.image.pixels, (std::vector<std::uint32_t>{blue, red}));
}

TEST(DibDecoder, LargerInfoHeadersAreRead) {
    BmpLayout s = quad(24, false, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}});
    s.header_size = 124;
    expect_quad(decode_bmp(build_bmp(s)), 24);
}

struct Broken {
    const char* what;
    std::vector<std::uint8_t> file;
    DibError error;
};

std::vector<Broken> broken_files() {
    const BmpLayout good = quad(24, false, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}});
    std::vector<Broken> out;
    auto with = [&](const char* what, auto change, DibError e) {
        BmpLayout s = good;
        change(s);
        out.push_back({what, build_bmp(s), e});
    };
    out.push_back({"empty", {}, DibError::truncated});
    {
        auto f = build_bmp(good);
        f.resize(14);
        out.push_back({"file header only", f, DibError::truncated});
    }
    {
        auto f = build_bmp(good);
        f[0] = 'P';
        out.push_back({"no signature", f, DibError::not_bmp});
    }
    {
        auto f = build_bmp(good);
        f.resize(f.size() - 1);
        out.push_back({"last byte missing", f, DibError::truncated});
    }
    {
        auto f = build_bmp(good);
        f[10] = 0xf0, f[11] = 0xff, f[12] = 0xff, f[13] = 0x7f;  // bits far past the end
        out.push_back({"bits offset past the end", f, DibError::truncated});
    }
    {
        auto f = build_bmp(good);
        f[10] = 20, f[11] = 0;  // bits inside the info header
        out.push_back({"bits offset inside the header", f, DibError::bad_header});
    }
    with(
        "zero width", [](BmpLayout& s) { s.width = 0; }, DibError::bad_dimensions);
    with(
        "negative width", [](BmpLayout& s) { s.width = -2; }, DibError::bad_dimensions);
    with(
        "zero height",
        [](BmpLayout& s) {
            s.height = 0;
            s.rows.clear();
        },
        DibError::bad_dimensions);
    with(
        "absurd width", [](BmpLayout& s) { s.width = 1 << 30; }, DibError::bad_dimensions);
    with(
        "most negative height", [](BmpLayout& s) { s.height = INT32_MIN; },
        DibError::bad_dimensions);
    with(
        "huge area",
        [](BmpLayout& s) {
            s.width = 16000;
            s.height = 16000;
        },
        DibError::bad_dimensions);
    with(
        "height promises more rows", [](BmpLayout& s) { s.height = 50; }, DibError::truncated);
    with(
        "width promises more bytes", [](BmpLayout& s) { s.width = 40; }, DibError::truncated);
    with(
        "bit count 7", [](BmpLayout& s) { s.bit_count = 7; }, DibError::bad_bit_count);
    with(
        "bit count 0", [](BmpLayout& s) { s.bit_count = 0; }, DibError::bad_bit_count);
    with(
        "bit count 64", [](BmpLayout& s) { s.bit_count = 64; }, DibError::bad_bit_count);
    with(
        "RLE8",
        [](BmpLayout& s) {
            s.bit_count = 8;
            s.compression = 1;
        },
        DibError::compressed);
    with(
        "bitfields on 24 bits",
        [](BmpLayout& s) {
            s.compression = 3;
            s.masks = {1, 2, 4};
        },
        DibError::compressed);
    with(
        "planes 2", [](BmpLayout& s) { s.planes = 2; }, DibError::bad_header);
    with(
        "header size 41", [](BmpLayout& s) { s.header_size = 41; }, DibError::bad_header);
    with(
        "palette larger than the bit count allows",
        [](BmpLayout& s) {
            s.bit_count = 1;
            s.palette.assign(3, 0);
        },
        DibError::bad_palette);
    {
        BmpLayout s = good;
        s.bit_count = 16;
        s.compression = 3;
        s.masks = {0xf800, 0x0000, 0x001f};
        out.push_back({"empty mask", build_bmp(s), DibError::bad_masks});
        s.masks = {0xf800, 0x0520, 0x001f};
        out.push_back({"mask with a hole", build_bmp(s), DibError::bad_masks});
    }
    {
        BmpLayout s = quad(8, true, {{0, 1}, {2, 3}});
        s.palette = {red, green, blue, white};
        auto f = build_bmp(s);
        f.resize(14 + 40 + 8);  // the palette is cut in the middle
        out.push_back({"palette cut short", f, DibError::truncated});
    }
    return out;
}

TEST(DibDecoder, MalformedFilesFailCleanly) {
    for (const Broken& b : broken_files()) {
        auto r = decode_bmp(b.file);
        EXPECT_EQ(r.error, b.error) << b.what << ": " << win::res::to_string(r.error);
        EXPECT_TRUE(r.image.pixels.empty()) << b.what;
    }
}

TEST(DibDecoder, EveryTruncationOfAValidFileFailsCleanly) {
    BmpLayout s = quad(8, false, {{0, 1}, {2, 3}});
    auto f = build_bmp(s);
    for (std::size_t n = 0; n < f.size(); ++n) {
        std::vector<std::uint8_t> cut(f.begin(), f.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(decode_bmp(cut).ok()) << "length " << n;
    }
    EXPECT_TRUE(decode_bmp(f).ok());
}

TEST(DibDecoder, PackedDibForIconsSplitsColourAndMask) {
    // A 2 x 2 icon image: header height 4 = colour rows + mask rows.
    BmpLayout s = quad(24, false, {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}});
    s.height = 4;
    s.rows.push_back({0b01000000});  // mask, bottom row: right pixel transparent
    s.rows.push_back({0b10000000});  // mask, top row: left pixel transparent
    std::vector<std::uint8_t> mask;
    auto r = win::res::decode_packed_dib(build_dib(s), 2, &mask);
    expect_quad(r, 24);
    EXPECT_EQ(mask, (std::vector<std::uint8_t>{1, 0, 0, 1}));
}

}  // namespace
