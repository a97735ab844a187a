// A bare X server, no window manager, the pointer parked in a corner far
// from every window: keys still reach the window that should have them.
#include <gtest/gtest.h>

#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

TEST(KeyboardFocus, ModalWindowsTakeTheKeysAndGiveThemBackWithoutAWindowManager) {
    KorvaneSession s(kScreenW, kScreenH);
    ASSERT_TRUE(s.ready());
    std::string avi = (s.dir() / "typed.avi").string();
    ASSERT_TRUE(s.make_avi(avi, 4));
    s.park_pointer();
    s.start({});

    // Alt+F4 closes the about box, the active window, at once.
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    std::this_thread::sleep_for(milliseconds(300));
    s.xdo({"key", "alt+F4"});
    std::string main = s.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty()) << "Alt+F4 closed the about box; " << s.app().output();
    e2e::Geometry g = s.geometry(main);
    ASSERT_GT(g.x + g.w, 0);
    ASSERT_LT(g.x + g.w, kScreenW - 1) << "the parked pointer is outside the window";

    // The Open button, then the pointer goes away again before typing.
    s.click_button(g, 136);  // Open
    s.park_pointer();
    std::string open = s.wait_window("Open");
    ASSERT_FALSE(open.empty()) << "no file dialog";
    std::this_thread::sleep_for(milliseconds(300));
    s.xdo({"type", "--delay", "5", avi});
    s.xdo({"key", "Return"});
    std::this_thread::sleep_for(milliseconds(1500));
    auto shot = s.shot("korvane_focus_typed.png");
    EXPECT_EQ(s.matching_points(shot, g, avi, 0), KorvaneSession::kPoints)
        << "the typed path reached the dialog (see korvane_focus_typed.png)";

    // The main window has the keys back: Alt+F4 ends the program.
    s.xdo({"key", "alt+F4"});
    auto code = s.app().wait_exit(milliseconds(10000));
    EXPECT_TRUE(code.has_value()) << "Alt+F4 after the dialog reached the main window";
}

}  // namespace
