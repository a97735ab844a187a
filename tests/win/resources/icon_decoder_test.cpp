#include "win/resources/icon_decoder.h"

#include <gtest/gtest.h>

#include "bmp_builder.h"

using namespace win::res;

namespace {

struct IconImageSpec {
    int size;
    std::uint16_t bits;
    std::uint32_t colour;  // every pixel
    std::uint8_t alpha;    // fourth byte of 32-bit pixels
};

// One .ico holding the given square images, masks all opaque.
std::vector<std::uint8_t> build_icon(const std::vector<IconImageSpec>& images) {
    std::vector<std::vector<std::uint8_t>> dibs;
    for (const IconImageSpec& im : images) {
        BmpLayout s;
        s.width = im.size;
        s.height = im.size * 2;
        s.bit_count = im.bits;
        for (int y = 0; y < im.size; ++y) {
            std::vector<std::uint8_t> row;
            for (int x = 0; x < im.size; ++x) {
                row.push_back(std::uint8_t(im.colour));
                row.push_back(std::uint8_t(im.colour >> 8));
                row.push_back(std::uint8_t(im.colour >> 16));
                if (im.bits == 32) row.push_back(im.alpha);
            }
            s.rows.push_back(row);
        }
        for (int y = 0; y < im.size; ++y)
            s.rows.push_back(std::vector<std::uint8_t>((im.size + 7) / 8, 0));
        dibs.push_back(build_dib(s));
    }
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, std::uint16_t(images.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::uint8_t(images[i].size));
        out.push_back(std::uint8_t(images[i].size));
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, images[i].bits);
        put32(out, std::uint32_t(dibs[i].size()));
        put32(out, offset);
        offset += std::uint32_t(dibs[i].size());
    }
    for (const auto& d : dibs) out.insert(out.end(), d.begin(), d.end());
    return out;
}

TEST(IconDecoder, PicksTheClosestSize) {
    auto file = build_icon({{32, 24, 0x112233, 0}, {16, 24, 0x445566, 0}});
    EXPECT_EQ(icon_image_count(file), 2);
    auto big = decode_icon(file, 32);
    ASSERT_TRUE(big.ok());
    EXPECT_EQ(big.image.width, 32);
    EXPECT_EQ(big.image.pixels[0], 0x112233u);
    auto small = decode_icon(file, 16);
    ASSERT_TRUE(small.ok());
    EXPECT_EQ(small.image.width, 16);
    EXPECT_EQ(small.image.height, 16);
    EXPECT_EQ(small.image.pixels[5], 0x445566u);
    EXPECT_EQ(decode_icon(file, 20).image.width, 16);
}

TEST(IconDecoder, AlphaFromThirtyTwoBitsElseFromTheMask) {
    auto with_alpha = decode_icon(build_icon({{16, 32, 0x010203, 0x80}}), 16);
    ASSERT_TRUE(with_alpha.ok());
    EXPECT_EQ(with_alpha.image.alpha[0], 0x80);
    // All-zero fourth bytes: an old-style icon, the mask decides (all opaque here).
    auto masked = decode_icon(build_icon({{16, 32, 0x010203, 0}}), 16);
    ASSERT_TRUE(masked.ok());
    EXPECT_EQ(masked.image.alpha[0], 255);
}

TEST(IconDecoder, MalformedIconsFailCleanly) {
    auto good = build_icon({{16, 24, 0x112233, 0}});
    EXPECT_EQ(decode_icon({}, 32).error, DibError::truncated);
    auto bad_type = good;
    bad_type[2] = 2;  // a cursor file
    EXPECT_EQ(decode_icon(bad_type, 16).error, DibError::bad_header);
    auto bad_count = good;
    bad_count[4] = 200;  // more entries than the file holds
    EXPECT_EQ(decode_icon(bad_count, 16).error, DibError::bad_header);
    auto bad_offset = good;
    bad_offset[6 + 12] = 0xff, bad_offset[6 + 13] = 0xff;
    EXPECT_EQ(decode_icon(bad_offset, 16).error, DibError::truncated);
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(decode_icon(cut, 16).ok()) << "length " << n;
    }
}

}  // namespace
