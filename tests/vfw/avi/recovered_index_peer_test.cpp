// Files whose idx1 is gone or cut, so that the index is rebuilt from the chunks:
// key frames come from the samples, and every position, reached forwards, by
// jumps and backwards, shows what ffmpeg shows for the intact file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/vfw/avi/frames_check.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;

enum class Damage { NoIndex, CutIndex };

struct RecoverCase {
    const char* name;
    const char* encode;  // ffmpeg output options
    int frames;
    Damage damage;
};

std::ostream& operator<<(std::ostream& os, const RecoverCase& c) { return os << c.name; }

std::vector<char> read_all(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file without a usable idx1: renamed to JUNK, or cut half way through.
void damage_index(const std::filesystem::path& from, const std::filesystem::path& to,
                  Damage damage) {
    std::vector<char> bytes = read_all(from);
    const std::string_view view(bytes.data(), bytes.size());
    const std::size_t at = view.rfind("idx1");
    ASSERT_NE(at, std::string_view::npos);
    if (damage == Damage::NoIndex)
        std::memcpy(&bytes[at], "JUNK", 4);
    else
        bytes.resize(at + (bytes.size() - at) / 2);
    std::ofstream(to, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class RecoveredIndex : public ::testing::TestWithParam<RecoverCase> {};

TEST_P(RecoveredIndex, KeyFramesAndEveryPositionAsFfmpegShowsTheIntactFile) {
    const RecoverCase& c = GetParam();
    TempDir dir;
    const auto original = dir / "in.avi";
    const auto damaged = dir / "damaged.avi";
    ASSERT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " + std::to_string(c.frames) + " " +
        c.encode + " -an " + original.string()));
    damage_index(original, damaged, c.damage);
    const auto packets = vfw::codec::test::load_avi_video(original).packets;
    const auto reference = vfw::codec::test::ffmpeg_bgr24_frames(original, 160, 120);
    ASSERT_EQ(reference.size(), std::size_t(c.frames));

    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, damaged.c_str(), 0, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(stream), c.frames);
    int keys = 0;
    for (int n = 0; n < c.frames; ++n) {
        EXPECT_EQ(AVIStreamIsKeyFrame(stream, n), packets.samples[std::size_t(n)].key)
            << "sample " << n;
        keys += packets.samples[std::size_t(n)].key;
    }
    EXPECT_GT(keys, 1);
    EXPECT_LT(keys, c.frames / 2);

    std::vector<int> order;
    for (int n = 0; n < c.frames; ++n) order.push_back(n);
    for (int n = c.frames - 1; n >= 0; --n) order.push_back(n);
    for (int n : {c.frames / 2, c.frames - 1, 3, c.frames - 2, 1, c.frames / 2 + 1})
        order.push_back(n);
    avitest::expect_frames_match(stream, reference, order);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

const RecoverCase kRecover[] = {
    {"mpeg4_no_index", "-c:v mpeg4 -g 10 -bf 0 -q:v 4", 30, Damage::NoIndex},
    {"mpeg4_bframes_cut_index", "-c:v mpeg4 -g 10 -bf 2 -q:v 4", 30, Damage::CutIndex},
    {"h264_no_index", "-c:v libx264 -preset veryfast -g 10 -bf 0 -pix_fmt yuv420p", 30,
     Damage::NoIndex},
    {"h264_bframes_cut_index", "-c:v libx264 -preset veryfast -g 10 -bf 2 -pix_fmt yuv420p", 30,
     Damage::CutIndex},
    {"msvideo1_key_every_tenth", "-c:v msvideo1 -g 10 -keyint_min 10", 30, Damage::NoIndex},
};

INSTANTIATE_TEST_SUITE_P(Codecs, RecoveredIndex, ::testing::ValuesIn(kRecover),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
