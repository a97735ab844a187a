// Pictures whose sizes are not multiples of the block sizes converters like, every
// pixel against ffmpeg's own decode of the same file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "codec_fixture.h"
#include "vfw/codec/dib_layout.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

struct SizeCase {
    const char* name;
    const char* encode;  // ffmpeg output options
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& os, const SizeCase& c) { return os << c.name; }

class OddSizePeer : public ::testing::TestWithParam<SizeCase> {};

TEST_P(OddSizePeer, EveryPixelMatchesFfmpeg) {
    const SizeCase& c = GetParam();
    constexpr int kFrames = 4;
    TempDir dir;
    const auto file = dir / "in.avi";
    // The test pattern comes in even sizes only; odd ones are cut from it.
    const std::string size = std::to_string(c.width) + ":" + std::to_string(c.height);
    ASSERT_TRUE(run_ffmpeg("-f lavfi -i testsrc2=size=" + std::to_string(c.width + 1) + "x" +
                           std::to_string(c.height + 1) + ":rate=25,format=rgb24,crop=" + size +
                           ":0:0 -frames:v " + std::to_string(kFrames) + " " + c.encode + " -an " +
                           file.string()));
    AviVideo video = load_avi_video(file);
    const auto reference = ffmpeg_bgr24_frames(file, c.width, c.height);
    ASSERT_EQ(reference.size(), std::size_t(kFrames));

    for (const int bits : {24, 32}) {
        const BITMAPINFOHEADER wanted{sizeof(BITMAPINFOHEADER),
                                      c.width,
                                      c.height,
                                      1,
                                      std::uint16_t(bits),
                                      BI_RGB,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0};
        auto opened = FrameDecoder::open(video.packets, video.format, &wanted);
        ASSERT_TRUE(opened) << opened.error().message;
        for (int n = 0; n < kFrames; ++n) {
            const BITMAPINFOHEADER* dib = opened.value()->frame(n);
            ASSERT_NE(dib, nullptr) << "frame " << n;
            const PixelDiff diff = worst_pixel(dib, reference[std::size_t(n)]);
            EXPECT_LE(diff.value, 2)
                << bits << " bits, frame " << n << ", worst at x=" << diff.x << " y=" << diff.y;
        }
    }
}

const SizeCase kSizes[] = {
    {"mjpeg_150x110", "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p", 150, 110},
    {"mjpeg_odd_75x43", "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p", 75, 43},
    {"mjpeg_444_odd_75x43", "-c:v mjpeg -q:v 3 -pix_fmt yuvj444p", 75, 43},
    {"mjpeg_854x480", "-c:v mjpeg -q:v 3 -pix_fmt yuvj420p", 854, 480},
    {"mpeg4_150x110", "-c:v mpeg4 -q:v 4 -pix_fmt yuv420p", 150, 110},
    {"mpeg4_92x68", "-c:v mpeg4 -q:v 4 -pix_fmt yuv420p", 92, 68},
    {"mpeg4_odd_75x43", "-c:v mpeg4 -q:v 4 -pix_fmt yuv420p", 75, 43},
    {"h264_150x110", "-c:v libx264 -preset veryfast -pix_fmt yuv420p", 150, 110},
    {"h264_200x122", "-c:v libx264 -preset veryfast -pix_fmt yuv420p", 200, 122},
    {"ffv1_odd_77x45", "-c:v ffv1 -pix_fmt yuv420p", 77, 45},
    {"huffyuv_150x110", "-c:v huffyuv -pix_fmt yuv422p", 150, 110},
    {"msvideo1_148x108", "-c:v msvideo1", 148, 108},
    {"cinepak_156x116", "-c:v cinepak", 156, 116},
    {"yuy2_150x110", "-c:v rawvideo -pix_fmt yuyv422", 150, 110},
    {"i420_150x110", "-c:v rawvideo -pix_fmt yuv420p -vtag I420", 150, 110},
    {"rgb24_odd_75x43", "-c:v rawvideo -pix_fmt bgr24", 75, 43},
};

INSTANTIATE_TEST_SUITE_P(Sizes, OddSizePeer, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows of whole 16-pixel blocks at 24 bits are converted straight into the DIB, in
// both row orders, scaled or not; they must hold what the padded 32-bit path holds.
TEST(WholeBlockRows, MatchThePaddedPath) {
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(
        run_ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v 3 -c:v mpeg4 "
                   "-q:v 4 -bf 1 -an " +
                   file.string()));
    AviVideo video = load_avi_video(file);
    for (const auto& [w, h] : {std::pair{160, 120}, {160, -120}, {320, 240}, {96, -72}}) {
        auto open = [&](int bits) {
            const BITMAPINFOHEADER wanted = make_rgb_header(w, h, std::uint16_t(bits));
            return FrameDecoder::open(video.packets, video.format, &wanted);
        };
        auto direct = open(24);
        auto padded = open(32);
        ASSERT_TRUE(direct && padded);
        for (int n = 0; n < 3; ++n) {
            const BITMAPINFOHEADER* dib = direct.value()->frame(n);
            ASSERT_NE(dib, nullptr);
            const PixelDiff diff = worst_pixel(dib, dib_to_bgr(padded.value()->frame(n)));
            EXPECT_LE(diff.value, 1)
                << w << "x" << h << ", frame " << n << ", worst at x=" << diff.x << " y=" << diff.y;
        }
    }
}

}  // namespace
}  // namespace vfw::codec::test
