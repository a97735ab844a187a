// Frames decoded through FrameDecoder against ffmpeg's own decode of files ffmpeg wrote.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_fixture.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

struct DecodeCase {
    const char* name;
    const char* encode;  // ffmpeg output options
    int width;
    int height;
    int frames;
    int middle;  // a position inside a group of pictures
};

std::ostream& operator<<(std::ostream& os, const DecodeCase& c) { return os << c.name; }

class FrameDecoderPeer : public ::testing::TestWithParam<DecodeCase> {};

std::vector<std::uint8_t> copy_dib(const BITMAPINFOHEADER* dib, std::size_t size) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(dib);
    return {p, p + size};
}

TEST_P(FrameDecoderPeer, MatchesFfmpegWhenSteppingAndJumping) {
    const DecodeCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(run_ffmpeg("-f lavfi -i testsrc2=size=" + std::to_string(c.width) + "x" +
                           std::to_string(c.height) + ":rate=25 -frames:v " +
                           std::to_string(c.frames) + " " + c.encode + " -an " + file.string()));
    AviVideo video = load_avi_video(file);
    ASSERT_EQ(video.packets.sample_count(), c.frames);
    const auto reference = ffmpeg_bgr24_frames(file, c.width, c.height);
    ASSERT_EQ(reference.size(), std::size_t(c.frames));

    auto opened = FrameDecoder::open(video.packets, video.format);
    ASSERT_TRUE(opened) << opened.error().message;
    FrameDecoder& decoder = *opened.value();
    EXPECT_EQ(decoder.output_format().biBitCount, 24);
    EXPECT_EQ(decoder.output_format().biWidth, c.width);
    EXPECT_EQ(decoder.output_format().biHeight, c.height);

    // Every frame in order, each one sample further on.
    std::vector<std::uint8_t> middle_stepped;
    for (int n = 0; n < c.frames; ++n) {
        const std::int64_t sent_before = decoder.samples_decoded();
        const BITMAPINFOHEADER* dib = decoder.frame(n);
        ASSERT_NE(dib, nullptr) << "frame " << n << ": " << decoder.last_error()->message;
        EXPECT_LT(mean_abs_diff(dib, reference[std::size_t(n)]), 1.0) << "frame " << n;
        if (n > 4 && n < c.frames - 1) {
            EXPECT_LE(decoder.samples_decoded() - sent_before, 1) << "step to " << n;
        }
        if (n == c.middle) middle_stepped = copy_dib(dib, decoder.frame_size());
    }

    // Jumping back into the group of pictures gives the same pixels as stepping did.
    const BITMAPINFOHEADER* last = decoder.frame(c.frames - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_LT(mean_abs_diff(last, reference.back()), 1.0);
    const BITMAPINFOHEADER* middle = decoder.frame(c.middle);
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(copy_dib(middle, decoder.frame_size()), middle_stepped);
    const BITMAPINFOHEADER* first = decoder.frame(0);
    ASSERT_NE(first, nullptr);
    EXPECT_LT(mean_abs_diff(first, reference.front()), 1.0);
    // And a fresh decoder that starts in the middle agrees too.
    auto fresh = FrameDecoder::open(video.packets, video.format);
    ASSERT_TRUE(fresh);
    const BITMAPINFOHEADER* direct = fresh.value()->frame(c.middle);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(copy_dib(direct, fresh.value()->frame_size()), middle_stepped);
}

const DecodeCase kCases[] = {
    {"mjpeg", "-c:v mjpeg -q:v 3", 160, 120, 10, 6},
    {"mpeg4_bframes", "-c:v mpeg4 -bf 2 -g 12 -q:v 4", 160, 120, 30, 17},
    {"divx_tag", "-c:v mpeg4 -vtag DX50 -bf 1 -g 10", 160, 120, 20, 13},
    {"h264_bframes", "-c:v libx264 -preset veryfast -bf 2 -g 12 -pix_fmt yuv420p", 160, 120, 30,
     17},
    {"h264_open_gop",
     "-c:v libx264 -preset veryfast -bf 2 -g 12 -x264-params open-gop=1 -pix_fmt yuv420p", 160, 120,
     30, 13},
    {"ffv1", "-c:v ffv1 -g 5", 160, 120, 12, 7},
    {"huffyuv", "-c:v huffyuv", 160, 120, 6, 3},
    {"dv", "-c:v dvvideo -pix_fmt yuv420p", 720, 576, 3, 1},
    {"cinepak", "-c:v cinepak -g 6", 160, 120, 10, 8},
    {"msvideo1", "-c:v msvideo1", 160, 120, 8, 5},
    {"yuy2", "-c:v rawvideo -pix_fmt yuyv422", 160, 120, 4, 2},
    {"uyvy", "-c:v rawvideo -pix_fmt uyvy422", 160, 120, 4, 2},
    {"i420", "-c:v rawvideo -pix_fmt yuv420p -vtag I420", 160, 120, 4, 2},
    {"yv12", "-c:v rawvideo -pix_fmt yuv420p -vtag YV12", 160, 120, 4, 2},
    {"rgb24_top_down", "-c:v rawvideo -pix_fmt bgr24", 162, 120, 4, 2},
    {"rgb32", "-c:v rawvideo -pix_fmt bgra", 160, 120, 4, 2},
    {"rgb555", "-c:v rawvideo -pix_fmt rgb555le", 160, 120, 4, 2},
    {"pal8", "-c:v rawvideo -pix_fmt pal8", 160, 120, 4, 2},
};

INSTANTIATE_TEST_SUITE_P(Codecs, FrameDecoderPeer, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vfw::codec::test
