// The program started with a file on its command line, and its answers to
// options, as a user's shell or file manager would run it.
#include <gtest/gtest.h>

#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

TEST(CommandLine, OptionsPrintTheirTextAndExitWithTheirCode) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string first_line;
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: korvane [FILE.avi]"},
        {{"--version"}, 0, "Korvane 1.0"},
        {{"--fullscreen"}, 2, "korvane: unexpected argument \"--fullscreen\""},
        {{"a.avi", "b.avi"}, 2, "korvane: unexpected argument \"b.avi\""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{KORVANE_PATH};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        // No display: these never open one.
        x11_test::ChildProcess app(argv, {"DISPLAY="}, true);
        auto code = app.wait_exit(milliseconds(10000));
        ASSERT_TRUE(code.has_value()) << c.args[0];
        EXPECT_EQ(*code, c.code) << c.args[0];
        app.wait_for_line("", milliseconds(500));
        EXPECT_EQ(app.output().substr(0, app.output().find('\n')), c.first_line) << app.output();
        if (c.code == 2) {
            EXPECT_NE(app.output().find("Usage: korvane [--help]"), std::string::npos);
        }
    }
}

TEST(CommandLine, AFileWithSpacesAndNonAsciiNameShowsFrameZero) {
    KorvaneSession s(800, 600);
    ASSERT_TRUE(s.ready());
    std::string avi = (s.dir() / "my clip Ünïcødé 映像.avi").string();
    ASSERT_TRUE(s.make_avi(avi, 6));
    s.start({avi});
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    s.key_over(about, "Return");
    std::string main = s.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty()) << s.app().output();
    std::this_thread::sleep_for(milliseconds(1500));
    auto shot = s.shot("korvane_start_file_1x.png");
    EXPECT_EQ(s.matching_points(shot, s.geometry(main), avi, 0), KorvaneSession::kPoints)
        << "frame 0 in the view (see korvane_start_file_1x.png)";
}

TEST(CommandLine, ABadFileShowsTheErrorBoxOverTheRunningWindow) {
    KorvaneSession s(800, 600);
    ASSERT_TRUE(s.ready());
    std::string bad = (s.dir() / "not a video.avi").string();
    ASSERT_TRUE(bool(x11_test::run({"sh", "-c", "head -c 4000 /dev/urandom > \"$0\"", bad}, {})));
    s.start({bad});
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    s.key_over(about, "Return");
    std::string error = s.wait_window("Error");
    ASSERT_FALSE(error.empty()) << "no message box; the program said:\n" << s.app().output();
    EXPECT_FALSE(s.wait_window("Korvane 1.0").empty()) << "the main window is up behind it";
    s.shot("korvane_start_file_bad.png");
    s.key_over(error, "Return");
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_TRUE(s.app().running()) << "the program goes on with no file";
    s.xdo({"key", "alt+F4"});
    EXPECT_TRUE(s.app().wait_exit(milliseconds(10000)).has_value());
}

}  // namespace
