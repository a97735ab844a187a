// Every compressor in the catalogue: encode a moving picture, decode it again with
// FrameDecoder, and check the key frames and settings it was given.
#include "vfw/codec/video_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "codec_fixture.h"
#include "vfw/codec/codec_catalog.h"
#include "vfw/codec/dib_layout.h"
#include "vfw/codec/format_tags.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

constexpr int kW = 160, kH = 120, kFrames = 12;

// A packed 24-bit DIB: smooth gradients and a square that moves, so both intra and
// inter coding have something to do.
std::vector<std::uint8_t> picture(int t, std::uint16_t bits = 24) {
    const BITMAPINFOHEADER h = make_rgb_header(kW, kH, bits);
    std::vector<std::uint8_t> dib(sizeof h + h.biSizeImage);
    std::memcpy(dib.data(), &h, sizeof h);
    const std::uint32_t stride = dib_stride(kW, bits);
    for (int y = 0; y < kH; ++y) {
        std::uint8_t* row = dib.data() + sizeof h + std::size_t(kH - 1 - y) * stride;
        for (int x = 0; x < kW; ++x) {
            const bool square = x >= 20 + 4 * t && x < 60 + 4 * t && y >= 30 && y < 70;
            const std::uint8_t b = std::uint8_t(x + 40);
            const std::uint8_t g = std::uint8_t(2 * y);
            const std::uint8_t r = square ? 230 : std::uint8_t(60 + t);
            std::uint8_t* px = row + x * (bits / 8);
            px[0] = b;
            px[1] = g;
            px[2] = r;
            if (bits == 32) px[3] = 0;
        }
    }
    return dib;
}

const BITMAPINFOHEADER* as_dib(const std::vector<std::uint8_t>& bytes) {
    return reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
}

MemoryPacketSource encode_all(VideoEncoder& enc) {
    MemoryPacketSource out;
    for (int t = 0; t < kFrames; ++t) {
        auto packets = enc.encode(as_dib(picture(t)));
        EXPECT_TRUE(packets) << packets.error().message;
        if (!packets) return out;
        for (auto& p : packets.value()) out.samples.push_back({std::move(p.data), p.key});
    }
    auto rest = enc.finish();
    EXPECT_TRUE(rest);
    if (rest)
        for (auto& p : rest.value()) out.samples.push_back({std::move(p.data), p.key});
    return out;
}

double allowed_difference(const VideoCompressorInfo& info) {
    if (info.lossless) return 0.0;
    if (info.fourcc == make_fourcc('c', 'v', 'i', 'd') ||
        info.fourcc == make_fourcc('C', 'R', 'A', 'M'))
        return 12.0;  // vector quantisers of the early 1990s
    return 5.0;
}

class EveryCompressor : public ::testing::TestWithParam<VideoCompressorInfo> {};

TEST_P(EveryCompressor, RoundTripsThroughTheFrameDecoder) {
    const VideoCompressorInfo& info = GetParam();
    VideoEncoderSettings settings;
    settings.fourcc = info.fourcc;
    settings.quality = 9000;
    settings.key_frame_every = 5;
    auto opened = VideoEncoder::open(make_rgb_header(kW, kH, 24), settings);
    ASSERT_TRUE(opened) << opened.error().message;
    VideoEncoder& enc = *opened.value();
    const BITMAPINFOHEADER& out = enc.output_header();
    EXPECT_EQ(out.biWidth, kW);
    EXPECT_EQ(out.biHeight, kH);
    EXPECT_EQ(out.biSize, enc.output_format().size()) << "biSize counts the codec data";
    if (info.fourcc != kFullFramesFourcc) {
        EXPECT_EQ(out.biCompression, info.fourcc);
    }

    MemoryPacketSource packets = encode_all(enc);
    ASSERT_EQ(packets.sample_count(), kFrames);
    for (int n = 0; n < kFrames; ++n) {
        if (n % 5 == 0 || !info.key_frames) {
            EXPECT_TRUE(packets.is_key_frame(n)) << "frame " << n;
        }
    }
    if (info.key_frames && !info.lossless) {
        EXPECT_FALSE(packets.is_key_frame(1)) << "inter frames expected";
    }

    auto decoder = FrameDecoder::open(packets, enc.output_format());
    ASSERT_TRUE(decoder) << decoder.error().message;
    for (int n : {0, 3, 7, kFrames - 1}) {
        const BITMAPINFOHEADER* dib = decoder.value()->frame(n);
        ASSERT_NE(dib, nullptr) << n;
        const auto source = dib_to_bgr(as_dib(picture(n)));
        EXPECT_LE(mean_abs_diff(dib, source), allowed_difference(info)) << "frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryCompressor, ::testing::ValuesIn(video_compressors()),
                         [](const auto& info) {
                             std::string name = fourcc_text(info.param.fourcc);
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(VideoEncoderSettings, QualityAndDataRateChangeTheSize) {
    auto size_with = [](std::int32_t quality, std::uint32_t rate, int frames) {
        VideoEncoderSettings s;
        s.fourcc = make_fourcc('F', 'M', 'P', '4');
        s.quality = quality;
        s.bytes_per_second = rate;
        auto enc = VideoEncoder::open(make_rgb_header(kW, kH, 24), s);
        EXPECT_TRUE(enc);
        if (!enc) return std::size_t{0};
        std::size_t bytes = 0;
        std::uint32_t seed = 1;
        for (int t = 0; t < frames; ++t) {
            auto pic = picture(t % kFrames);
            for (std::size_t i = sizeof(BITMAPINFOHEADER); i < pic.size(); ++i) {
                seed = seed * 1103515245u + 12345u;  // grain that every frame must pay for
                pic[i] = std::uint8_t(pic[i] + ((seed >> 16) & 31));
            }
            auto packets = enc.value()->encode(as_dib(pic));
            EXPECT_TRUE(packets);
            if (packets)
                for (const auto& p : packets.value()) bytes += p.data.size();
        }
        return bytes;
    };
    EXPECT_GT(size_with(10000, 0, kFrames), size_with(1000, 0, kFrames) * 2);
    // 100 frames at 25 a second for 20000 bytes a second: about 80 KB.
    const std::size_t limited = size_with(10000, 20000, 100);
    EXPECT_GT(limited, 40000u);
    EXPECT_LT(limited, 120000u);
    EXPECT_GT(size_with(10000, 0, 100), limited * 2);
}

TEST(VideoEncoderSettings, InputDepthsAndFullFrames) {
    VideoEncoderSettings s;
    s.fourcc = make_fourcc('M', 'J', 'P', 'G');
    auto enc = VideoEncoder::open(make_rgb_header(kW, kH, 32), s);
    ASSERT_TRUE(enc);
    auto packets = enc.value()->encode(as_dib(picture(0, 32)));
    ASSERT_TRUE(packets);
    ASSERT_EQ(packets.value().size(), 1u);
    EXPECT_TRUE(packets.value()[0].key);

    // Full frames keep the rows as they are, stored bottom-up.
    s.fourcc = kFullFramesFourcc;
    auto raw = VideoEncoder::open(make_rgb_header(kW, kH, 24), s);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw.value()->output_header().biCompression, std::uint32_t(BI_RGB));
    const auto pic = picture(2);
    auto same = raw.value()->encode(as_dib(pic));
    ASSERT_TRUE(same);
    ASSERT_EQ(same.value().size(), 1u);
    EXPECT_TRUE(std::equal(same.value()[0].data.begin(), same.value()[0].data.end(),
                           pic.begin() + sizeof(BITMAPINFOHEADER)));
}

TEST(VideoEncoderSettings, RefusesWhatItCannotDo) {
    VideoEncoderSettings s;
    s.fourcc = make_fourcc('Z', 'Z', 'Z', 'Z');
    auto unknown = VideoEncoder::open(make_rgb_header(kW, kH, 24), s);
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error().code, ErrorCode::Unsupported);

    s.fourcc = make_fourcc('C', 'R', 'A', 'M');  // Video 1 works on 4 x 4 blocks only
    auto odd = VideoEncoder::open(make_rgb_header(kW + 1, kH, 24), s);
    EXPECT_FALSE(odd);

    s.fourcc = make_fourcc('F', 'M', 'P', '4');
    BITMAPINFOHEADER twelve = make_rgb_header(kW, kH, 24);
    twelve.biBitCount = 12;
    EXPECT_FALSE(VideoEncoder::open(twelve, s));
    s.rate = 0;
    EXPECT_FALSE(VideoEncoder::open(make_rgb_header(kW, kH, 24), s));

    s.rate = 25;
    auto enc = VideoEncoder::open(make_rgb_header(kW, kH, 24), s);
    ASSERT_TRUE(enc);
    const auto wrong_size = VideoEncoder::open(make_rgb_header(8, 8, 24), s);
    ASSERT_TRUE(wrong_size);
    auto mismatch = enc.value()->encode(as_dib(std::vector<std::uint8_t>(picture(0, 32))));
    ASSERT_FALSE(mismatch);
    EXPECT_EQ(mismatch.error().code, ErrorCode::BadFormat);
    EXPECT_FALSE(enc.value()->encode(nullptr));
}

TEST(CodecCatalogue, ListsTheClassicChoicesAndTheirSettings) {
    const auto list = video_compressors();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().name, "Full Frames (Uncompressed)");
    EXPECT_EQ(list.front().fourcc, kFullFramesFourcc);
    for (const char* tag : {"MJPG", "FMP4", "H264", "FFV1", "HFYU", "CRAM", "cvid"}) {
        const auto info = find_video_compressor(make_fourcc(tag[0], tag[1], tag[2], tag[3]));
        ASSERT_TRUE(info.has_value()) << tag;
    }
    EXPECT_FALSE(find_video_compressor(make_fourcc('H', 'F', 'Y', 'U'))->quality);
    EXPECT_TRUE(find_video_compressor(make_fourcc('H', '2', '6', '4'))->data_rate);
    // Other FourCCs of a listed codec find it too.
    EXPECT_EQ(find_video_compressor(make_fourcc('X', 'V', 'I', 'D'))->fourcc,
              make_fourcc('F', 'M', 'P', '4'));

    const auto audio = audio_formats();
    for (std::uint16_t tag : {1, 2, 6, 7, 0x11, 0x55, 0x2000})
        EXPECT_TRUE(find_audio_format(tag).has_value()) << tag;
    EXPECT_EQ(audio.front().name, "PCM");
    EXPECT_EQ(find_audio_format(1)->bits, (std::vector<std::uint16_t>{8, 16}));
    EXPECT_FALSE(find_audio_format(0x55)->bit_rates.empty());
}

}  // namespace
}  // namespace vfw::codec::test
