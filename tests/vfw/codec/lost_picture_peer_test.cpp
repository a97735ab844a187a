// Samples that yield no picture: that position delivers no frame, and every
// other position still shows its own picture.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_fixture.h"
#include "frame_decoder.h"

namespace vfw::codec::test {
namespace {

struct LostCase {
    const char* name;
    const char* encode;  // ffmpeg output options
    int frames;
    int lost;     // the position whose sample gets no picture
    bool insert;  // true: a sample is inserted there; false: its bytes are spoilt
};

std::ostream& operator<<(std::ostream& os, const LostCase& c) { return os << c.name; }

// The start of the stream's first sample up to its first coded slice: the
// parameter sets, and nothing a decoder could make a picture of.
std::vector<std::uint8_t> h264_parameter_sets(const std::vector<std::uint8_t>& first) {
    for (std::size_t i = 0; i + 4 < first.size(); ++i) {
        if (first[i] != 0 || first[i + 1] != 0 || first[i + 2] != 1) continue;
        const int type = first[i + 3] & 0x1f;
        if (type == 1 || type == 5) return {first.begin(), first.begin() + std::ptrdiff_t(i)};
    }
    return {};
}

class LostPicturePeer : public ::testing::TestWithParam<LostCase> {};

TEST_P(LostPicturePeer, OnlyThatPositionIsMissing) {
    const LostCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(run_ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " +
                           std::to_string(c.frames) + " " + c.encode + " -an " + file.string()));
    AviVideo video = load_avi_video(file);
    auto reference = ffmpeg_bgr24_frames(file, 160, 120);
    ASSERT_EQ(reference.size(), std::size_t(c.frames));
    auto& samples = video.packets.samples;
    if (c.insert) {
        const std::vector<std::uint8_t> sets = h264_parameter_sets(samples[0].bytes);
        ASSERT_FALSE(sets.empty());
        samples.insert(samples.begin() + c.lost, Sample{sets, false});
        reference.insert(reference.begin() + c.lost, std::vector<std::uint8_t>{});
    } else {
        std::vector<std::uint8_t>& bytes = samples[std::size_t(c.lost)].bytes;
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i * 7 + 3);
    }

    // Forward, then backwards, then jumping about: each position shows its own picture.
    std::vector<int> order;
    for (int n = 0; n < int(reference.size()); ++n) order.push_back(n);
    for (int n = int(reference.size()) - 1; n >= 0; --n) order.push_back(n);
    for (int n : {c.lost + 1, c.lost, c.lost - 1, int(reference.size()) - 1, c.lost + 2, 0})
        order.push_back(n);
    auto opened = FrameDecoder::open(video.packets, video.format);
    ASSERT_TRUE(opened) << opened.error().message;
    for (const int n : order) {
        const BITMAPINFOHEADER* dib = opened.value()->frame(n);
        if (n == c.lost) {
            EXPECT_EQ(dib, nullptr) << "position " << n;
            continue;
        }
        ASSERT_NE(dib, nullptr) << "position " << n;
        EXPECT_LT(mean_abs_diff(dib, reference[std::size_t(n)]), 1.0) << "position " << n;
    }
}

const LostCase kLost[] = {
    {"mjpeg_damaged", "-c:v mjpeg -q:v 3", 12, 6, false},
    {"h264_parameter_sets_only", "-c:v libx264 -preset veryfast -bf 0 -g 30 -pix_fmt yuv420p", 12,
     5, true},
    {"h264_bframes_parameter_sets_only",
     "-c:v libx264 -preset veryfast -bf 2 -g 6 -pix_fmt yuv420p", 18, 6, true},
};

INSTANTIATE_TEST_SUITE_P(Codecs, LostPicturePeer, ::testing::ValuesIn(kLost),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vfw::codec::test
