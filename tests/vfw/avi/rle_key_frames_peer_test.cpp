// A run-length coded file without its idx1: the key frames are the samples that
// paint every pixel, and every position shows what ffmpeg shows for the
// indexed file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hand_made_avi.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;
using vfw::test::Bytes;

constexpr int kWidth = 16, kHeight = 8, kFrames = 30;

void end_line(Bytes& b) { b.insert(b.end(), {0, 0}); }
void end_picture(Bytes& b) { b.insert(b.end(), {0, 1}); }

// Every row: a run, three pixels as they are (padded), and a run to the end.
Bytes key_frame(int n) {
    Bytes b;
    for (int y = 0; y < kHeight; ++y) {
        const auto colour = std::uint8_t(1 + (n / 10 + y) % 3);
        b.insert(b.end(), {5, colour, 0, 3, 4, std::uint8_t(n % 4), colour, 0, 8, 0});
        end_line(b);
    }
    end_picture(b);
    return b;
}

// Frames that change part of the picture, each in one of the ways that leave
// pixels alone.
Bytes delta_frame(int n) {
    Bytes b;
    const auto colour = std::uint8_t(n % 4);
    switch (n % 3) {
        case 0:  // jump to the middle, paint four pixels, stop
            b.insert(b.end(), {0, 2, std::uint8_t(n % 8), 3, 4, colour});
            break;
        case 1:  // the bottom row only
            b.insert(b.end(), {kWidth, colour});
            break;
        default:  // every row but cut short
            for (int y = 0; y < kHeight; ++y) {
                b.insert(b.end(), {std::uint8_t(1 + (n + y) % 6), colour});
                end_line(b);
            }
            break;
    }
    end_picture(b);
    return b;
}

vfw::test::HandVideo rle_video(bool with_index) {
    vfw::test::HandVideo video{kWidth, kHeight, BI_RLE8, {}, {}, with_index};
    video.palette = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    for (int n = 0; n < kFrames; ++n) {
        const bool key = n % 10 == 0;
        video.chunks.push_back({"00dc", key ? key_frame(n) : delta_frame(n), key ? 0x10u : 0u});
    }
    return video;
}

TEST(RleKeyFrames, LearnedFromTheSamplesWhenTheIndexIsGone) {
    TempDir dir;
    const auto indexed = dir / "indexed.avi";
    const auto bare = dir / "bare.avi";
    vfw::test::write_hand_made_avi(indexed, rle_video(true));
    vfw::test::write_hand_made_avi(bare, rle_video(false));
    const auto reference = vfw::codec::test::ffmpeg_bgr24_frames(indexed, kWidth, kHeight);
    ASSERT_EQ(reference.size(), std::size_t(kFrames));

    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, bare.c_str(), 0, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(stream), kFrames);
    for (int n = 0; n < kFrames; ++n)
        EXPECT_EQ(AVIStreamIsKeyFrame(stream, n), n % 10 == 0) << "sample " << n;

    std::vector<int> order;
    for (int n = 0; n < kFrames; ++n) order.push_back(n);
    for (int n = kFrames - 1; n >= 0; --n) order.push_back(n);
    for (int n : {15, 29, 3, 28, 1, 16, 10, 9}) order.push_back(n);
    BITMAPINFOHEADER want{sizeof want, kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, &want);
    ASSERT_NE(frames, nullptr);
    for (const int n : order) {
        const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
        ASSERT_NE(dib, nullptr) << "position " << n;
        EXPECT_EQ(vfw::codec::test::dib_to_bgr(dib), reference[std::size_t(n)]) << "position " << n;
    }
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

}  // namespace
