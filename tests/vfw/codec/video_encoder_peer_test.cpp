// ffprobe reads what VideoEncoder writes: the same codec and every frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "codec_fixture.h"
#include "vfw/codec/dib_layout.h"
#include "vfw/codec/format_tags.h"
#include "vfw/codec/video_encoder.h"

namespace vfw::codec::test {
namespace {

struct Elementary {
    const char* fourcc;
    const char* extension;  // a container-less stream ffmpeg recognises
    const char* codec_name;
};

class EncoderPeer : public ::testing::TestWithParam<Elementary> {};

TEST_P(EncoderPeer, FfprobeCountsEveryFrame) {
    const Elementary& e = GetParam();
    VideoEncoderSettings settings;
    settings.fourcc = make_fourcc(e.fourcc[0], e.fourcc[1], e.fourcc[2], e.fourcc[3]);
    settings.key_frame_every = 10;
    auto enc = VideoEncoder::open(make_rgb_header(128, 96, 24), settings);
    ASSERT_TRUE(enc) << enc.error().message;
    TempDir dir;
    const auto file = dir / (std::string("out.") + e.extension);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(enc.value()->output_format().data()) + 40,
              std::streamsize(enc.value()->output_format().size() - 40));
    const BITMAPINFOHEADER h = make_rgb_header(128, 96, 24);
    std::vector<std::uint8_t> dib(sizeof h + h.biSizeImage);
    std::memcpy(dib.data(), &h, sizeof h);
    int packets = 0;
    auto write = [&](const std::vector<EncodedPacket>& list) {
        for (const auto& p : list) {
            out.write(reinterpret_cast<const char*>(p.data.data()), std::streamsize(p.data.size()));
            ++packets;
        }
    };
    for (int t = 0; t < 25; ++t) {
        for (std::size_t i = sizeof h; i < dib.size(); ++i)
            dib[i] = std::uint8_t(i * 7 + std::size_t(t) * 3);
        auto list = enc.value()->encode(reinterpret_cast<const BITMAPINFOHEADER*>(dib.data()));
        ASSERT_TRUE(list);
        write(list.value());
    }
    auto rest = enc.value()->finish();
    ASSERT_TRUE(rest);
    write(rest.value());
    out.close();
    EXPECT_EQ(packets, 25);
    const std::string probe = run_capture(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=codec_name,nb_read_frames -of csv=p=0 " +
        file.string());
    EXPECT_EQ(probe, std::string(e.codec_name) + ",25");
}

INSTANTIATE_TEST_SUITE_P(Streams, EncoderPeer,
                         ::testing::Values(Elementary{"FMP4", "m4v", "mpeg4"},
                                           Elementary{"H264", "h264", "h264"},
                                           Elementary{"MJPG", "mjpeg", "mjpeg"}),
                         [](const auto& info) { return std::string(info.param.codec_name); });

}  // namespace
}  // namespace vfw::codec::test
