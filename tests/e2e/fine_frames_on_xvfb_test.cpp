// At scale 2 a frame the view halves at 1x is on screen with every one of
// its own pixels: the doubled window does not throw the detail away.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

constexpr int kFrameW = 640, kFrameH = 360;  // halved to 320 x 180 in the 408 x 256 view

TEST(FineFrames, AHalvedFrameShowsAllItsPixelsAtScaleTwo) {
    KorvaneSession s(1000, 900);
    ASSERT_TRUE(s.ready());
    const std::string avi = (s.dir() / "wide.avi").string();
    ASSERT_TRUE(x11_test::run(
        {"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x360:rate=10",
         "-frames:v", "2", "-c:v", "rawvideo", "-pix_fmt", "bgr24", avi},
        {}, milliseconds(30000)));
    const auto frame = s.decoded(avi, 0);
    ASSERT_EQ(frame.size(), std::size_t(kFrameW * kFrameH));

    s.start({avi}, {"KORVANE_SCALE=2"});
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    s.key_over(about, "Return");
    std::string main = s.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty()) << s.app().output();
    std::this_thread::sleep_for(milliseconds(1200));
    auto shot = s.shot("korvane_main_2x_halved_frame.png");
    ASSERT_FALSE(shot.pixels.empty());
    e2e::Geometry g = s.geometry(main);

    // The halved frame's place at 1x, doubled.
    const int ox = g.x + 2 * (408 / 2 - kFrameW / 4),
              oy = g.y + 2 * (KorvaneSession::kMenuBar + 256 / 2 - kFrameH / 4);
    ASSERT_TRUE(ox >= 0 && oy >= 0 && ox + kFrameW <= shot.width && oy + kFrameH <= shot.height);
    int same = 0, blocks = 0;
    for (int y = 0; y < kFrameH; ++y)
        for (int x = 0; x < kFrameW; ++x)
            same += shot.at(ox + x, oy + y) == frame[std::size_t(y * kFrameW + x)];
    EXPECT_EQ(same, kFrameW * kFrameH) << "see korvane_main_2x_halved_frame.png";
    // Outside the frame the window is doubled: the view's black border and
    // the grey below it come in 2 x 2 blocks.
    for (int y = 0; y < 40; y += 2)
        for (int x = 0; x < 200; x += 2) {
            const int sx = g.x + x, sy = g.y + 2 * 300 + y;
            const std::uint32_t p = shot.at(sx, sy);
            blocks += shot.at(sx + 1, sy) == p && shot.at(sx, sy + 1) == p &&
                      shot.at(sx + 1, sy + 1) == p;
        }
    EXPECT_EQ(blocks, 100 * 20);
    s.xdo({"key", "alt+F4"});
    EXPECT_TRUE(s.app().wait_exit(milliseconds(10000)).has_value());
}

}  // namespace
