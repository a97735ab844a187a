// Row decoding and encoding of every DIB layout.
#include "win/gdi/dib_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace win::gdi {
namespace {

struct Info {
    BITMAPINFOHEADER header{};
    std::uint32_t extra[256] = {};
    const BITMAPINFO* get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

Info info(int w, int h, int bits, DWORD compression = BI_RGB) {
    Info i;
    i.header = {sizeof(BITMAPINFOHEADER), w, h, 1, WORD(bits), compression, 0, 0, 0, 0, 0};
    return i;
}

TEST(DibFormat, RefusesWhatItCannotRead) {
    EXPECT_FALSE(parse_dib(nullptr, DIB_RGB_COLORS));
    EXPECT_FALSE(parse_dib(info(4, 4, 8, BI_RLE8).get(), DIB_RGB_COLORS));
    EXPECT_FALSE(parse_dib(info(4, 4, 24).get(), DIB_PAL_COLORS));
    EXPECT_FALSE(parse_dib(info(0, 4, 24).get(), DIB_RGB_COLORS));
    EXPECT_FALSE(parse_dib(info(4, 0, 24).get(), DIB_RGB_COLORS));
    EXPECT_FALSE(parse_dib(info(4, 4, 12).get(), DIB_RGB_COLORS));
    EXPECT_FALSE(parse_dib(info(1 << 20, 1 << 20, 24).get(), DIB_RGB_COLORS));
    EXPECT_FALSE(parse_dib(info(4, 4, 16, BI_BITFIELDS).get(), DIB_RGB_COLORS));  // zero masks
    Info small = info(4, 4, 24);
    small.header.biSize = 12;
    EXPECT_FALSE(parse_dib(small.get(), DIB_RGB_COLORS));
}

TEST(DibFormat, StrideAndRowOrder) {
    auto f = parse_dib(info(3, 2, 24).get(), DIB_RGB_COLORS);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->stride, 12u);
    EXPECT_FALSE(f->top_down);
    std::uint8_t bits[24] = {};
    EXPECT_EQ(f->row(bits, 0), bits + 12);  // the top row is stored last
    auto t = parse_dib(info(3, -2, 8).get(), DIB_RGB_COLORS);
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->top_down);
    EXPECT_EQ(t->height, 2);
    EXPECT_EQ(t->stride, 4u);
    EXPECT_EQ(t->row(bits, 1), bits + 4);
}

TEST(DibFormat, SixteenBitChannelsWidenToFullScale) {
    auto f555 = parse_dib(info(3, 1, 16).get(), DIB_RGB_COLORS);
    ASSERT_TRUE(f555);
    const std::uint16_t px555[3] = {0x7c00, 0x03e0,
                                    0x4210};  // red, green, one step of each at half
    std::uint32_t out[3];
    decode_row(*f555, reinterpret_cast<const std::uint8_t*>(px555), 0, 3, out);
    EXPECT_EQ(out[0], 0xff0000u);
    EXPECT_EQ(out[1], 0x00ff00u);
    EXPECT_EQ(out[2], 0x848484u);  // 10000b -> 10000100b

    Info i = info(2, 1, 16, BI_BITFIELDS);
    i.extra[0] = 0xf800, i.extra[1] = 0x07e0, i.extra[2] = 0x001f;
    auto f565 = parse_dib(i.get(), DIB_RGB_COLORS);
    ASSERT_TRUE(f565);
    const std::uint16_t px565[2] = {0x07e0, 0x001f};
    decode_row(*f565, reinterpret_cast<const std::uint8_t*>(px565), 0, 2, out);
    EXPECT_EQ(out[0], 0x00ff00u);
    EXPECT_EQ(out[1], 0x0000ffu);
    std::uint8_t back[4];
    encode_row(*f565, out, 2, back);
    EXPECT_EQ(std::memcmp(back, px565, 4), 0);
}

TEST(DibFormat, PaletteFormatsPickTheirEntries) {
    Info i = info(10, 1, 1);
    i.extra[0] = 0x000000ff;  // RGBQUAD blue
    i.extra[1] = 0x00ff0000;  // red
    auto f1 = parse_dib(i.get(), DIB_RGB_COLORS);
    ASSERT_TRUE(f1);
    const std::uint8_t bits1[2] = {0b10100000, 0b01000000};
    std::uint32_t out[10];
    decode_row(*f1, bits1, 0, 10, out);
    EXPECT_EQ(out[0], 0xff0000u);
    EXPECT_EQ(out[1], 0x0000ffu);
    EXPECT_EQ(out[2], 0xff0000u);
    EXPECT_EQ(out[9], 0xff0000u);
    // Starting mid-byte.
    decode_row(*f1, bits1, 9, 1, out);
    EXPECT_EQ(out[0], 0xff0000u);

    Info i4 = info(3, 1, 4);
    i4.header.biClrUsed = 3;
    i4.extra[2] = 0x0000ff00;
    auto f4 = parse_dib(i4.get(), DIB_RGB_COLORS);
    ASSERT_TRUE(f4);
    EXPECT_EQ(f4->palette_size, 3);
    const std::uint8_t bits4[2] = {0x2f, 0x20};  // index 15 is beyond the palette
    decode_row(*f4, bits4, 0, 3, out);
    EXPECT_EQ(out[0], 0x00ff00u);
    EXPECT_EQ(out[1], 0u);
    EXPECT_EQ(out[2], 0x00ff00u);

    Info i8 = info(2, 1, 8);
    i8.extra[200] = 0x00123456;
    auto f8 = parse_dib(i8.get(), DIB_RGB_COLORS);
    const std::uint8_t bits8[2] = {200, 0};
    decode_row(*f8, bits8, 0, 2, out);
    EXPECT_EQ(out[0], 0x123456u);
    std::uint32_t near[2] = {0x123457, 0x000001};
    std::uint8_t enc[2];
    encode_row(*f8, near, 2, enc);
    EXPECT_EQ(enc[0], 200);
    EXPECT_EQ(enc[1], 0);
}

TEST(DibFormat, TrueColourRoundTrips) {
    const std::uint32_t pixels[3] = {0x010203, 0xfffefd, 0x800000};
    for (int bits : {24, 32}) {
        auto f = parse_dib(info(3, 1, bits).get(), DIB_RGB_COLORS);
        ASSERT_TRUE(f);
        std::vector<std::uint8_t> row(f->stride);
        encode_row(*f, pixels, 3, row.data());
        EXPECT_EQ(row[0], 0x03);  // blue first
        EXPECT_EQ(row[2], 0x01);
        std::uint32_t out[3];
        decode_row(*f, row.data(), 0, 3, out);
        EXPECT_EQ(std::memcmp(out, pixels, sizeof out), 0) << bits;
    }
}

}  // namespace
}  // namespace win::gdi
