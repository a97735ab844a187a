// Stepping through a compressed stream reads each sample's bytes once: sizes
// come from the index, not from reading the sample.
#include <gtest/gtest.h>

#include "tests/vfw/codec/codec_fixture.h"
#include "vfw/avifile/codec_decompressor.h"

namespace {

using vfw::codec::test::TempDir;

class CountingSamples final : public vfw::SampleSource {
  public:
    CountingSamples(vfw::codec::test::AviVideo video, std::vector<int>& reads)
        : video_(std::move(video)), reads_(reads) {
        reads_.assign(video_.packets.samples.size(), 0);
    }
    std::int32_t sample_count() const override {
        return std::int32_t(video_.packets.samples.size());
    }
    bool is_key(std::int32_t pos) const override {
        return video_.packets.samples[std::size_t(pos)].key;
    }
    const std::vector<std::uint8_t>& format() const override { return video_.format; }
    std::int64_t size(std::int32_t pos) const override {
        return std::int64_t(video_.packets.samples[std::size_t(pos)].bytes.size());
    }
    bool read(std::int32_t pos, std::vector<std::uint8_t>& out) const override {
        ++reads_[std::size_t(pos)];
        out = video_.packets.samples[std::size_t(pos)].bytes;
        return true;
    }

  private:
    vfw::codec::test::AviVideo video_;
    std::vector<int>& reads_;
};

TEST(SampleReads, EachSampleReadOnceWhenStepping) {
    for (const char* encode :
         {"-c:v mpeg4 -g 6 -bf 0", "-c:v libx264 -preset veryfast -g 6 -bf 2 -pix_fmt yuv420p",
          "-c:v mjpeg"}) {
        TempDir dir;
        const auto path = dir / "in.avi";
        ASSERT_TRUE(
            vfw::codec::test::run_ffmpeg("-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 18 " +
                                         std::string(encode) + " -an " + path.string()));
        std::vector<int> reads;
        auto frames = vfw::open_codec_decompressor(
            std::make_unique<CountingSamples>(vfw::codec::test::load_avi_video(path), reads),
            nullptr);
        ASSERT_NE(frames, nullptr) << encode;
        for (int n = 0; n < 18; ++n)
            ASSERT_NE(frames->frame(n), nullptr) << encode << " position " << n;
        for (int n = 0; n < 18; ++n)
            EXPECT_EQ(reads[std::size_t(n)], 1) << encode << " sample " << n;
    }
}

}  // namespace
