// Files dropped onto the main window from another program over XDND: an
// .avi list opens the file, other drops are refused without a message.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "korvane_session.h"
#include "xdnd_source.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

TEST(Drop, AnAviUriListOpensTheFileAndOtherDropsAreRefused) {
    KorvaneSession s(800, 600);
    ASSERT_TRUE(s.ready());
    std::string avi = (s.dir() / "dropped clip.avi").string();
    ASSERT_TRUE(s.make_avi(avi, 5));
    std::ofstream(s.dir() / "notes.txt") << "text";
    s.start({});
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    s.key_over(about, "Return");
    std::string main = s.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty());
    std::this_thread::sleep_for(milliseconds(300));
    e2e::Geometry g = s.geometry(main);
    const std::string display = s.display();
    const unsigned long id = std::stoul(main);
    const int x = g.x + 100, y = g.y + 100;

    auto plain = e2e::xdnd_drop(display, id, x, y, "text/plain", "just words");
    EXPECT_FALSE(plain.accepted) << "text is not files";

    std::string dir_uri = "file://" + s.dir().string();
    auto text_file = e2e::xdnd_drop(display, id, x, y, "text/uri-list", dir_uri + "/notes.txt\r\n");
    EXPECT_TRUE(text_file.finished);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_FALSE(s.showing("Error")) << "a text file is refused without a message";

    auto dropped = e2e::xdnd_drop(
        display, id, x, y, "text/uri-list",
        "# two files\r\n" + dir_uri + "/notes.txt\r\n" + dir_uri + "/dropped%20clip.avi\r\n");
    EXPECT_TRUE(dropped.accepted);
    EXPECT_TRUE(dropped.data_asked);
    EXPECT_TRUE(dropped.finished);
    std::this_thread::sleep_for(milliseconds(1000));
    auto shot = s.shot("korvane_dropped.png");
    EXPECT_EQ(s.matching_points(shot, g, avi, 0), KorvaneSession::kPoints)
        << "see korvane_dropped.png";
}

}  // namespace
