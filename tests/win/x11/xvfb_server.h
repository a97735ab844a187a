// A private virtual X server for one test, on a display number nobody else
// uses, and screenshots of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

namespace x11_test {

class XvfbServer {
  public:
    // Starts Xvfb with a width x height x 24 screen; ready() tells whether
    // it accepts connections.
    XvfbServer(int width, int height);
    bool ready() const { return ready_; }
    const std::string& display() const { return display_; }  // ":97"
    std::string env() const { return "DISPLAY=" + display_; }

  private:
    std::unique_ptr<ChildProcess> process_;
    std::string display_;
    bool ready_ = false;
};

// The whole screen as 0xRRGGBB pixels, row by row.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// Grabs the screen with ffmpeg, keeping a PNG copy at png_path for people
// to look at. Empty pixels when the grab failed.
Screenshot grab_screen(const XvfbServer& server, int width, int height,
                       const std::string& png_path);

}  // namespace x11_test
