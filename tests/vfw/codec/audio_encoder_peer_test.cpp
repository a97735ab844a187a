// ffprobe reads the MP3 and AC-3 streams AudioEncoder writes, with their duration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "codec_fixture.h"
#include "vfw/codec/audio_encoder.h"
#include "vfw/codec/wave_format.h"

namespace vfw::codec::test {
namespace {

double probe_duration(const std::string& file) {
    double seconds = -1;
    const std::string command =
        "ffprobe -v error -show_entries format=duration -of csv=p=0 " + file;
    if (FILE* p = popen(command.c_str(), "r")) {
        if (std::fscanf(p, "%lf", &seconds) != 1) seconds = -1;
        pclose(p);
    }
    return seconds;
}

TEST(AudioEncoderPeer, CompressedStreamsLastAsLongAsTheirInput) {
    struct Case {
        std::uint16_t tag;
        const char* extension;
    };
    for (const Case c : {Case{0x55, "mp3"}, Case{0x2000, "ac3"}}) {
        WAVEFORMATEX target{};
        target.wFormatTag = c.tag;
        target.nChannels = 2;
        target.nSamplesPerSec = 48000;
        target.nAvgBytesPerSec = 128000 / 8;
        auto enc =
            AudioEncoder::open(make_pcm_format(22050, 1, 16), target);  // resampled on the way
        ASSERT_TRUE(enc) << enc.error().message;
        std::vector<std::uint8_t> pcm(22050 * 2 * 2);  // two seconds of a 300 Hz tone
        for (std::size_t i = 0; i < pcm.size() / 2; ++i) {
            const auto v = std::int16_t(8000 * std::sin(2 * M_PI * 300 * double(i) / 22050));
            std::memcpy(&pcm[i * 2], &v, 2);
        }
        std::vector<EncodedPacket> packets;
        ASSERT_TRUE(enc.value()->encode(pcm, packets));
        ASSERT_TRUE(enc.value()->finish(packets));
        TempDir dir;
        const auto file = dir / (std::string("out.") + c.extension);
        std::ofstream out(file, std::ios::binary);
        std::size_t bytes = 0;
        for (const auto& p : packets) {
            out.write(reinterpret_cast<const char*>(p.data.data()), std::streamsize(p.data.size()));
            bytes += p.data.size();
        }
        out.close();
        EXPECT_NEAR(probe_duration(file.string()), 2.0, 0.1) << c.extension;
        // The stored byte rate gives the same duration, as AVI readers compute it.
        EXPECT_NEAR(double(bytes) / enc.value()->output_header().nAvgBytesPerSec, 2.0, 0.1)
            << c.extension;
    }
}

}  // namespace
}  // namespace vfw::codec::test
