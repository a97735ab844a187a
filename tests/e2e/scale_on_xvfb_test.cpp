// At scale 2 every window is twice its classic size on screen, and clicks
// land where the doubled controls are.
#include <gtest/gtest.h>

#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

constexpr int kMainW = 410, kMainH = 373;  // the main window at scale 1: 820 x 746 at 2

// Starts the program with the file, closes the about box and returns the main window.
std::string start_with_file(KorvaneSession& s, const std::string& avi, const std::string& scale) {
    s.start({avi}, {"KORVANE_SCALE=" + scale});
    std::string about = s.wait_window("About Korvane 1.0");
    if (about.empty()) return {};
    s.key_over(about, "Return");
    std::string main = s.wait_window("Korvane 1.0");
    std::this_thread::sleep_for(milliseconds(1200));
    return main;
}

TEST(Scale, MainWindowAtOneAndTwoAndTheDoubledOpenButton) {
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        KorvaneSession s(1800, 1600);
        ASSERT_TRUE(s.ready());
        std::string avi = (s.dir() / "scaled.avi").string();
        ASSERT_TRUE(s.make_avi(avi, 4));
        std::string main = start_with_file(s, avi, std::to_string(scale));
        ASSERT_FALSE(main.empty()) << s.app().output();
        e2e::Geometry g = s.geometry(main);
        EXPECT_EQ(g.w, kMainW * scale);
        EXPECT_EQ(g.h, kMainH * scale);
        std::string png = "korvane_main_" + std::to_string(scale) + "x.png";
        auto shot = s.shot(png);
        EXPECT_EQ(s.matching_points(shot, g, avi, 0, scale), KorvaneSession::kPoints)
            << "see " << png;

        s.click_button(g, 136, scale);  // Open
        std::string open = s.wait_window("Open");
        ASSERT_FALSE(open.empty()) << "the click at the doubled Open button opened nothing";
        e2e::Geometry o = s.geometry(open);
        EXPECT_EQ(o.w % scale, 0);
        if (scale == 2) s.shot("korvane_open_dialog_2x.png");
        s.xdo({"key", "Escape"});
        s.xdo({"key", "alt+F4"});
        EXPECT_TRUE(s.app().wait_exit(milliseconds(10000)).has_value());
    }
}

}  // namespace
