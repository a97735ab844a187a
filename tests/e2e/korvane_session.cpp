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

bool KorvaneSession::make_avi(const std::string& path, int frames, int audio_rate) const {
    std::vector<std::string> args{"ffmpeg", "-loglevel", "error", "-y",
                                  "-f",     "lavfi",     "-i",    "testsrc=size=160x120:rate=10"};
    if (audio_rate) {
        // As long as the video: ten frames a second.
        std::string seconds = std::to_string(frames / 10) + "." + std::to_string(frames % 10);
        args.insert(args.end(), {"-f", "lavfi", "-i",
                                 "sine=frequency=440:sample_rate=" + std::to_string(audio_rate),
                                 "-t", seconds, "-c:a", "pcm_s16le"});
    }
    args.insert(args.end(), {"-frames:v", std::to_string(frames), "-c:v", "rawvideo", "-pix_fmt",
                             "bgr24", path});
    return bool(run(args, {}, milliseconds(30000)));
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

std::vector<std::string> KorvaneSession::visible(const std::string& title) const {
    std::vector<std::string> ids;
    auto out = xdo({"search", "--onlyvisible", "--name", "^" + title + "$"});
    std::istringstream in(out.value_or(""));
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) ids.push_back(line);
    return ids;
}

std::string KorvaneSession::wait_window(const std::string& title) const {
    for (int i = 0; i < 150 && app_ && app_->running(); ++i) {
        auto ids = visible(title);
        if (!ids.empty()) return ids.front();
        std::this_thread::sleep_for(milliseconds(100));
    }
    return {};
}

bool KorvaneSession::wait_gone(const std::string& title) const {
    for (int i = 0; i < 50; ++i) {
        if (!showing(title)) return true;
        std::this_thread::sleep_for(milliseconds(100));
    }
    return false;
}

bool KorvaneSession::showing(const std::string& title) const { return !visible(title).empty(); }

Geometry KorvaneSession::geometry(const std::string& id) const {
    auto out = xdo({"getwindowgeometry", "--shell", id});
    return out ? parse_geometry(*out) : Geometry{};
}

void KorvaneSession::point_at(int x, int y) const {
    xdo({"mousemove", std::to_string(x), std::to_string(y)});
}

void KorvaneSession::click(int x, int y) const {
    point_at(x, y);
    xdo({"click", "1"});
    std::this_thread::sleep_for(milliseconds(400));
}

void KorvaneSession::click_unit(const Geometry& window, int x, int y, int w, int h, int top,
                                int scale) const {
    // Dialog units are 3/2 pixels across and 13/8 down in the program's font.
    click(window.x + scale * ((x + w / 2) * 3 / 2),
          window.y + scale * (top + (y + h / 2) * 13 / 8));
}

void KorvaneSession::click_button(const Geometry& main, int x, int scale) const {
    click_unit(main, x, 191, 22, 20, kMenuBar, scale);
}

void KorvaneSession::key_in(const Geometry& window, const std::string& key) const {
    point_at(window.x + window.w / 2, window.y + window.h / 2);
    xdo({"key", key});
    std::this_thread::sleep_for(milliseconds(300));
}

void KorvaneSession::key_over(const std::string& id, const std::string& key) const {
    key_in(geometry(id), key);
}

void KorvaneSession::type_in(const Geometry& window, const std::string& text) const {
    point_at(window.x + window.w / 2, window.y + window.h / 2);
    xdo({"type", "--delay", "5", text});
    xdo({"key", "Return"});
}

void KorvaneSession::park_pointer() const {
    xdo({"mousemove", std::to_string(screen_w_ - 1), std::to_string(screen_h_ - 1)});
}

x11_test::Screenshot KorvaneSession::shot(const std::string& png) const {
    std::this_thread::sleep_for(milliseconds(300));
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
    return matching_points(shot, main, decoded(avi, n), scale);
}

int KorvaneSession::matching_points(const x11_test::Screenshot& shot, const Geometry& main,
                                    const std::vector<std::uint32_t>& frame, int scale) {
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
