// The menu demo on a private Xvfb, driven with xdotool: real keys and
// clicks open the menu and choose items, and the owner gets the commands.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "tests/win/x11/child_process.h"
#include "tests/win/x11/xvfb_server.h"

using namespace x11_test;

namespace {

constexpr int kScreenW = 640, kScreenH = 480;
constexpr std::uint32_t kHighlight = 0x0A246A;

class MenusOnXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        server_ = std::make_unique<XvfbServer>(kScreenW, kScreenH);
        ASSERT_TRUE(server_->ready()) << "Xvfb did not start";
        demo_ = std::make_unique<ChildProcess>(std::vector<std::string>{MENU_DEMO_PATH},
                                               std::vector<std::string>{server_->env()}, true);
        ASSERT_TRUE(demo_->started());
        for (int i = 0; i < 100 && window_.empty(); ++i) {
            auto ids = xdo({"search", "--name", "^Menu demo$"});
            if (ids && !ids->empty())
                window_ = ids->substr(0, ids->find('\n'));
            else
                std::this_thread::sleep_for(milliseconds(100));
        }
        ASSERT_FALSE(window_.empty()) << "no menu demo window; it said:\n" << demo_->output();
        ASSERT_TRUE(demo_->wait_for_line("WM_PAINT", milliseconds(5000)));
        auto out = xdo({"getwindowgeometry", "--shell", window_});
        ASSERT_TRUE(out);
        std::istringstream in(*out);
        for (std::string l; std::getline(in, l);) {
            if (l.rfind("X=", 0) == 0) x_ = std::atoi(l.c_str() + 2);
            if (l.rfind("Y=", 0) == 0) y_ = std::atoi(l.c_str() + 2);
        }
    }
    void TearDown() override {
        demo_.reset();
        server_.reset();
    }

    std::optional<std::string> xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return run(args, {server_->env()});
    }

    bool saw(const std::string& line) { return demo_->wait_for_line(line, milliseconds(5000)); }

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ChildProcess> demo_;
    std::string window_;
    int x_ = 0, y_ = 0;  // the window's surface on the screen: menu bar first
};

TEST_F(MenusOnXvfb, AltFOpensFileAndDownReturnChoosesExit) {
    // Without a window manager the keyboard follows the pointer.
    ASSERT_TRUE(xdo({"mousemove", "--window", window_, "150", "150"}));
    ASSERT_TRUE(xdo({"key", "alt+f"}));
    ASSERT_TRUE(saw("WM_INITMENUPOPUP 101")) << demo_->output();
    // The popup hangs below "File" with its first item highlighted.
    Screenshot s;
    for (int i = 0; i < 20; ++i) {
        s = grab_screen(*server_, kScreenW, kScreenH, "xvfb_file_menu_open.png");
        if (!s.pixels.empty() && s.at(x_ + 8, y_ + 19 + 3 + 4) == kHighlight) break;
    }
    ASSERT_FALSE(s.pixels.empty()) << "the screen could not be grabbed";
    EXPECT_EQ(s.at(x_ + 8, y_ + 19 + 3 + 4), kHighlight);
    ASSERT_TRUE(xdo({"key", "Down", "Return"}));
    EXPECT_TRUE(saw("WM_COMMAND 102")) << demo_->output();
}

TEST_F(MenusOnXvfb, ClickingTheBarAndThenAnItemChoosesIt) {
    ASSERT_TRUE(xdo({"mousemove", "--window", window_, "10", "8", "click", "1"}));
    ASSERT_TRUE(saw("WM_INITMENUPOPUP 101")) << demo_->output();
    // "&Open", the first item, 3 pixels into the popup below the 19-pixel bar.
    ASSERT_TRUE(
        xdo({"mousemove", std::to_string(x_ + 20), std::to_string(y_ + 19 + 10), "click", "1"}));
    EXPECT_TRUE(saw("WM_COMMAND 101")) << demo_->output();
}

}  // namespace
