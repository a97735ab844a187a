// The real program on a private Xvfb, for the end-to-end tests: start it,
// find its windows by title, drive it with xdotool and compare the frame
// view with ffmpeg's decode.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "window_geometry.h"
#include "xvfb_server.h"

namespace e2e {

class KorvaneSession {
  public:
    KorvaneSession(int screen_w, int screen_h);
    ~KorvaneSession();
    bool ready() const { return server_ && server_->ready(); }
    const std::filesystem::path& dir() const { return dir_; }
    const std::string& display() const { return server_->display(); }

    // Makes a bgr24 test-pattern AVI of `frames` frames at 160 x 120.
    bool make_avi(const std::string& path, int frames) const;
    // Starts the program with the arguments and the extra environment.
    void start(const std::vector<std::string>& args, std::vector<std::string> env = {});
    x11_test::ChildProcess& app() { return *app_; }

    std::optional<std::string> xdo(std::vector<std::string> args) const;
    // The id of a visible window with exactly this title; empty after ~15 s.
    std::string wait_window(const std::string& title) const;
    Geometry geometry(const std::string& id) const;
    // Whether a window with exactly this title is on screen now.
    bool showing(const std::string& title) const;
    // Moves the pointer over the window and presses the key there.
    void key_over(const std::string& id, const std::string& key) const;
    x11_test::Screenshot shot(const std::string& png) const;

    // How many of 132 sample points of the frame view match ffmpeg's frame
    // n of the file; `main` is the main window, `scale` the window scale.
    int matching_points(const x11_test::Screenshot& shot, const Geometry& main,
                        const std::string& avi, int n, int scale = 1) const;
    static constexpr int kPoints = 12 * 11;
    static constexpr int kMenuBar = 19;  // the client area starts below the menu bar

  private:
    std::vector<std::uint32_t> decoded(const std::string& avi, int n) const;
    int screen_w_, screen_h_;
    std::filesystem::path dir_;
    std::unique_ptr<x11_test::XvfbServer> server_;
    std::unique_ptr<x11_test::ChildProcess> app_;
};

}  // namespace e2e
