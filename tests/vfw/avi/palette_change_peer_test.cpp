// Palette-change chunks (##pc) in 8-bit streams, plain and run-length coded:
// every frame is shown in the colours in force at its position, as ffmpeg
// shows it, whether the index or a scan of the chunks finds them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "hand_made_avi.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;
using vfw::test::Bytes;

constexpr int kWidth = 4, kHeight = 2;

// One frame of two rows, stored bottom-up: the bottom row in entry 1, the top
// row in entry 0, plain or run-length coded.
Bytes frame(bool rle) {
    if (!rle) return {1, 1, 1, 1, 0, 0, 0, 0};
    // Two runs a row: a frame as long as the plain one is taken for plain.
    return {2, 1, 2, 1, 0, 0, 2, 0, 2, 0, 0, 1};
}

// Frames 0..3; before frame 1 entry 0 turns blue, before frame 3 entries 0 and 1
// turn white and black.
enum class Index { Legacy, None, OpenDml };

void write_file(const std::filesystem::path& path, bool rle, Index index) {
    vfw::test::HandVideo video{kWidth,
                               kHeight,
                               std::uint32_t(rle ? BI_RLE8 : BI_RGB),
                               {0, 0, 255, 0, 0, 255, 0, 0},  // red, green
                               {},
                               index == Index::Legacy,
                               index == Index::OpenDml};
    video.chunks = {{"00dc", frame(rle), 0x10},
                    {"00pc", {0, 1, 0, 0, 0, 0, 255, 0}},
                    {"00dc", frame(rle), 0x10},
                    {"00dc", frame(rle), 0x10},
                    {"00pc", {0, 2, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0}},
                    {"00dc", frame(rle), 0x10}};
    vfw::test::write_hand_made_avi(path, video);
}

// Top-down BGR of each frame: the top row in entry 0, the bottom row in entry 1.
std::vector<Bytes> expected_frames() {
    const Bytes red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, white{255, 255, 255},
        black{0, 0, 0};
    const Bytes top[] = {red, blue, blue, white};
    const Bytes bottom[] = {green, green, green, black};
    std::vector<Bytes> frames;
    for (int f = 0; f < 4; ++f) {
        Bytes rows;
        for (const Bytes* colour : {&top[f], &bottom[f]})
            for (int x = 0; x < kWidth; ++x)
                rows.insert(rows.end(), colour->begin(), colour->end());
        frames.push_back(rows);
    }
    return frames;
}

TEST(PaletteChange, EachFrameInItsOwnColours) {
    const std::vector<Bytes> expected = expected_frames();
    for (const bool rle : {false, true}) {
        for (const Index index : {Index::Legacy, Index::None, Index::OpenDml}) {
            SCOPED_TRACE(std::string(rle ? "RLE8" : "plain") + (index == Index::Legacy ? ", idx1"
                                                                : index == Index::None
                                                                    ? ", scanned"
                                                                    : ", OpenDML"));
            TempDir dir;
            const auto path = dir / "pal.avi";
            write_file(path, rle, index);
            // ffmpeg reads the file as we build it and shows the same colours.
            EXPECT_EQ(vfw::codec::test::ffmpeg_bgr24_frames(path, kWidth, kHeight), expected);

            PAVIFILE file = nullptr;
            PAVISTREAM stream = nullptr;
            ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), 0, nullptr), AVIERR_OK);
            ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
            ASSERT_EQ(AVIStreamLength(stream), 4);
            BITMAPINFOHEADER want{sizeof want, kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
            PGETFRAME frames = AVIStreamGetFrameOpen(stream, &want);
            ASSERT_NE(frames, nullptr);
            // Forward, back over both changes, and jumps.
            for (const int n : {0, 1, 2, 3, 2, 1, 0, 3, 0, 2}) {
                const auto* dib =
                    static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
                ASSERT_NE(dib, nullptr) << "position " << n;
                EXPECT_EQ(vfw::codec::test::dib_to_bgr(dib), expected[std::size_t(n)])
                    << "position " << n;
            }
            AVIStreamGetFrameClose(frames);
            AVIStreamRelease(stream);
            AVIFileRelease(file);
        }
    }
}

}  // namespace
