// Audio saved as MP3, PCM and ADPCM; saves that fail leave nothing behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <fstream>
#include <string>

#include "compress_test_util.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw/codec/wave_format.h"

namespace {

using compresstest::Opened;
using compresstest::probe;
using vfw::codec::test::TempDir;

std::filesystem::path make_sound(const TempDir& dir, double seconds) {
    const auto file = dir / "sound.avi";
    EXPECT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds) +
        " -ac 2 -c:a pcm_s16le " + file.string()));
    return file;
}

HRESULT save_as(PAVISTREAM source, const WAVEFORMATEX& target, const std::filesystem::path& out) {
    AVICOMPRESSOPTIONS opts{};
    opts.fccType = streamtypeAUDIO;
    WAVEFORMATEX format = target;
    opts.lpFormat = &format;
    opts.cbFormat = sizeof format;
    PAVISTREAM compressed = nullptr;
    if (HRESULT hr = AVIMakeCompressedStream(&compressed, source, &opts, nullptr); hr != AVIERR_OK)
        return hr;
    const HRESULT hr = AVISaveA(out.c_str(), nullptr, nullptr, 1, compressed, &opts);
    AVIStreamRelease(compressed);
    return hr;
}

TEST(SaveAudio, Mp3PcmAndAdpcmKeepTheDuration) {
    TempDir dir;
    Opened source(make_sound(dir, 2.0), streamtypeAUDIO);
    ASSERT_NE(source.stream, nullptr);

    WAVEFORMATEX mp3{};
    mp3.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.nChannels = 2;
    mp3.nSamplesPerSec = 44100;
    mp3.nAvgBytesPerSec = 128000 / 8;
    ASSERT_EQ(save_as(source.stream, mp3, dir / "mp3.avi"), AVIERR_OK);
    EXPECT_EQ(probe(dir / "mp3.avi", "a", "codec_name"), "mp3");
    EXPECT_EQ(probe(dir / "mp3.avi", "a", "sample_rate"), "44100");
    EXPECT_NEAR(compresstest::probe_duration(dir / "mp3.avi", "a"), 2.0, 0.08);
    EXPECT_TRUE(compresstest::ffmpeg_decodes(dir / "mp3.avi"));

    // Resampled and re-channelled on the way.
    const WAVEFORMATEX pcm = vfw::codec::make_pcm_format(22050, 1, 8);
    ASSERT_EQ(save_as(source.stream, pcm, dir / "pcm.avi"), AVIERR_OK);
    EXPECT_EQ(probe(dir / "pcm.avi", "a", "codec_name"), "pcm_u8");
    EXPECT_EQ(probe(dir / "pcm.avi", "a", "sample_rate"), "22050");
    EXPECT_EQ(probe(dir / "pcm.avi", "a", "channels"), "1");
    EXPECT_NEAR(compresstest::probe_duration(dir / "pcm.avi", "a"), 2.0, 0.01);
    Opened saved(dir / "pcm.avi", streamtypeAUDIO);
    ASSERT_NE(saved.stream, nullptr);
    EXPECT_NEAR(AVIStreamLength(saved.stream), 44100, 10);

    WAVEFORMATEX adpcm{};
    adpcm.wFormatTag = WAVE_FORMAT_ADPCM;
    adpcm.nChannels = 2;
    adpcm.nSamplesPerSec = 22050;
    adpcm.wBitsPerSample = 4;
    ASSERT_EQ(save_as(source.stream, adpcm, dir / "adpcm.avi"), AVIERR_OK);
    EXPECT_EQ(probe(dir / "adpcm.avi", "a", "codec_name"), "adpcm_ms");
    EXPECT_NEAR(compresstest::probe_duration(dir / "adpcm.avi", "a"), 2.0, 0.1);
    EXPECT_TRUE(compresstest::ffmpeg_decodes(dir / "adpcm.avi"));
}

TEST(SaveAudio, FormatsTheCodecRefusesAreErrors) {
    TempDir dir;
    Opened source(make_sound(dir, 0.5), streamtypeAUDIO);
    ASSERT_NE(source.stream, nullptr);
    AVICOMPRESSOPTIONS opts{};
    WAVEFORMATEX odd{};
    odd.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    odd.nChannels = 2;
    odd.nSamplesPerSec = 12345;
    opts.lpFormat = &odd;
    opts.cbFormat = sizeof odd;
    PAVISTREAM s = nullptr;
    EXPECT_EQ(AVIMakeCompressedStream(&s, source.stream, &opts, nullptr), AVIERR_UNSUPPORTED);
    odd.wFormatTag = 0x0031;  // GSM 6.10: no encoder offered
    EXPECT_EQ(AVIMakeCompressedStream(&s, source.stream, &opts, nullptr), AVIERR_NOCOMPRESSOR);
    EXPECT_EQ(s, nullptr);
}

TEST(SaveFailure, UnwritableFolderLeavesNothing) {
    TempDir dir;
    Opened source(make_sound(dir, 0.3), streamtypeAUDIO);
    ASSERT_NE(source.stream, nullptr);
    const auto not_a_folder = dir / "plain";
    std::ofstream(not_a_folder) << "x";
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    const WAVEFORMATEX pcm = vfw::codec::make_pcm_format(44100, 2, 16);
    EXPECT_NE(save_as(source.stream, pcm, not_a_folder / "out.avi"), AVIERR_OK);
    EXPECT_NE(save_as(source.stream, pcm, dir / "missing" / "out.avi"), AVIERR_OK);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), before);
}

// A full disk, made with a file-size limit: the save fails with an error,
// the file it was to replace keeps its bytes and no partial file remains.
TEST(SaveFailure, FullDiskKeepsTheOldFile) {
    TempDir dir;
    Opened source(make_sound(dir, 3.0), streamtypeAUDIO);
    ASSERT_NE(source.stream, nullptr);
    const auto target = dir / "target.avi";
    std::ofstream(target) << "the old file";
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});

    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const HRESULT hr = save_as(source.stream, vfw::codec::make_pcm_format(44100, 2, 16), target);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_EQ(hr, AVIERR_FILEWRITE);
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "the old file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), before);
}

LONG PASCAL stop_at_half(int percent) { return percent >= 50 ? AVIERR_USERABORT : AVIERR_OK; }

TEST(SaveFailure, CallbackAbortLeavesNothing) {
    TempDir dir;
    Opened source(make_sound(dir, 2.0), streamtypeAUDIO);
    ASSERT_NE(source.stream, nullptr);
    AVICOMPRESSOPTIONS opts{};
    const auto out = dir / "out.avi";
    EXPECT_EQ(AVISaveA(out.c_str(), nullptr, stop_at_half, 1, source.stream, &opts),
              AVIERR_USERABORT);
    EXPECT_FALSE(std::filesystem::exists(out));
    // Without options the stream is copied as it is.
    EXPECT_EQ(AVISaveA(out.c_str(), nullptr, nullptr, 1, source.stream, nullptr), AVIERR_OK);
    EXPECT_EQ(probe(out, "a", "codec_name"), "pcm_s16le");
    EXPECT_NEAR(compresstest::probe_duration(out, "a"), 2.0, 0.01);
}

// Two streams in one save, each with its own options, interleaved by time.
TEST(SaveTwoStreams, VideoAndAudioTogether) {
    TempDir dir;
    const auto both = dir / "both.avi";
    ASSERT_TRUE(
        vfw::codec::test::run_ffmpeg("-f lavfi -i testsrc2=size=64x48:rate=10 -f lavfi -i "
                                     "sine=duration=1 -t 1 -c:v mjpeg -c:a pcm_s16le " +
                                     both.string()));
    Opened video(both, streamtypeVIDEO);
    Opened audio(both, streamtypeAUDIO);
    ASSERT_NE(video.stream, nullptr);
    ASSERT_NE(audio.stream, nullptr);
    AVICOMPRESSOPTIONS vopts{};
    vopts.fccHandler = mmioFOURCC('F', 'M', 'P', '4');
    WAVEFORMATEX mp3{};
    mp3.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.nChannels = 1;
    mp3.nSamplesPerSec = 44100;
    mp3.nAvgBytesPerSec = 8000;
    AVICOMPRESSOPTIONS aopts{};
    aopts.lpFormat = &mp3;
    aopts.cbFormat = sizeof mp3;
    const auto out = dir / "out.avi";
    ASSERT_EQ(
        AVISaveA(out.c_str(), nullptr, nullptr, 2, video.stream, &vopts, audio.stream, &aopts),
        AVIERR_OK);
    EXPECT_EQ(probe(out, "v", "codec_name"), "mpeg4");
    EXPECT_EQ(probe(out, "v", "nb_read_packets"), "10");
    EXPECT_EQ(probe(out, "a", "codec_name"), "mp3");
    EXPECT_NEAR(compresstest::probe_duration(out, "a"), 1.0, 0.08);
    EXPECT_TRUE(compresstest::ffmpeg_decodes(out));
}

}  // namespace
