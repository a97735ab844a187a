#include "xvfb_server.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>

namespace x11_test {

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A display is taken when its socket or its lock file exists.
int free_display_number() {
    for (int n = 97; n < 160; ++n)
        if (!exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
            !exists("/tmp/.X" + std::to_string(n) + "-lock"))
            return n;
    return -1;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height) {
    // Two servers started at once may pick the same number; the loser's
    // Xvfb exits at once and the next number is tried.
    for (int attempt = 0; attempt < 5 && !ready_; ++attempt) {
        int n = free_display_number();
        if (n < 0) return;
        display_ = ":" + std::to_string(n);
        // -noreset: the server would otherwise restart, refusing connections
        // for a moment, each time its last client leaves.
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        process_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", display_, "-screen", "0", screen, "-nolisten", "tcp",
                                     "-br", "-noreset"},
            std::vector<std::string>{}, false);
        if (!process_->started()) return;
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        for (int i = 0; i < 100 && process_->running(); ++i) {
            if (exists(socket) &&
                run({"xdotool", "getdisplaygeometry"}, {env()}, milliseconds(3000))) {
                // Still ours: not a server someone else started on the number.
                ready_ = process_->running();
                break;
            }
            std::this_thread::sleep_for(milliseconds(50));
        }
        if (!ready_) process_.reset();
    }
}

Screenshot grab_screen(const XvfbServer& server, int width, int height,
                       const std::string& png_path) {
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string raw_path = png_path + ".rgb";
    Screenshot shot;
    auto done =
        run({"ffmpeg",         "-nostdin",    "-loglevel", "error",       "-y",       "-f",
             "x11grab",        "-draw_mouse", "0",         "-video_size", size,       "-i",
             server.display(), "-frames:v",   "1",         "-f",          "rawvideo", "-pix_fmt",
             "rgb24",          raw_path,      "-frames:v", "1",           png_path},
            {}, milliseconds(20000));
    if (!done) return shot;
    std::ifstream in(raw_path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    unlink(raw_path.c_str());
    if (bytes.size() != std::size_t(width) * std::size_t(height) * 3) return shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < shot.pixels.size(); ++i)
        shot.pixels[i] = (std::uint32_t(bytes[3 * i]) << 16) |
                         (std::uint32_t(bytes[3 * i + 1]) << 8) | bytes[3 * i + 2];
    return shot;
}

}  // namespace x11_test
