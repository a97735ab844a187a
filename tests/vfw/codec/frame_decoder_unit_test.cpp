// FrameDecoder on streams built in the test: plain DIBs, run-length DIBs, dropped
// samples, and formats that must be refused.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_fixture.h"
#include "vfw/codec/dib_layout.h"
#include "vfw/codec/format_tags.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

std::vector<std::uint8_t> format_record(std::int32_t w, std::int32_t h, std::uint16_t bits,
                                        std::uint32_t compression,
                                        const std::vector<std::uint8_t>& tail = {}) {
    BITMAPINFOHEADER header = make_rgb_header(w, h, bits);
    header.biCompression = compression;
    header.biClrUsed = 0;
    std::vector<std::uint8_t> bytes(sizeof header + tail.size());
    std::memcpy(bytes.data(), &header, sizeof header);
    if (!tail.empty()) std::memcpy(bytes.data() + sizeof header, tail.data(), tail.size());
    return bytes;
}

std::vector<std::uint8_t> palette_bytes(const std::vector<RGBQUAD>& colors) {
    std::vector<std::uint8_t> bytes(colors.size() * 4);
    std::memcpy(bytes.data(), colors.data(), bytes.size());
    return bytes;
}

const std::uint8_t* bits_of(const BITMAPINFOHEADER* dib) {
    return reinterpret_cast<const std::uint8_t*>(dib) + dib->biSize +
           dib_color_count(*dib) * sizeof(RGBQUAD);
}

// 3 x 2 pixels at 24 bits, bottom-up: rows are 12 bytes (9 used + 3 padding).
MemoryPacketSource rgb24_stream() {
    MemoryPacketSource s;
    s.samples.push_back({{10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0,  //
                          1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0},
                         true});
    s.samples.push_back({{}, false});                                        // dropped
    s.samples.push_back({{255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0,  //
                          0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0},
                         true});
    return s;
}

TEST(FrameDecoderRaw, Rgb24PassesThroughExactlyAndDroppedSamplesRepeat) {
    MemoryPacketSource s = rgb24_stream();
    auto d = FrameDecoder::open(s, format_record(3, 2, 24, BI_RGB));
    ASSERT_TRUE(d) << d.error().message;
    const BITMAPINFOHEADER* f0 = d.value()->frame(0);
    ASSERT_NE(f0, nullptr);
    EXPECT_EQ(f0->biSizeImage, 24u);
    EXPECT_EQ(d.value()->frame_size(), 40u + 24u);
    EXPECT_EQ(0, std::memcmp(bits_of(f0), s.samples[0].bytes.data(), 9));
    EXPECT_EQ(0, std::memcmp(bits_of(f0) + 12, s.samples[0].bytes.data() + 12, 9));
    const auto frame0 = dib_to_bgr(f0);

    // Sample 1 is empty: it shows frame 0 again, without reading anything new.
    const std::int64_t reads = s.reads;
    const BITMAPINFOHEADER* f1 = d.value()->frame(1);
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(dib_to_bgr(f1), frame0);
    EXPECT_EQ(s.reads, reads);

    const BITMAPINFOHEADER* f2 = d.value()->frame(2);
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(bits_of(f2)[6], 128);
    EXPECT_NE(dib_to_bgr(f2), frame0);
}

TEST(FrameDecoderRaw, ConvertsToEveryOutputDepth) {
    MemoryPacketSource s = rgb24_stream();
    const auto input = format_record(3, 2, 24, BI_RGB);

    BITMAPINFOHEADER want32 = make_rgb_header(3, 2, 32);
    auto d32 = FrameDecoder::open(s, input, &want32);
    ASSERT_TRUE(d32);
    const BITMAPINFOHEADER* f = d32.value()->frame(2);
    ASSERT_NE(f, nullptr);
    // Bottom row first: white, black, grey.
    EXPECT_EQ(bits_of(f)[0], 255);
    EXPECT_EQ(bits_of(f)[4], 0);
    EXPECT_EQ(bits_of(f)[8], 128);

    BITMAPINFOHEADER want16 = make_rgb_header(3, 2, 16);
    auto d16 = FrameDecoder::open(s, input, &want16);
    ASSERT_TRUE(d16);
    f = d16.value()->frame(2);
    ASSERT_NE(f, nullptr);
    auto pixel16 = [&](int i) {
        std::uint16_t v;
        std::memcpy(&v, bits_of(f) + 2 * i, 2);
        return v;
    };
    EXPECT_EQ(pixel16(0), 0x7FFF);
    EXPECT_EQ(pixel16(1), 0x0000);
    // Top row (second in memory, 8-byte stride): red, green, blue in BGR order.
    std::uint16_t red;
    std::memcpy(&red, bits_of(f) + 8, 2);
    EXPECT_EQ(red, 0x7C00);

    BITMAPINFOHEADER want8 = make_rgb_header(3, 2, 8);
    auto d8 = FrameDecoder::open(s, input, &want8);
    ASSERT_TRUE(d8);
    f = d8.value()->frame(2);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->biClrUsed, 256u);
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(f) + 40);
    const RGBQUAD white = table[bits_of(f)[0]];
    const RGBQUAD black = table[bits_of(f)[1]];
    EXPECT_EQ(white.rgbRed + white.rgbGreen + white.rgbBlue, 3 * 255);
    EXPECT_EQ(black.rgbRed + black.rgbGreen + black.rgbBlue, 0);
}

TEST(FrameDecoderRaw, TopDownOutputIsTheFlipOfBottomUp) {
    MemoryPacketSource s = rgb24_stream();
    const auto input = format_record(3, 2, 24, BI_RGB);
    BITMAPINFOHEADER top_down = make_rgb_header(3, -2, 24);
    auto up = FrameDecoder::open(s, input);
    auto down = FrameDecoder::open(s, input, &top_down);
    ASSERT_TRUE(up && down);
    const BITMAPINFOHEADER* a = up.value()->frame(0);
    const BITMAPINFOHEADER* b = down.value()->frame(0);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->biHeight, -2);
    EXPECT_EQ(0, std::memcmp(bits_of(a), bits_of(b) + 12, 12));
    EXPECT_EQ(0, std::memcmp(bits_of(a) + 12, bits_of(b), 12));
    EXPECT_EQ(dib_to_bgr(a), dib_to_bgr(b));
}

TEST(FrameDecoderRaw, EightBitKeepsItsColoursAndBitfieldsAreRead) {
    std::vector<RGBQUAD> colors(4);
    colors[1] = {200, 100, 50, 0};
    colors[3] = {1, 2, 3, 0};
    MemoryPacketSource s;
    s.samples.push_back({{1, 3, 0, 0, 3, 1, 2, 0}, true});  // 2 x 2, rows padded to 4
    auto d = FrameDecoder::open(s, format_record(2, 2, 8, BI_RGB, palette_bytes(colors)),
                                std::make_unique<BITMAPINFOHEADER>(make_rgb_header(2, 2, 8)).get());
    ASSERT_TRUE(d) << d.error().message;
    const BITMAPINFOHEADER* f = d.value()->frame(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(bits_of(f)[0], 1);
    EXPECT_EQ(bits_of(f)[5], 1);
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(f) + 40);
    EXPECT_EQ(table[1].rgbBlue, 200);
    EXPECT_EQ(table[3].rgbRed, 3);

    auto d24 = FrameDecoder::open(s, format_record(2, 2, 8, BI_RGB, palette_bytes(colors)));
    ASSERT_TRUE(d24);
    const auto bgr = dib_to_bgr(d24.value()->frame(0));
    // Top-left is the first pixel of the top (second stored) row: index 3.
    EXPECT_EQ(bgr[0], 1);
    EXPECT_EQ(bgr[2], 3);

    // 16 bits with 5-6-5 masks: pure green is 0x07E0.
    const std::vector<std::uint8_t> masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    MemoryPacketSource g;
    g.samples.push_back({{0xE0, 0x07, 0x1F, 0x00}, true});  // 2 x 1: green, blue
    auto d565 = FrameDecoder::open(g, format_record(2, 1, 16, BI_BITFIELDS, masks));
    ASSERT_TRUE(d565) << d565.error().message;
    const auto px = dib_to_bgr(d565.value()->frame(0));
    EXPECT_EQ(px[1], 255);
    EXPECT_EQ(px[0] + px[2], 0);
    EXPECT_EQ(px[3], 255);
}

TEST(FrameDecoderRaw, ScalesToTheWantedSize) {
    MemoryPacketSource s;
    s.samples.push_back({std::vector<std::uint8_t>(4 * 4 * 3, 100), true});  // flat grey 4 x 4
    BITMAPINFOHEADER want = make_rgb_header(8, 6, 32);
    auto d = FrameDecoder::open(s, format_record(4, 4, 24, BI_RGB), &want);
    ASSERT_TRUE(d);
    const BITMAPINFOHEADER* f = d.value()->frame(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->biWidth, 8);
    EXPECT_EQ(f->biHeight, 6);
    EXPECT_EQ(d.value()->frame_size(), 40u + 8 * 6 * 4);
    for (std::uint8_t v : dib_to_bgr(f)) EXPECT_NEAR(v, 100, 1);
}

TEST(FrameDecoderRaw, BadPositionsAndShortSamplesFailCleanly) {
    MemoryPacketSource s = rgb24_stream();
    s.samples.insert(s.samples.begin(), Sample{{}, false});  // nothing to show before frame 1
    s.samples.push_back({{1, 2, 3}, true});                  // truncated frame
    auto d = FrameDecoder::open(s, format_record(3, 2, 24, BI_RGB));
    ASSERT_TRUE(d);
    FrameDecoder& decoder = *d.value();
    EXPECT_EQ(decoder.frame(-1), nullptr);
    EXPECT_EQ(decoder.last_error()->code, ErrorCode::OutOfRange);
    EXPECT_EQ(decoder.frame(5), nullptr);
    EXPECT_EQ(decoder.last_error()->code, ErrorCode::OutOfRange);
    EXPECT_EQ(decoder.frame(0), nullptr);
    EXPECT_EQ(decoder.last_error()->code, ErrorCode::NoFrame);
    EXPECT_EQ(decoder.frame(4), nullptr);
    EXPECT_EQ(decoder.last_error()->code, ErrorCode::BadFormat);
    ASSERT_NE(decoder.frame(3), nullptr);  // still usable afterwards
    EXPECT_FALSE(decoder.last_error().has_value());
}

TEST(FrameDecoderOpen, RefusesFormatsItCannotHandle) {
    MemoryPacketSource s = rgb24_stream();
    struct Bad {
        std::vector<std::uint8_t> format;
        ErrorCode code;
    };
    std::vector<std::uint8_t> small_bisize = format_record(3, 2, 24, BI_RGB);
    small_bisize[0] = 12;
    const Bad bad[] = {
        {std::vector<std::uint8_t>(20, 0), ErrorCode::BadFormat},
        {small_bisize, ErrorCode::BadFormat},
        {format_record(0, 2, 24, BI_RGB), ErrorCode::BadFormat},
        {format_record(100000, 2, 24, BI_RGB), ErrorCode::BadFormat},
        {format_record(3, 2, 4, BI_RGB), ErrorCode::Unsupported},
        {format_record(3, 2, 24, make_fourcc('Z', 'Z', 'Z', 'Z')), ErrorCode::Unsupported},
        {format_record(3, 2, 16, BI_BITFIELDS, std::vector<std::uint8_t>(12, 0xFF)),
         ErrorCode::Unsupported},
    };
    for (const Bad& b : bad) {
        auto d = FrameDecoder::open(s, b.format);
        ASSERT_FALSE(d);
        EXPECT_EQ(d.error().code, b.code) << d.error().message;
        EXPECT_FALSE(FrameDecoder::can_decode(b.format));
    }
    const auto good = format_record(3, 2, 24, BI_RGB);
    for (BITMAPINFOHEADER out : {make_rgb_header(3, 2, 12), make_rgb_header(3, 2, 24)}) {
        if (out.biBitCount == 24) out.biCompression = BI_RLE8;
        auto d = FrameDecoder::open(s, good, &out);
        ASSERT_FALSE(d);
        EXPECT_EQ(d.error().code, ErrorCode::Unsupported);
    }
}

TEST(FrameDecoderOpen, KnowsTheCommonAviFourccs) {
    for (const char* tag :
         {"MJPG", "FMP4", "XVID", "DIVX", "DX50", "H264", "X264", "FFV1", "HFYU", "dvsd", "cvid",
          "CRAM", "MSVC", "IV31", "IV32", "IV41", "IV50", "YUY2", "UYVY", "I420", "YV12", "xvid"}) {
        const std::uint32_t fcc = make_fourcc(tag[0], tag[1], tag[2], tag[3]);
        EXPECT_TRUE(FrameDecoder::can_decode(format_record(64, 48, 24, fcc))) << tag;
    }
    EXPECT_TRUE(FrameDecoder::can_decode(format_record(64, 48, 8, BI_RLE8)));
    EXPECT_TRUE(FrameDecoder::can_decode(format_record(64, 48, 4, BI_RLE4)));
    // The stream handler helps when biCompression says nothing useful.
    EXPECT_TRUE(FrameDecoder::can_decode(format_record(64, 48, 24, make_fourcc('?', '?', '?', '?')),
                                         make_fourcc('M', 'J', 'P', 'G')));
    EXPECT_EQ(fourcc_for_video_codec(video_codec_for_fourcc(make_fourcc('d', 'i', 'v', 'x'))),
              make_fourcc('F', 'M', 'P', '4'));
    EXPECT_EQ(audio_codec_for_tag(0x55), AV_CODEC_ID_MP3);
    EXPECT_EQ(tag_for_audio_codec(AV_CODEC_ID_ADPCM_MS), 2);
    EXPECT_EQ(fourcc_text(make_fourcc('a', 'b', '\1', 'd')), "ab.d");
}

// Run-length 8-bit DIBs (BI_RLE8), encoded by hand: a key frame then a delta frame
// that jumps over unchanged pixels.
TEST(FrameDecoderRle, DecodesKeyAndDeltaFrames) {
    std::vector<RGBQUAD> colors(4);
    colors[1] = {0, 0, 255, 0};
    colors[2] = {0, 255, 0, 0};
    colors[3] = {255, 0, 0, 0};
    MemoryPacketSource s;
    // 8 x 2, bottom row first: row 0 = 1 1 1 2 2 2 2 2, row 1 = eight 3s. (A sample
    // exactly the size of the raw picture would be taken as raw, so these are smaller.)
    s.samples.push_back({{3, 1, 5, 2, 0, 0, 8, 3, 0, 1}, true});
    // Delta: move right 2 on row 0, write 2 pixels of colour 3, end of bitmap.
    s.samples.push_back({{0, 2, 2, 0, 2, 3, 0, 1}, false});
    BITMAPINFOHEADER want = make_rgb_header(8, 2, 8);
    auto d = FrameDecoder::open(s, format_record(8, 2, 8, BI_RLE8, palette_bytes(colors)), &want);
    ASSERT_TRUE(d) << d.error().message;
    const BITMAPINFOHEADER* f = d.value()->frame(1);
    ASSERT_NE(f, nullptr) << d.value()->last_error()->message;
    const std::uint8_t expected1[16] = {1, 1, 3, 3, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(0, std::memcmp(bits_of(f), expected1, 16));

    f = d.value()->frame(0);
    ASSERT_NE(f, nullptr);
    const std::uint8_t expected0[16] = {1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(0, std::memcmp(bits_of(f), expected0, 16));
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(f) + 40);
    EXPECT_EQ(table[3].rgbBlue, 255);
}

TEST(FrameDecoderCorrupt, GarbageSamplesGiveAnErrorNotACrash) {
    MemoryPacketSource s;
    for (int i = 0; i < 4; ++i) {
        std::vector<std::uint8_t> junk(300);
        for (std::size_t k = 0; k < junk.size(); ++k)
            junk[k] = std::uint8_t(k * 37 + std::size_t(i));
        s.samples.push_back({junk, true});
    }
    for (const char* tag : {"MJPG", "H264", "FMP4", "cvid", "MSVC", "HFYU"}) {
        auto d = FrameDecoder::open(
            s, format_record(64, 48, 24, make_fourcc(tag[0], tag[1], tag[2], tag[3])));
        if (!d) continue;  // refusing at open is clean too
        for (std::int64_t n : {0, 3, 1}) {
            if (!d.value()->frame(n)) {
                EXPECT_TRUE(d.value()->last_error().has_value()) << tag;
            }
        }
    }
}

}  // namespace
}  // namespace vfw::codec::test
