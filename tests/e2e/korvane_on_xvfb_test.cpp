// Korvane itself on a private Xvfb: the about box goes with Enter, a file is
// opened through the Open button and the file dialog, and the frame view
// shows the frames ffmpeg decodes, as Next, End and Play move through them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "window_geometry.h"
#include "xvfb_server.h"

using namespace x11_test;

namespace {

constexpr int kScreenW = 800, kScreenH = 600;
constexpr int kFrameW = 160, kFrameH = 120, kFrames = 12;
// Where the dialog's client area starts below the menu bar, and where the
// Open, Next, End and Play buttons sit in it (template positions x 1.5 and x 1.625).
constexpr int kMenuBar = 19;

using e2e::Geometry;

class KorvaneOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("korvane_e2e_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        avi_ = (dir_ / "bars.avi").string();
        auto made = run({"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                         "testsrc=size=160x120:rate=10", "-frames:v", std::to_string(kFrames), "-c:v",
                         "rawvideo", "-pix_fmt", "bgr24", avi_},
                        {}, milliseconds(30000));
        ASSERT_TRUE(made) << "ffmpeg could not make the fixture";
        server_ = std::make_unique<XvfbServer>(kScreenW, kScreenH);
        ASSERT_TRUE(server_->ready());
    }
    void TearDown() override {
        app_.reset();
        server_.reset();
        std::filesystem::remove_all(dir_);
    }

    std::optional<std::string> xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return run(args, {server_->env()});
    }

    std::string wait_window(const std::string& title) {
        for (int i = 0; i < 150 && app_->running(); ++i) {
            auto ids = xdo({"search", "--onlyvisible", "--name", "^" + title + "$"});
            if (ids && !ids->empty()) return ids->substr(0, ids->find('\n'));
            std::this_thread::sleep_for(milliseconds(100));
        }
        return {};
    }

    Geometry geometry(const std::string& id) {
        auto out = xdo({"getwindowgeometry", "--shell", id});
        return out ? e2e::parse_geometry(*out) : Geometry{};
    }

    void click(int x, int y) {
        xdo({"mousemove", std::to_string(x), std::to_string(y)});
        xdo({"click", "1"});
        std::this_thread::sleep_for(milliseconds(300));
    }

    // Client-area point of the main window for a template position in dialog units.
    void click_button(int dlu_x, int dlu_y) {
        click(main_.x + dlu_x * 3 / 2 + 12, main_.y + kMenuBar + dlu_y * 13 / 8 + 12);
    }

    // ffmpeg's decode of frame n as 0xRRGGBB pixels.
    std::vector<std::uint32_t> decoded(int n) {
        std::string raw = (dir_ / ("frame" + std::to_string(n) + ".rgb")).string();
        run({"ffmpeg", "-loglevel", "error", "-y", "-i", avi_, "-vf", "select=eq(n\\," + std::to_string(n) + ")",
             "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", raw},
            {}, milliseconds(30000));
        std::vector<std::uint32_t> out;
        FILE* f = std::fopen(raw.c_str(), "rb");
        if (!f) return out;
        unsigned char px[3];
        while (std::fread(px, 1, 3, f) == 3) out.push_back(std::uint32_t(px[0]) << 16 | px[1] << 8 | px[2]);
        std::fclose(f);
        return out;
    }

    // How many of a grid of sample points of the view match frame n.
    int matching_points(const Screenshot& shot, const std::vector<std::uint32_t>& frame) {
        // The frame fits the view (273 x 159 dialog units less its sunken
        // edge: 408 x 256 pixels) and is drawn at its natural size, centred.
        int ox = main_.x + 408 / 2 - kFrameW / 2, oy = main_.y + kMenuBar + 256 / 2 - kFrameH / 2;
        int matches = 0;
        for (int fy = 5; fy < kFrameH; fy += 11)
            for (int fx = 5; fx < kFrameW; fx += 13) {
                std::uint32_t want = frame[std::size_t(fy) * kFrameW + std::size_t(fx)];
                std::uint32_t got = shot.at(ox + fx, oy + fy);
                matches += want == got;
            }
        return matches;
    }
    // Sample points: columns 5, 18, ... 148 and rows 5, 16, ... 115.
    static constexpr int kPoints = 12 * 11;

    std::filesystem::path dir_;
    std::string avi_;
    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ChildProcess> app_;
    Geometry main_;
};

TEST_F(KorvaneOnXvfb, OpensAFileAndStepsAndPlaysThroughIt) {
    app_ = std::make_unique<ChildProcess>(std::vector<std::string>{KORVANE_PATH},
                                          std::vector<std::string>{server_->env()}, true);
    ASSERT_TRUE(app_->started());

    std::string about = wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << "no about box; the program said:\n" << app_->output();
    Geometry a = geometry(about);
    xdo({"mousemove", std::to_string(a.x + a.w / 2), std::to_string(a.y + a.h / 2)});
    xdo({"key", "Return"});

    std::string main = wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty()) << app_->output();
    main_ = geometry(main);
    ASSERT_GT(main_.w, 400);

    click_button(136, 191);  // Open
    std::string open = wait_window("Open");
    ASSERT_FALSE(open.empty()) << "no file dialog";
    Geometry o = geometry(open);
    xdo({"mousemove", std::to_string(o.x + o.w / 2), std::to_string(o.y + o.h / 2)});
    xdo({"type", "--delay", "5", avi_});
    xdo({"key", "Return"});
    std::this_thread::sleep_for(milliseconds(1500));

    auto frame0 = decoded(0), frame1 = decoded(1), last = decoded(kFrames - 1);
    ASSERT_EQ(frame0.size(), std::size_t(kFrameW * kFrameH));
    Screenshot shot = grab_screen(*server_, kScreenW, kScreenH, "korvane_opened.png");
    ASSERT_FALSE(shot.pixels.empty());
    EXPECT_EQ(matching_points(shot, frame0), kPoints) << "frame 0 in the view (see korvane_opened.png)";

    click_button(92, 191);  // Next
    shot = grab_screen(*server_, kScreenW, kScreenH, "korvane_next.png");
    EXPECT_EQ(matching_points(shot, frame1), kPoints) << "frame 1 after Next";

    click_button(114, 191);  // End
    shot = grab_screen(*server_, kScreenW, kScreenH, "korvane_end.png");
    EXPECT_EQ(matching_points(shot, last), kPoints) << "the last frame after End";

    click_button(4, 191);    // St
    click_button(48, 191);   // Play: 100 ms a frame
    std::this_thread::sleep_for(milliseconds(2000));
    shot = grab_screen(*server_, kScreenW, kScreenH, "korvane_played.png");
    EXPECT_EQ(matching_points(shot, last), kPoints) << "playback ends on the last frame";

    xdo({"mousemove", std::to_string(main_.x + 20), std::to_string(main_.y + 5)});
    xdo({"key", "alt+F4"});
    auto code = app_->wait_exit(milliseconds(10000));
    EXPECT_TRUE(code.has_value()) << "Alt+F4 ends the program";
}

}  // namespace
