// The real program on a private Xvfb, for the end-to-end tests: start it,
// find its windows by title, drive it with xdotool and compare the frame
// view with ffmpeg's decode.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/win/x11/child_process.h"
#include "tests/win/x11/xvfb_server.h"
#include "window_geometry.h"

namespace e2e {

class KorvaneSession {
  public:
    KorvaneSession(int screen_w, int screen_h);
    ~KorvaneSession();
    bool ready() const { return server_ && server_->ready(); }
    const std::filesystem::path& dir() const { return dir_; }
    const std::string& display() const { return server_->display(); }

    // Makes a bgr24 test-pattern AVI of `frames` frames at 160 x 120, ten a
    // second; with a 440 Hz tone as 16-bit PCM at `audio_rate` when it is not 0.
    bool make_avi(const std::string& path, int frames, int audio_rate = 0) const;
    // Starts the program with the arguments and the extra environment.
    void start(const std::vector<std::string>& args, std::vector<std::string> env = {});
    x11_test::ChildProcess& app() { return *app_; }

    std::optional<std::string> xdo(std::vector<std::string> args) const;
    // The ids of the visible windows with exactly this title.
    std::vector<std::string> visible(const std::string& title) const;
    // The id of a visible window with exactly this title; empty after ~15 s.
    std::string wait_window(const std::string& title) const;
    // Whether no window with this title is left within ~5 s.
    bool wait_gone(const std::string& title) const;
    Geometry geometry(const std::string& id) const;
    // Whether a window with exactly this title is on screen now.
    bool showing(const std::string& title) const;

    void point_at(int x, int y) const;
    // A left click, then time for the program to answer it.
    void click(int x, int y) const;
    // Clicks the centre of a control at x, y, w, h dialog units in a window
    // whose client area starts `top` pixels below its corner, all of it
    // `scale` times its classic size on screen.
    void click_unit(const Geometry& window, int x, int y, int w, int h, int top = 0,
                    int scale = 1) const;
    // Clicks a button of the main window's bottom row, x dialog units from its left.
    void click_button(const Geometry& main, int x, int scale = 1) const;
    // Moves the pointer over the window and presses the key there.
    void key_in(const Geometry& window, const std::string& key) const;
    void key_over(const std::string& id, const std::string& key) const;
    // Types the text with the pointer over the window, then presses Return.
    void type_in(const Geometry& window, const std::string& text) const;
    // The pointer to the screen's bottom-right corner, away from every window.
    void park_pointer() const;
    // The screen once the program has had time to draw, also kept as a PNG.
    x11_test::Screenshot shot(const std::string& png) const;

    // ffmpeg's decode of frame n of the file as 0xRRGGBB pixels.
    std::vector<std::uint32_t> decoded(const std::string& avi, int n) const;
    // How many of 132 sample points of the frame view match the frame;
    // `main` is the main window, `scale` the window scale.
    static int matching_points(const x11_test::Screenshot& shot, const Geometry& main,
                               const std::vector<std::uint32_t>& frame, int scale = 1);
    // The same for ffmpeg's frame n of the file.
    int matching_points(const x11_test::Screenshot& shot, const Geometry& main,
                        const std::string& avi, int n, int scale = 1) const;
    static constexpr int kPoints = 12 * 11;
    static constexpr int kMenuBar = 19;  // the client area starts below the menu bar

  private:
    int screen_w_, screen_h_;
    std::filesystem::path dir_;
    std::unique_ptr<x11_test::XvfbServer> server_;
    std::unique_ptr<x11_test::ChildProcess> app_;
};

}  // namespace e2e
