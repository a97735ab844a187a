// The open dialog on screen with its "Look in" list dropped down: the
// folder shown, then the user's places from the XDG user folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

TEST(OpenDialogPlaces, LookInListShowsThePlaces) {
    KorvaneSession s(800, 600);
    ASSERT_TRUE(s.ready());
    std::filesystem::path home = s.dir() / "home";
    for (const char* folder : {"Desktop", "Videos", "Downloads"})
        std::filesystem::create_directories(home / folder);
    std::ofstream(home / "Videos" / "holiday.avi") << "not really a video";
    s.start({}, {"HOME=" + home.string(), "XDG_CONFIG_HOME=" + (s.dir() / "config").string()});
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    s.key_over(about, "Return");
    std::string main = s.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty());
    e2e::Geometry g = s.geometry(main);
    s.click_button(g, 136);  // Open
    std::string open = s.wait_window("Open");
    ASSERT_FALSE(open.empty()) << "no file dialog";
    std::this_thread::sleep_for(milliseconds(300));
    // The typed path of Videos takes the dialog there, then Look in drops down.
    s.xdo({"type", "--delay", "5", (home / "Videos").string()});
    s.xdo({"key", "Return"});
    std::this_thread::sleep_for(milliseconds(300));
    e2e::Geometry d = s.geometry(open);
    // "Look in" sits at 50, 6 (188 wide) in dialog units: its arrow at the right end.
    s.click(d.x + (50 + 188) * 3 / 2 - 8, d.y + 6 * 13 / 8 + 9);
    std::this_thread::sleep_for(milliseconds(100));
    auto shot = s.shot("korvane_open_dialog_places.png");
    ASSERT_FALSE(shot.pixels.empty());
    // The dropped list hangs below the combo (18 dialog units down) with its
    // first row, the folder shown, in the selection colour.
    int selected = 0;
    for (int y = d.y + 18 * 13 / 8; y < d.y + 18 * 13 / 8 + 24; ++y)
        selected += shot.at(d.x + 60 * 3 / 2, y) == 0x0a246au;
    EXPECT_GT(selected, 8) << "see korvane_open_dialog_places.png";
    s.xdo({"key", "Escape"});
    s.xdo({"key", "Escape"});
    s.xdo({"key", "alt+F4"});
    EXPECT_TRUE(s.app().wait_exit(milliseconds(10000)).has_value());
}

}  // namespace
