// A file ffmpeg writes past 1 GB (OpenDML: AVIX parts, super and standard
// indexes) reads through our calls with the packets ffprobe sees.
#include <gtest/gtest.h>

#include "peer_probe.h"

using namespace avitest;

TEST(PeerLarge, FfmpegOpenDmlFileReadWithTheSamePackets) {
    TempDir dir;
    std::string path = dir.file("large.avi");
    // 180 frames of 1920x1080 at 24 bits: about 1.1 GB, so ffmpeg opens an AVIX part.
    std::string cmd =
        "ffmpeg -v error -y -f lavfi -i color=c=red:size=1920x1080:rate=25 -f lavfi -i sine=r=8000 "
        "-frames:v 180 -t 7.2 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le '" +
        path + "'";
    int status = 0;
    run(cmd, &status);
    ASSERT_EQ(status, 0);
    auto theirs = probe_packets(path, false);
    auto ours = our_packets(path, false);
    ASSERT_EQ(theirs[0].size(), 180u);
    EXPECT_GT(theirs[0].back().pos, 1ll << 30);  // some frames lie in the AVIX part
    EXPECT_EQ(ours, theirs);

    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM v = nullptr;
    ASSERT_EQ(AVIFileGetStream(f, &v, streamtypeVIDEO, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(v), 180);
    PGETFRAME g = AVIStreamGetFrameOpen(v, nullptr);
    ASSERT_NE(g, nullptr);
    auto* last = static_cast<std::uint8_t*>(AVIStreamGetFrame(g, 179));
    ASSERT_NE(last, nullptr);
    EXPECT_GT(last[40 + 2], 0xF0);  // red, give or take the colour conversion
    EXPECT_LT(last[40 + 0], 0x10);
    AVIStreamGetFrameClose(g);
    AVIStreamRelease(v);
    AVIFileRelease(f);
}
