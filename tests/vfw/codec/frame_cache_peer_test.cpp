// Stepping back over frames just shown decodes nothing, within the cache's
// byte bound; beyond it the decoder works again and the pictures stay right.
#include <gtest/gtest.h>

#include "codec_fixture.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

TEST(FrameCache, StepBackWithinTheBoundDecodesNothing) {
    constexpr int kFrames = 24;
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(run_ffmpeg(
        "-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v 24 -c:v libx264 -preset veryfast "
        "-g 12 -bf 2 -pix_fmt yuv420p -an " +
        file.string()));
    AviVideo video = load_avi_video(file);
    const auto reference = ffmpeg_bgr24_frames(file, 160, 120);
    auto opened = FrameDecoder::open(video.packets, video.format);
    ASSERT_TRUE(opened);
    FrameDecoder& decoder = *opened.value();
    const std::size_t frame_bytes = decoder.frame_size();
    decoder.set_cache_limit(frame_bytes * 6);

    for (int n = 0; n < kFrames; ++n) ASSERT_NE(decoder.frame(n), nullptr);
    EXPECT_LE(decoder.cache_bytes(), frame_bytes * 6);
    EXPECT_EQ(decoder.cache_bytes(), frame_bytes * 6);

    // The last six frames come back without a decode, and as they were.
    const std::int64_t decoded = decoder.samples_decoded();
    for (int n = kFrames - 1; n >= kFrames - 6; --n) {
        const BITMAPINFOHEADER* dib = decoder.frame(n);
        ASSERT_NE(dib, nullptr);
        EXPECT_LT(mean_abs_diff(dib, reference[std::size_t(n)]), 1.0) << "position " << n;
    }
    EXPECT_EQ(decoder.samples_decoded(), decoded);

    // One further back was dropped: it is decoded again, and right.
    const BITMAPINFOHEADER* older = decoder.frame(kFrames - 7);
    ASSERT_NE(older, nullptr);
    EXPECT_GT(decoder.samples_decoded(), decoded);
    EXPECT_LT(mean_abs_diff(older, reference[kFrames - 7]), 1.0);
    EXPECT_LE(decoder.cache_bytes(), frame_bytes * 6);

    // A bound smaller than one frame keeps nothing.
    decoder.set_cache_limit(frame_bytes - 1);
    EXPECT_EQ(decoder.cache_bytes(), 0u);
    ASSERT_NE(decoder.frame(3), nullptr);
    EXPECT_EQ(decoder.cache_bytes(), 0u);
}

}  // namespace
}  // namespace vfw::codec::test
