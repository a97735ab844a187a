#include "korvane_session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

using x11_test::milliseconds;
using x11_test::run;

namespace e2e {

namespace {
constexpr int kFrameW = 160, kFrameH = 120;
int session_count = 0;
}  // namespace

KorvaneSession::KorvaneSession(int screen_w, int screen_h)
    : screen_w_(screen_w), screen_h_(screen_h) {
    dir_ = std::filesystem::temp_directory_path() /
           ("korvane_e2e_" + std::to_string(getpid()) + "_" + std::to_string(++session_count));
    std::filesystem::create_directories(dir_);
    server_ = std::make_unique<x11_test::XvfbServer>(screen_w, screen_h);
}

KorvaneSession::~KorvaneSession() {
    app_.reset();
    server_.reset();
    std::filesystem::remove_all(dir_);
}

bool KorvaneSession::make_avi(const std::string& path, int frames) const {
    return bool(run(
        {"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10",
         "-frames:v", std::to_string(frames), "-c:v", "rawvideo", "-pix_fmt", "bgr24", path},
        {}, milliseconds(30000)));
}

void KorvaneSession::start(const std::vector<std::string>& args, std::vector<std::string> env) {
    std::vector<std::string> argv{KORVANE_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    env.push_back(server_->env());
    // Scale 1 unless the test asks otherwise: the caller's entry comes first and wins.
    env.push_back("KORVANE_SCALE=1");
    app_ = std::make_unique<x11_test::ChildProcess>(argv, env, true);
}

std::optional<std::string> KorvaneSession::xdo(std::vector<std::string> args) const {
    args.insert(args.begin(), "xdotool");
    return run(args, {server_->env()});
}

std::string KorvaneSession::wait_window(const std::string& title) const {
    for (int i = 0; i < 150 && app_ && app_->running(); ++i) {
        auto ids = xdo({"search", "--onlyvisible", "--name", "^" + title + "$"});
        if (ids && !ids->empty()) return ids->substr(0, ids->find('\n'));
        std::this_thread::sleep_for(milliseconds(100));
    }
    return {};
}

bool KorvaneSession::showing(const std::string& title) const {
    auto ids = xdo({"search", "--onlyvisible", "--name", "^" + title + "$"});
    return ids && !ids->empty();
}

Geometry KorvaneSession::geometry(const std::string& id) const {
    auto out = xdo({"getwindowgeometry", "--shell", id});
    return out ? parse_geometry(*out) : Geometry{};
}

void KorvaneSession::key_over(const std::string& id, const std::string& key) const {
    Geometry g = geometry(id);
    xdo({"mousemove", std::to_string(g.x + g.w / 2), std::to_string(g.y + g.h / 2)});
    xdo({"key", key});
}

x11_test::Screenshot KorvaneSession::shot(const std::string& png) const {
    return x11_test::grab_screen(*server_, screen_w_, screen_h_, png);
}

std::vector<std::uint32_t> KorvaneSession::decoded(const std::string& avi, int n) const {
    std::string raw = (dir_ / ("frame" + std::to_string(n) + ".rgb")).string();
    run({"ffmpeg", "-loglevel", "error", "-y", "-i", avi, "-vf",
         "select=eq(n\\," + std::to_string(n) + ")", "-frames:v", "1", "-f", "rawvideo", "-pix_fmt",
         "rgb24", raw},
        {}, milliseconds(30000));
    std::vector<std::uint32_t> out;
    FILE* f = std::fopen(raw.c_str(), "rb");
    if (!f) return out;
    unsigned char px[3];
    while (std::fread(px, 1, 3, f) == 3)
        out.push_back(std::uint32_t(px[0]) << 16 | px[1] << 8 | px[2]);
    std::fclose(f);
    return out;
}

int KorvaneSession::matching_points(const x11_test::Screenshot& shot, const Geometry& main,
                                    const std::string& avi, int n, int scale) const {
    std::vector<std::uint32_t> frame = decoded(avi, n);
    if (frame.size() != std::size_t(kFrameW * kFrameH) || shot.pixels.empty()) return 0;
    // The frame is drawn at its natural size, centred in the view (408 x 256
    // pixels inside its sunken edge); at scale 2 every pixel is doubled.
    int ox = main.x + scale * (408 / 2 - kFrameW / 2),
        oy = main.y + scale * (kMenuBar + 256 / 2 - kFrameH / 2);
    int matches = 0;
    for (int fy = 5; fy < kFrameH; fy += 11)
        for (int fx = 5; fx < kFrameW; fx += 13) {
            int x = ox + scale * fx, y = oy + scale * fy;
            if (x < 0 || y < 0 || x >= shot.width || y >= shot.height) continue;
            matches += frame[std::size_t(fy) * kFrameW + std::size_t(fx)] == shot.at(x, y);
        }
    return matches;
}

}  // namespace e2e
