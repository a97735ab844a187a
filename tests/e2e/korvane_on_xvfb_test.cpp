// Korvane itself on a private Xvfb: the about box goes with Enter, a file is
// opened through the Open button and the file dialog, and the frame view
// shows the frames ffmpeg decodes, as Next, End and Play move through them.
#include <gtest/gtest.h>

#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

constexpr int kFrameW = 160, kFrameH = 120, kFrames = 12;

class KorvaneOnXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(s_.ready());
        avi_ = (s_.dir() / "bars.avi").string();
        ASSERT_TRUE(s_.make_avi(avi_, kFrames)) << "ffmpeg could not make the fixture";
    }

    void click_button(int x) { s_.click_button(main_, x); }
    int matching_points(const x11_test::Screenshot& shot, const std::vector<std::uint32_t>& frame) {
        return KorvaneSession::matching_points(shot, main_, frame);
    }

    KorvaneSession s_{800, 600};
    std::string avi_;
    e2e::Geometry main_;
};

TEST_F(KorvaneOnXvfb, OpensAFileAndStepsAndPlaysThroughIt) {
    s_.start({});
    ASSERT_TRUE(s_.app().started());

    std::string about = s_.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << "no about box; the program said:\n" << s_.app().output();
    s_.key_over(about, "Return");

    std::string main = s_.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty()) << s_.app().output();
    main_ = s_.geometry(main);
    ASSERT_GT(main_.w, 400);

    click_button(136);  // Open
    std::string open = s_.wait_window("Open");
    ASSERT_FALSE(open.empty()) << "no file dialog";
    s_.type_in(s_.geometry(open), avi_);
    std::this_thread::sleep_for(milliseconds(1500));

    auto frame0 = s_.decoded(avi_, 0), frame1 = s_.decoded(avi_, 1),
         last = s_.decoded(avi_, kFrames - 1);
    ASSERT_EQ(frame0.size(), std::size_t(kFrameW * kFrameH));
    x11_test::Screenshot shot = s_.shot("korvane_opened.png");
    ASSERT_FALSE(shot.pixels.empty());
    EXPECT_EQ(matching_points(shot, frame0), KorvaneSession::kPoints)
        << "frame 0 in the view (see korvane_opened.png)";

    click_button(92);  // Next
    shot = s_.shot("korvane_next.png");
    EXPECT_EQ(matching_points(shot, frame1), KorvaneSession::kPoints) << "frame 1 after Next";

    click_button(114);  // End
    shot = s_.shot("korvane_end.png");
    EXPECT_EQ(matching_points(shot, last), KorvaneSession::kPoints) << "the last frame after End";

    click_button(4);   // St
    click_button(48);  // Play: 100 ms a frame
    std::this_thread::sleep_for(milliseconds(2000));
    shot = s_.shot("korvane_played.png");
    EXPECT_EQ(matching_points(shot, last), KorvaneSession::kPoints)
        << "playback ends on the last frame";

    s_.point_at(main_.x + 20, main_.y + 5);
    s_.xdo({"key", "alt+F4"});
    auto code = s_.app().wait_exit(milliseconds(10000));
    EXPECT_TRUE(code.has_value()) << "Alt+F4 ends the program";
}

}  // namespace
