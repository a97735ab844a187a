// The real demo program on a private Xvfb, driven with xdotool: real X
// input must come back as messages and the surface must reach the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "win/gdi/surface.h"
#include "win/x11/close_request.h"
#include "winuser.h"
#include "xvfb_server.h"

using namespace x11_test;

namespace {

constexpr int kScreenW = 640, kScreenH = 480;

struct Geometry {
    int x = -1, y = -1, width = 0, height = 0;
};

int count_lines(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    int n = 0;
    for (std::string l; std::getline(in, l);) n += l == line;
    return n;
}

class DemoOnXvfb : public ::testing::Test {
  protected:
    // One server for the suite; each test starts its own demo on it.
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(kScreenW, kScreenH); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(server_ && server_->ready()) << "Xvfb did not start";
        demo_ = std::make_unique<ChildProcess>(std::vector<std::string>{KORVANE_DEMO_PATH},
                                               std::vector<std::string>{server_->env()}, true);
        ASSERT_TRUE(demo_->started());
        window_ = find_window();
        ASSERT_FALSE(window_.empty()) << "no window titled Korvane; the demo said:\n"
                                      << demo_->output();
        // The first paint has reached the screen once it is logged and flushed.
        ASSERT_TRUE(demo_->wait_for_line("WM_PAINT", milliseconds(10000))) << demo_->output();
    }
    void TearDown() override { demo_.reset(); }

    std::string find_window() {
        auto deadline = std::chrono::steady_clock::now() + milliseconds(15000);
        while (std::chrono::steady_clock::now() < deadline && demo_->running()) {
            auto ids = xdo({"search", "--name", "^Korvane$"});
            if (ids && !ids->empty()) return ids->substr(0, ids->find('\n'));
            std::this_thread::sleep_for(milliseconds(100));
        }
        return {};
    }

    std::optional<std::string> xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return run(args, {server_->env()});
    }

    Geometry geometry() {
        Geometry g;
        auto out = xdo({"getwindowgeometry", "--shell", window_});
        if (!out) return g;
        std::istringstream in(*out);
        for (std::string l; std::getline(in, l);) {
            auto eq = l.find('=');
            if (eq == std::string::npos) continue;
            std::string key = l.substr(0, eq);
            int value = std::atoi(l.c_str() + eq + 1);
            if (key == "X") g.x = value;
            if (key == "Y") g.y = value;
            if (key == "WIDTH") g.width = value;
            if (key == "HEIGHT") g.height = value;
        }
        return g;
    }

    void click(int x, int y, int button = 1) {
        ASSERT_TRUE(xdo({"mousemove", "--window", window_, std::to_string(x), std::to_string(y),
                         "click", std::to_string(button)}));
    }

    // Grabs until the client pixel (x, y) shows `expected`: drawing reaches
    // the screen a little after the message that caused it.
    Screenshot shot_when(const Geometry& g, int x, int y, std::uint32_t expected,
                         const std::string& png) {
        auto deadline = std::chrono::steady_clock::now() + milliseconds(6000);
        Screenshot s;
        do {
            s = grab_screen(*server_, kScreenW, kScreenH, png);
            if (!s.pixels.empty() && s.at(g.x + x, g.y + y) == expected) break;
        } while (std::chrono::steady_clock::now() < deadline);
        return s;
    }

    static inline std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ChildProcess> demo_;
    std::string window_;
};

constexpr std::uint32_t kRed = 0xff0000, kBlue = 0x0000a0, kGreen = 0x00a000, kWhite = 0xffffff,
                        kBlack = 0x000000, kYellow = 0xffff00;

TEST_F(DemoOnXvfb, ClicksArriveAsButtonMessagesAndTheSurfaceIsOnScreen) {
    Geometry g = geometry();
    EXPECT_EQ(g.x, 60);
    EXPECT_EQ(g.y, 60);
    ASSERT_EQ(g.width, 480);
    ASSERT_EQ(g.height, 320);

    click(50, 60);
    EXPECT_TRUE(demo_->wait_for_line("WM_LBUTTONDOWN 50 60", milliseconds(5000)))
        << demo_->output();
    EXPECT_TRUE(demo_->wait_for_line("WM_LBUTTONUP 50 60", milliseconds(5000))) << demo_->output();

    Screenshot s = shot_when(g, 50, 60, kRed, "demo_click.png");
    ASSERT_EQ(s.width, kScreenW) << "the screen could not be grabbed";
    auto at = [&](int x, int y) { return s.at(g.x + x, g.y + y); };
    // The marker: 9 x 9 red around the click, blue right outside it.
    EXPECT_EQ(at(50, 60), kRed);
    EXPECT_EQ(at(46, 56), kRed);
    EXPECT_EQ(at(54, 64), kRed);
    EXPECT_EQ(at(55, 60), kBlue);
    EXPECT_EQ(at(45, 60), kBlue);
    // What the demo paints, where it paints it.
    EXPECT_EQ(at(20, 20), kBlue);
    EXPECT_EQ(at(139, 99), kBlue);
    EXPECT_EQ(at(140, 99), win::gdi::to_pixel(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(at(200, 50), kGreen);
    EXPECT_EQ(at(380, 60), kWhite);
    EXPECT_EQ(at(300, 20), win::gdi::to_pixel(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(at(301, 21), win::gdi::to_pixel(GetSysColor(COLOR_3DDKSHADOW)));
    EXPECT_EQ(at(459, 99), win::gdi::to_pixel(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(at(200, 112), kBlack);
    EXPECT_EQ(at(300, 250), win::gdi::to_pixel(GetSysColor(COLOR_BTNFACE)));
    // The title line of text has dark pixels.
    int dark = 0;
    for (int y = 120; y < 140; ++y)
        for (int x = 20; x < 200; ++x) dark += (at(x, y) & 0xff) < 0x60;
    EXPECT_GT(dark, 40);
    // Nothing outside the window.
    EXPECT_EQ(s.at(g.x - 1, g.y), kBlack);
    EXPECT_EQ(s.at(g.x + g.width, g.y + g.height - 1), kBlack);
}

TEST_F(DemoOnXvfb, APopupAppearsAtItsScreenPointAndTakesClicks) {
    Geometry g = geometry();
    click(300, 200, 3);
    ASSERT_TRUE(demo_->wait_for_line("WM_RBUTTONDOWN 300 200", milliseconds(5000)))
        << demo_->output();
    ASSERT_TRUE(demo_->wait_for_line("WM_RBUTTONUP 300 200", milliseconds(5000)))
        << demo_->output();
    // The demo opens an 80 x 40 caption-less popup at the click.
    const int px = g.x + 300, py = g.y + 200;
    Screenshot s = shot_when(g, 340, 220, kYellow, "demo_popup.png");
    ASSERT_EQ(s.width, kScreenW);
    EXPECT_EQ(s.at(px + 40, py + 20), kYellow);
    EXPECT_EQ(s.at(px, py), kBlack);  // its frame
    EXPECT_EQ(s.at(px + 79, py + 39), kBlack);
    EXPECT_EQ(s.at(px + 80, py + 20), win::gdi::to_pixel(GetSysColor(COLOR_BTNFACE)));

    ASSERT_TRUE(xdo({"mousemove", std::to_string(px + 20), std::to_string(py + 10), "click", "1"}));
    EXPECT_TRUE(demo_->wait_for_line("POPUP_LBUTTONDOWN 20 10", milliseconds(5000)))
        << demo_->output();
    EXPECT_EQ(count_lines(demo_->output(), "WM_LBUTTONDOWN 320 210"), 0)
        << "the click went through the popup";
    // Gone again, and the main window shows through where it was.
    s = shot_when(g, 340, 220, win::gdi::to_pixel(GetSysColor(COLOR_BTNFACE)),
                  "demo_popup_closed.png");
    EXPECT_EQ(s.at(px + 40, py + 20), win::gdi::to_pixel(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(DemoOnXvfb, MovesAndResizesMadeOnTheServerReachTheProgram) {
    ASSERT_TRUE(xdo({"windowmove", "--sync", window_, "100", "120"}));
    EXPECT_TRUE(demo_->wait_for_line("WM_MOVE 100 120", milliseconds(5000))) << demo_->output();
    ASSERT_TRUE(xdo({"windowsize", "--sync", window_, "300", "200"}));
    EXPECT_TRUE(demo_->wait_for_line("WM_SIZE 300 200", milliseconds(5000))) << demo_->output();
    Geometry g = geometry();
    ASSERT_EQ(g.x, 100);
    ASSERT_EQ(g.width, 300);
    // The program repaints at the new size and clicks map to the new place.
    click(290, 190);
    EXPECT_TRUE(demo_->wait_for_line("WM_LBUTTONDOWN 290 190", milliseconds(5000)))
        << demo_->output();
    Screenshot s = shot_when(g, 290, 190, kRed, "demo_resized.png");
    ASSERT_EQ(s.width, kScreenW);
    EXPECT_EQ(s.at(g.x + 290, g.y + 190), kRed);
    EXPECT_EQ(s.at(g.x + 20, g.y + 20), kBlue);
    EXPECT_EQ(s.at(g.x + 300, g.y + 190), kBlack);
    EXPECT_EQ(s.at(g.x + 290, g.y + 200), kBlack);
    EXPECT_EQ(s.at(60, 60), kBlack);  // nothing left at the old place
}

TEST_F(DemoOnXvfb, KeysArriveAsVirtualKeysAndCharacters) {
    // Without a window manager the keyboard follows the pointer.
    ASSERT_TRUE(xdo({"mousemove", "--window", window_, "200", "200"}));
    ASSERT_TRUE(xdo({"key", "F5", "a", "shift+b", "Return", "Delete", "Escape"}));
    for (const char* line :
         {"WM_KEYDOWN 0x74", "WM_KEYDOWN 0x41", "WM_CHAR 0x61", "WM_KEYDOWN 0x10",
          "WM_KEYDOWN 0x42", "WM_CHAR 0x42", "WM_KEYDOWN 0x0D", "WM_CHAR 0x0D", "WM_KEYDOWN 0x2E",
          "WM_KEYDOWN 0x1B", "WM_CHAR 0x1B"})
        ASSERT_TRUE(demo_->wait_for_line(line, milliseconds(5000))) << line << "\n"
                                                                    << demo_->output();
    // The Delete key types nothing here.
    EXPECT_EQ(count_lines(demo_->output(), "WM_CHAR 0x7F"), 0);
}

TEST_F(DemoOnXvfb, AnExposedWindowIsRedrawnFromItsSurfaceWithoutRepainting) {
    Geometry g = geometry();
    click(100, 40);
    ASSERT_TRUE(demo_->wait_for_line("WM_LBUTTONUP 100 40", milliseconds(5000)));
    Screenshot s = shot_when(g, 100, 40, kRed, "demo_before_unmap.png");
    ASSERT_EQ(s.at(g.x + 100, g.y + 40), kRed);

    ASSERT_TRUE(xdo({"windowunmap", "--sync", window_}));
    s = shot_when(g, 200, 50, kBlack, "demo_unmapped.png");
    ASSERT_EQ(s.at(g.x + 200, g.y + 50), kBlack) << "the window did not go away";
    int paints = count_lines(demo_->output(), "WM_PAINT");

    ASSERT_TRUE(xdo({"windowmap", "--sync", window_}));
    s = shot_when(g, 200, 50, kGreen, "demo_remapped.png");
    EXPECT_EQ(s.at(g.x + 200, g.y + 50), kGreen);
    EXPECT_EQ(s.at(g.x + 100, g.y + 40), kRed);
    EXPECT_EQ(s.at(g.x + 20, g.y + 20), kBlue);
    // Give a repaint the time to show up in the log: there must be none.
    demo_->wait_for_line("never printed", milliseconds(300));
    EXPECT_EQ(count_lines(demo_->output(), "WM_PAINT"), paints);
}

TEST_F(DemoOnXvfb, TheCloseButtonEndsTheProgram) {
    ASSERT_TRUE(win::x11::send_close_request(server_->display().c_str(), std::stoul(window_)));
    EXPECT_TRUE(demo_->wait_for_line("WM_DESTROY", milliseconds(5000))) << demo_->output();
    EXPECT_EQ(demo_->wait_exit(milliseconds(5000)), std::optional<int>(0));
}

TEST(DemoWithoutDisplay, SaysWhatToDoAndFails) {
    ChildProcess demo({KORVANE_DEMO_PATH}, {"DISPLAY="}, true);
    ASSERT_TRUE(demo.started());
    EXPECT_EQ(demo.wait_exit(milliseconds(10000)), std::optional<int>(1));
    EXPECT_NE(demo.output().find("DISPLAY"), std::string::npos) << demo.output();
    EXPECT_NE(demo.output().find("xvfb-run"), std::string::npos) << demo.output();
}

}  // namespace
