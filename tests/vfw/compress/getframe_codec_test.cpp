// AVIStreamGetFrame on compressed files that ffmpeg writes, against ffmpeg's
// own decode of the same file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;

struct Case {
    const char* name;
    const char* encode;
    int frames;
    int middle;  // inside a group of pictures
};

class GetFrameCodec : public ::testing::TestWithParam<Case> {};

std::vector<std::uint8_t> copy_dib(const void* dib) {
    const auto* h = static_cast<const BITMAPINFOHEADER*>(dib);
    const auto* p = static_cast<const std::uint8_t*>(dib);
    return {p, p + h->biSize + h->biSizeImage};
}

TEST_P(GetFrameCodec, MatchesFfmpegSteppingAndJumping) {
    const Case& c = GetParam();
    const int w = 160, h = 120;
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " + std::to_string(c.frames) + " " +
        c.encode + " -an " + file.string()));
    const auto reference = vfw::codec::test::ffmpeg_bgr24_frames(file, w, h);
    ASSERT_EQ(reference.size(), std::size_t(c.frames));

    PAVIFILE pf = nullptr;
    PAVISTREAM ps = nullptr;
    ASSERT_EQ(AVIFileOpenA(&pf, file.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(pf, &ps, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(ps), c.frames);

    BITMAPINFOHEADER want{sizeof want, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    PGETFRAME g = AVIStreamGetFrameOpen(ps, &want);
    ASSERT_NE(g, nullptr);
    std::vector<std::uint8_t> middle;
    for (int n = 0; n < c.frames; ++n) {
        auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, n));
        ASSERT_NE(dib, nullptr) << "frame " << n;
        ASSERT_EQ(dib->biBitCount, 24);
        ASSERT_EQ(dib->biWidth, w);
        ASSERT_EQ(dib->biHeight, h);
        EXPECT_LT(vfw::codec::test::mean_abs_diff(dib, reference[std::size_t(n)]), 1.0)
            << "frame " << n;
        if (n == c.middle) middle = copy_dib(dib);
    }
    // A jump back into the group of pictures gives what stepping gave.
    auto* again = AVIStreamGetFrame(g, c.middle);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(copy_dib(again), middle);
    auto* first = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_LT(vfw::codec::test::mean_abs_diff(first, reference.front()), 1.0);
    EXPECT_EQ(AVIStreamGetFrame(g, c.frames), nullptr);
    EXPECT_EQ(AVIStreamGetFrameClose(g), AVIERR_OK);

    // A fresh decompressor that starts in the middle agrees as well; null
    // and the best display format come at the stream's size.
    g = AVIStreamGetFrameOpen(ps, nullptr);
    ASSERT_NE(g, nullptr);
    auto* direct = AVIStreamGetFrame(g, c.middle);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(copy_dib(direct), middle);
    AVIStreamGetFrameClose(g);
    g = AVIStreamGetFrameOpen(ps,
                              reinterpret_cast<LPBITMAPINFOHEADER>(AVIGETFRAMEF_BESTDISPLAYFMT));
    ASSERT_NE(g, nullptr);
    auto* best = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, c.frames - 1));
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->biBitCount, 32);
    EXPECT_LT(vfw::codec::test::mean_abs_diff(best, reference.back()), 1.0);
    AVIStreamGetFrameClose(g);

    AVIStreamRelease(ps);
    AVIFileRelease(pf);
}

const Case kCases[] = {
    {"mjpeg", "-c:v mjpeg -q:v 3", 10, 6},
    {"mpeg4_bframes", "-c:v mpeg4 -bf 2 -g 12 -q:v 4", 30, 17},
    {"h264", "-c:v libx264 -preset veryfast -bf 2 -g 12 -pix_fmt yuv420p", 30, 17},
    {"ffv1", "-c:v ffv1 -g 5", 12, 7},
    {"huffyuv", "-c:v huffyuv", 6, 3},
    {"msvideo1", "-c:v msvideo1", 8, 5},
    {"yuy2", "-c:v rawvideo -pix_fmt yuyv422", 4, 2},
    {"i420", "-c:v rawvideo -pix_fmt yuv420p -vtag I420", 4, 2},
};

INSTANTIATE_TEST_SUITE_P(Formats, GetFrameCodec, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GetFrameCodecRequest, ScalesAndRefusesWhatItCannotMake) {
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v 3 -c:v mpeg4 -an " + file.string()));
    PAVIFILE pf = nullptr;
    PAVISTREAM ps = nullptr;
    ASSERT_EQ(AVIFileOpenA(&pf, file.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(pf, &ps, streamtypeVIDEO, 0), AVIERR_OK);

    BITMAPINFOHEADER want{sizeof want, 80, 60, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    PGETFRAME g = AVIStreamGetFrameOpen(ps, &want);
    ASSERT_NE(g, nullptr);
    auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, 2));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->biWidth, 80);
    EXPECT_EQ(dib->biHeight, 60);
    EXPECT_EQ(dib->biBitCount, 16);
    AVIStreamGetFrameClose(g);

    want.biCompression = mmioFOURCC('M', 'J', 'P', 'G');
    EXPECT_EQ(AVIStreamGetFrameOpen(ps, &want), nullptr);
    AVIStreamRelease(ps);
    AVIFileRelease(pf);
}

// A format no decoder knows opens no decompressor: the file is ffmpeg's
// with its FourCC overwritten.
TEST(GetFrameCodecRequest, UnknownFormatGivesNull) {
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 2 -c:v mpeg4 -an " + file.string()));
    std::FILE* f = std::fopen(file.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::vector<char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    int patched = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (std::memcmp(&bytes[i], "FMP4", 4) == 0) {
            std::fseek(f, long(i), SEEK_SET);
            std::fwrite("QQQQ", 1, 4, f);
            ++patched;
        }
    std::fclose(f);
    ASSERT_GT(patched, 0);
    PAVIFILE pf = nullptr;
    PAVISTREAM ps = nullptr;
    ASSERT_EQ(AVIFileOpenA(&pf, file.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(pf, &ps, streamtypeVIDEO, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamGetFrameOpen(ps, nullptr), nullptr);
    AVIStreamRelease(ps);
    AVIFileRelease(pf);
}

}  // namespace
