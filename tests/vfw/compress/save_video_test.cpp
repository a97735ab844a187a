// Video saved compressed with each compressor, read back by ffprobe and
// ffmpeg and by our own frame decompressor.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "compress_test_util.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw/codec/codec_catalog.h"
#include "vfw/codec/format_tags.h"

namespace {

using compresstest::Opened;
using compresstest::probe;
using vfw::codec::test::TempDir;

constexpr int kFrames = 12;

// What ffprobe calls the codec each compressor writes.
const std::map<std::uint32_t, std::string>& probe_names() {
    static const std::map<std::uint32_t, std::string> names = {
        {mmioFOURCC('D', 'I', 'B', ' '), "rawvideo"},
        {mmioFOURCC('M', 'J', 'P', 'G'), "mjpeg"},
        {mmioFOURCC('F', 'M', 'P', '4'), "mpeg4"},
        {mmioFOURCC('H', '2', '6', '4'), "h264"},
        {mmioFOURCC('F', 'F', 'V', '1'), "ffv1"},
        {mmioFOURCC('H', 'F', 'Y', 'U'), "huffyuv"},
        {mmioFOURCC('C', 'R', 'A', 'M'), "msvideo1"},
        {mmioFOURCC('c', 'v', 'i', 'd'), "cinepak"},
        {mmioFOURCC('M', 'P', '4', '2'), "msmpeg4v2"},
        {mmioFOURCC('M', 'P', '4', '3'), "msmpeg4v3"},
        {mmioFOURCC('Z', 'M', 'B', 'V'), "zmbv"},
    };
    return names;
}

std::filesystem::path make_source(const TempDir& dir) {
    const auto file = dir / "source.avi";
    EXPECT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " + std::to_string(kFrames) +
        " -c:v mpeg4 -q:v 2 -an " + file.string()));
    return file;
}

double frames_diff(PAVISTREAM a, PAVISTREAM b, int n) {
    BITMAPINFOHEADER want{sizeof want, 160, 120, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    PGETFRAME ga = AVIStreamGetFrameOpen(a, &want);
    PGETFRAME gb = AVIStreamGetFrameOpen(b, &want);
    double diff = 1e9;
    if (ga && gb) {
        auto* fa = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(ga, n));
        auto* fb = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(gb, n));
        if (fa && fb) diff = vfw::codec::test::mean_abs_diff(fb, vfw::codec::test::dib_to_bgr(fa));
    }
    if (ga) AVIStreamGetFrameClose(ga);
    if (gb) AVIStreamGetFrameClose(gb);
    return diff;
}

TEST(SaveVideo, EveryCompressorWritesWhatFfprobeReads) {
    TempDir dir;
    const auto source_file = make_source(dir);
    Opened source(source_file, streamtypeVIDEO);
    ASSERT_NE(source.stream, nullptr);
    const auto compressors = vfw::codec::video_compressors();
    ASSERT_GE(compressors.size(), 6u);
    for (const vfw::codec::VideoCompressorInfo& c : compressors) {
        SCOPED_TRACE(c.name);
        AVICOMPRESSOPTIONS opts{};
        opts.fccType = streamtypeVIDEO;
        opts.fccHandler = c.fourcc;
        opts.dwQuality = 7500;
        opts.dwFlags = AVICOMPRESSF_VALID;
        PAVISTREAM compressed = nullptr;
        ASSERT_EQ(AVIMakeCompressedStream(&compressed, source.stream, &opts, nullptr), AVIERR_OK);
        const auto out = dir / ("out-" + vfw::codec::fourcc_text(c.fourcc) + ".avi");
        EXPECT_EQ(AVISaveA(out.c_str(), nullptr, nullptr, 1, compressed, &opts), AVIERR_OK);
        EXPECT_EQ(AVIStreamRelease(compressed), 0u);

        auto name = probe_names().find(c.fourcc);
        ASSERT_NE(name, probe_names().end()) << "no ffprobe name for " << c.name;
        EXPECT_EQ(probe(out, "v", "codec_name"), name->second);
        EXPECT_EQ(probe(out, "v", "nb_read_packets"), std::to_string(kFrames));
        EXPECT_NEAR(compresstest::probe_duration(out, "v"), kFrames / 25.0, 0.001);
        EXPECT_TRUE(compresstest::ffmpeg_decodes(out));

        // The pictures survive: exactly for lossless compressors.
        Opened saved(out, streamtypeVIDEO);
        ASSERT_NE(saved.stream, nullptr);
        for (int n : {0, kFrames / 2 + 1, kFrames - 1}) {
            const double diff = frames_diff(source.stream, saved.stream, n);
            EXPECT_LT(diff, c.lossless ? 1.0 : 12.0) << "frame " << n;
        }
    }
}

TEST(SaveVideo, KeyFrameIntervalAndQualityReachTheFile) {
    TempDir dir;
    Opened source(make_source(dir), streamtypeVIDEO);
    ASSERT_NE(source.stream, nullptr);
    AVICOMPRESSOPTIONS opts{};
    opts.fccType = streamtypeVIDEO;
    opts.fccHandler = mmioFOURCC('F', 'M', 'P', '4');
    opts.dwFlags = AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES;
    opts.dwKeyFrameEvery = 5;
    opts.dwQuality = 9000;
    const auto fine = dir / "fine.avi";
    ASSERT_EQ(AVISaveA(fine.c_str(), nullptr, nullptr, 1, source.stream, &opts), AVIERR_OK);
    const std::string flags = compresstest::run(
        "ffprobe -v error -select_streams v:0 -show_entries packet=flags "
        "-of csv=p=0 '" +
        fine.string() + "' | tr -d '_\\n'");
    EXPECT_EQ(flags, "KKK");  // frames 0, 5 and 10 of 12
    Opened saved(fine, streamtypeVIDEO);
    EXPECT_EQ(AVIStreamFindSample(saved.stream, 7, FIND_PREV | FIND_KEY), 5);

    opts.dwQuality = 500;
    const auto coarse = dir / "coarse.avi";
    ASSERT_EQ(AVISaveA(coarse.c_str(), nullptr, nullptr, 1, source.stream, &opts), AVIERR_OK);
    EXPECT_LT(std::filesystem::file_size(coarse) * 2, std::filesystem::file_size(fine));

    // A data rate caps the size whatever the quality.
    opts.dwQuality = 10000;
    opts.dwFlags |= AVICOMPRESSF_DATARATE;
    opts.dwBytesPerSecond = 8 * 1024;
    const auto capped = dir / "capped.avi";
    ASSERT_EQ(AVISaveA(capped.c_str(), nullptr, nullptr, 1, source.stream, &opts), AVIERR_OK);
    EXPECT_LT(std::filesystem::file_size(capped), std::filesystem::file_size(fine));
}

TEST(CompressedStream, ReadsLikeAStreamAndStartsAgainWhenAskedBackwards) {
    TempDir dir;
    Opened source(make_source(dir), streamtypeVIDEO);
    ASSERT_NE(source.stream, nullptr);
    AVICOMPRESSOPTIONS opts{};
    opts.fccType = streamtypeVIDEO;
    opts.fccHandler = mmioFOURCC('M', 'J', 'P', 'G');
    opts.dwQuality = 8000;
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIMakeCompressedStream(&s, source.stream, &opts, nullptr), AVIERR_OK);

    AVISTREAMINFOA info{};
    ASSERT_EQ(AVIStreamInfoA(s, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.fccHandler, opts.fccHandler);
    EXPECT_EQ(info.dwRate, 25u);
    EXPECT_EQ(AVIStreamLength(s), kFrames);
    LONG size = 0;
    ASSERT_EQ(AVIStreamReadFormat(s, 0, nullptr, &size), AVIERR_OK);
    ASSERT_GE(size, LONG(sizeof(BITMAPINFOHEADER)));
    BITMAPINFOHEADER bi{};
    LONG room = sizeof bi;
    EXPECT_EQ(AVIStreamReadFormat(s, 0, &bi, &room),
              size > LONG(sizeof bi) ? AVIERR_BUFFERTOOSMALL : AVIERR_OK);
    EXPECT_EQ(bi.biCompression, opts.fccHandler);
    EXPECT_EQ(bi.biWidth, 160);

    auto read = [&](LONG n) {
        LONG bytes = 0;
        EXPECT_EQ(AVIStreamRead(s, n, 1, nullptr, 0, &bytes, nullptr), AVIERR_OK);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes));
        char tiny[4];
        EXPECT_EQ(AVIStreamRead(s, n, 1, tiny, sizeof tiny, nullptr, nullptr),
                  AVIERR_BUFFERTOOSMALL);
        EXPECT_EQ(AVIStreamRead(s, n, 1, data.data(), bytes, &bytes, nullptr), AVIERR_OK);
        return data;
    };
    const auto fifth = read(5);
    ASSERT_GT(fifth.size(), 100u);
    EXPECT_EQ(fifth[0], 0xFF);  // a JPEG picture starts with SOI
    EXPECT_EQ(fifth[1], 0xD8);
    const auto sixth = read(6);
    EXPECT_NE(sixth, fifth);
    EXPECT_EQ(read(5), fifth);  // behind the encoder: encoded again from the start
    EXPECT_EQ(AVIStreamRead(s, kFrames, 1, nullptr, 0, nullptr, nullptr), AVIERR_NODATA);
    EXPECT_EQ(AVIStreamFindSample(s, 7, FIND_PREV | FIND_KEY), 7);  // every JPEG stands alone
    EXPECT_EQ(AVIStreamRelease(s), 0u);
    EXPECT_EQ(AVIStreamLength(s), -1);  // stale handle
}

TEST(CompressedStream, RefusesWhatCannotBeDone) {
    TempDir dir;
    Opened source(make_source(dir), streamtypeVIDEO);
    ASSERT_NE(source.stream, nullptr);
    AVICOMPRESSOPTIONS opts{};
    opts.fccType = streamtypeVIDEO;
    opts.fccHandler = mmioFOURCC('X', 'Y', 'Z', 'W');
    PAVISTREAM s = reinterpret_cast<PAVISTREAM>(1);
    EXPECT_EQ(AVIMakeCompressedStream(&s, source.stream, &opts, nullptr), AVIERR_NOCOMPRESSOR);
    EXPECT_EQ(s, nullptr);
    opts.fccHandler = mmioFOURCC('M', 'J', 'P', 'G');
    EXPECT_EQ(AVIMakeCompressedStream(&s, reinterpret_cast<PAVISTREAM>(0x1234), &opts, nullptr),
              AVIERR_BADHANDLE);
    EXPECT_EQ(AVIMakeCompressedStream(&s, source.stream, nullptr, nullptr), AVIERR_BADPARAM);
}

}  // namespace
