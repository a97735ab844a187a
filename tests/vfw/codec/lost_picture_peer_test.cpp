// Samples that yield no picture: that position delivers no frame, and every
// other position still shows its own picture.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "codec_fixture.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

// What the position whose sample gets no picture holds.
enum class Lost {
    Spoilt,         // its own sample, every byte spoilt
    ParameterSets,  // an inserted H.264 sample with the parameter sets alone
    NotCoded,       // an inserted MPEG-4 picture marked not coded, as encoders drop frames
};

struct LostCase {
    const char* name;
    const char* encode;  // ffmpeg output options
    int frames;
    int lost;  // the position whose sample gets no picture
    Lost kind;
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
    if (c.kind != Lost::Spoilt) {
        // P picture, time increment 0 (5 bits at 25 frames a second), not coded.
        const std::vector<std::uint8_t> not_coded = {0, 0, 1, 0xB6, 0x50, 0x4F};
        const std::vector<std::uint8_t> inserted =
            c.kind == Lost::NotCoded ? not_coded : h264_parameter_sets(samples[0].bytes);
        ASSERT_FALSE(inserted.empty());
        samples.insert(samples.begin() + c.lost, Sample{inserted, false});
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
    {"mjpeg_damaged", "-c:v mjpeg -q:v 3", 12, 6, Lost::Spoilt},
    {"h264_parameter_sets_only", "-c:v libx264 -preset veryfast -bf 0 -g 30 -pix_fmt yuv420p", 12,
     5, Lost::ParameterSets},
    {"h264_bframes_parameter_sets_only",
     "-c:v libx264 -preset veryfast -bf 2 -g 6 -pix_fmt yuv420p", 18, 6, Lost::ParameterSets},
    // Without B-frames, whose prediction a not-coded picture's time would change.
    {"mpeg4_not_coded", "-c:v mpeg4 -q:v 3 -bf 0 -g 12", 18, 4, Lost::NotCoded},
};

INSTANTIATE_TEST_SUITE_P(Codecs, LostPicturePeer, ::testing::ValuesIn(kLost),
                         [](const auto& info) { return std::string(info.param.name); });

// What the process writes to its standard error while alive.
class StderrCapture {
  public:
    explicit StderrCapture(std::filesystem::path file) : file_(std::move(file)) {
        std::fflush(stderr);
        saved_ = dup(2);
        const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~StderrCapture() { restore(); }
    std::string text() {
        restore();
        std::ifstream in(file_);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

  private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    std::filesystem::path file_;
    int saved_ = -1;
};

// Full-range MJPEG and a damaged sample make libav talk; the user sees none of it
// unless the switch is on.
TEST(LibavLog, SilentUnlessSwitchedOn) {
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(run_ffmpeg("-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 4 -c:v mjpeg -an " +
                           file.string()));
    AviVideo video = load_avi_video(file);
    for (std::uint8_t& b : video.packets.samples[2].bytes) b = 0x11;
    auto decode_all = [&] {
        auto opened = FrameDecoder::open(video.packets, video.format);
        ASSERT_TRUE(opened);
        for (int n = 0; n < 4; ++n) opened.value()->frame(n);
    };
    unsetenv("KORVANE_LIBAV_LOG");
    {
        StderrCapture capture(dir / "quiet.txt");
        decode_all();
        EXPECT_EQ(capture.text(), "");
    }
    setenv("KORVANE_LIBAV_LOG", "1", 1);
    {
        StderrCapture capture(dir / "loud.txt");
        decode_all();
        EXPECT_NE(capture.text(), "");
    }
    unsetenv("KORVANE_LIBAV_LOG");
}

}  // namespace
}  // namespace vfw::codec::test
