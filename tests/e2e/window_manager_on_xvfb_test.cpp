// Under a window manager (openbox) the keyboard focus goes through its
// protocols: a modal dialog takes the keys when it appears, with the pointer
// far away, and the owner has them back when it ends; Alt+F4 closes the
// active window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;

namespace {

constexpr int kScreenW = 900, kScreenH = 700;

// Where the client window stands on the screen. xdotool's own answer adds
// the frame's offset once too often under a reparenting window manager.
e2e::Geometry client_geometry(const KorvaneSession& s, const std::string& id) {
    e2e::Geometry g;
    auto out = x11_test::run({"xwininfo", "-id", id}, {"DISPLAY=" + s.display()});
    if (!out) return g;
    std::istringstream in(*out);
    for (std::string line; std::getline(in, line);) {
        auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        int v = std::atoi(line.c_str() + colon + 1);
        if (line.find("Absolute upper-left X") != std::string::npos) g.x = v;
        if (line.find("Absolute upper-left Y") != std::string::npos) g.y = v;
        if (line.find("Width") != std::string::npos) g.w = v;
        if (line.find("Height") != std::string::npos) g.h = v;
    }
    return g;
}

class WindowManagerSession {
  public:
    explicit WindowManagerSession(KorvaneSession& s) : s_(s) {
        // New windows are not focused by openbox itself: only the program's
        // own requests can give them the keys. Alt+F4 is openbox's Close.
        std::string config = (s.dir() / "rc.xml").string();
        std::ofstream(config) << R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>no</focusNew><followMouse>no</followMouse></focus>
  <keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>
</openbox_config>
)";
        wm_ = std::make_unique<x11_test::ChildProcess>(
            std::vector<std::string>{"openbox", "--sm-disable", "--config-file", config},
            std::vector<std::string>{"DISPLAY=" + s.display()}, true);
    }
    // Whether the window manager has taken the screen (it names its check window on the root).
    bool wait_ready() const {
        for (int i = 0; i < 100; ++i) {
            auto out = x11_test::run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"},
                                     {"DISPLAY=" + s_.display()});
            if (out && out->find("window id") != std::string::npos) return true;
            std::this_thread::sleep_for(milliseconds(100));
        }
        return false;
    }
    // The window the window manager calls active, as a decimal id; empty when none.
    std::string active() const {
        std::string p = active_window_property();
        auto hash = p.find('#');
        if (hash == std::string::npos) return {};
        unsigned long id = std::strtoul(p.c_str() + hash + 1, nullptr, 16);
        return id ? std::to_string(id) : std::string{};
    }
    // Waits up to ~3 s for the window manager to call id active.
    bool wait_active(const std::string& id) const {
        for (int i = 0; i < 30; ++i) {
            if (active() == id) return true;
            std::this_thread::sleep_for(milliseconds(100));
        }
        return false;
    }
    const std::string& output() const { return wm_->output(); }

  private:
    std::string active_window_property() const {
        auto out =
            x11_test::run({"xprop", "-root", "_NET_ACTIVE_WINDOW"}, {"DISPLAY=" + s_.display()});
        return out && out->find("window id") != std::string::npos ? *out : std::string{};
    }
    KorvaneSession& s_;
    std::unique_ptr<x11_test::ChildProcess> wm_;
};

TEST(WindowManager, ModalDialogTakesTheKeysAndTheOwnerGetsThemBack) {
    KorvaneSession s(kScreenW, kScreenH);
    ASSERT_TRUE(s.ready());
    WindowManagerSession wm(s);
    ASSERT_TRUE(wm.wait_ready()) << "openbox did not start: " << wm.output();
    std::string avi = (s.dir() / "typed under a window manager.avi").string();
    ASSERT_TRUE(s.make_avi(avi, 4));
    s.park_pointer();
    s.start({});

    // The about box is active at once; Alt+F4 (the window manager's key) closes it.
    std::string about = s.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s.app().output();
    EXPECT_TRUE(wm.wait_active(about)) << "active: " << wm.active();
    s.xdo({"key", "alt+F4"});
    std::string main = s.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty()) << "Alt+F4 closed the about box; " << s.app().output();
    EXPECT_TRUE(wm.wait_active(main)) << "active: " << wm.active();
    e2e::Geometry g = client_geometry(s, main);
    ASSERT_LT(g.x + g.w, kScreenW - 1) << "the parked pointer is outside the window";

    s.xdo({"mousemove", std::to_string(g.x + 136 * 3 / 2 + 12),
           std::to_string(g.y + KorvaneSession::kMenuBar + 191 * 13 / 8 + 12)});
    s.xdo({"click", "1"});
    s.park_pointer();
    std::string open = s.wait_window("Open");
    ASSERT_FALSE(open.empty()) << "no file dialog";
    EXPECT_TRUE(wm.wait_active(open)) << "active: " << wm.active();
    s.xdo({"type", "--delay", "5", avi});
    s.xdo({"key", "Return"});
    std::this_thread::sleep_for(milliseconds(1500));
    auto shot = s.shot("korvane_window_manager_typed.png");
    // The window manager may have moved the main window: measure it again.
    g = client_geometry(s, main);
    EXPECT_EQ(s.matching_points(shot, g, avi, 0), KorvaneSession::kPoints)
        << "the typed path reached the dialog (see korvane_window_manager_typed.png)";
    EXPECT_TRUE(wm.wait_active(main)) << "the owner is active again; active: " << wm.active();

    s.xdo({"key", "alt+F4"});
    auto code = s.app().wait_exit(milliseconds(10000));
    EXPECT_TRUE(code.has_value()) << "Alt+F4 after the dialog reached the main window";
}

}  // namespace
