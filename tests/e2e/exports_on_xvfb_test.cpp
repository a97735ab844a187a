// The four export buttons of the real program on a private Xvfb, pressed
// with xdotool: Frame, Video, Audio and Save with the default options, each
// file then read back by ffmpeg.
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

constexpr int kMenuBar = 19;

using Place = e2e::Geometry;

class ExportsOnXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("korvane_exports_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        source_ = file("both.avi");
        ASSERT_TRUE(run({"ffmpeg",   "-loglevel", "error", "-y",
                         "-f",       "lavfi",     "-i",    "testsrc=size=160x120:rate=10",
                         "-f",       "lavfi",     "-i",    "sine=sample_rate=22050",
                         "-t",       "2",         "-c:v",  "rawvideo",
                         "-pix_fmt", "bgr24",     "-c:a",  "pcm_s16le",
                         source_},
                        {}, milliseconds(30000)));
        server_ = std::make_unique<XvfbServer>(800, 600);
        ASSERT_TRUE(server_->ready());
    }
    void TearDown() override {
        app_.reset();
        server_.reset();
        std::filesystem::remove_all(dir_);
    }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    std::optional<std::string> xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return run(args, {server_->env()});
    }
    // The window with this title once it shows, and where it is.
    Place wait_window(const std::string& title) {
        Place p;
        for (int i = 0; i < 150 && app_->running(); ++i) {
            auto ids = xdo({"search", "--onlyvisible", "--name", "^" + title + "$"});
            if (ids && !ids->empty()) {
                auto out = xdo({"getwindowgeometry", "--shell", ids->substr(0, ids->find('\n'))});
                return out ? e2e::parse_geometry(*out) : p;
            }
            std::this_thread::sleep_for(milliseconds(100));
        }
        return p;
    }
    void click(int x, int y) {
        xdo({"mousemove", std::to_string(x), std::to_string(y)});
        xdo({"click", "1"});
        std::this_thread::sleep_for(milliseconds(300));
    }
    // The centre of a control given in dialog units, in a window at p.
    void click_unit(const Place& p, int x, int y, int w, int h, int menu = 0) {
        click(p.x + (x + w / 2) * 3 / 2, p.y + menu + (y + h / 2) * 13 / 8);
    }
    void answer_save_dialog(const std::string& path) {
        Place d = wait_window("Save As");
        ASSERT_GT(d.w, 0) << "no save dialog";
        xdo({"mousemove", std::to_string(d.x + d.w / 2), std::to_string(d.y + d.h / 2)});
        xdo({"type", "--delay", "5", path});
        xdo({"key", "Return"});
    }
    // The notice of a finished export, closed with Return.
    void expect_notice() {
        Place box = wait_window("Korvane");
        ASSERT_GT(box.w, 0) << "no notice";
        std::this_thread::sleep_for(milliseconds(200));
        xdo({"key", "Return"});
        std::this_thread::sleep_for(milliseconds(300));
    }
    // ffmpeg's packets of a stream, without the header comments.
    std::string packets(const std::string& path, const char* map, const char* format) {
        auto out = run({"ffmpeg", "-loglevel", "error", "-i", path, "-map", map, "-c", "copy", "-f",
                        format, "-"},
                       {}, milliseconds(30000));
        std::istringstream in(out.value_or(""));
        std::string kept;
        for (std::string line; std::getline(in, line);)
            if (!line.empty() && line[0] != '#') kept += line + "\n";
        return kept;
    }

    std::filesystem::path dir_;
    std::string source_;
    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ChildProcess> app_;
};

TEST_F(ExportsOnXvfb, FrameVideoAudioAndSaveWriteTheirFiles) {
    app_ = std::make_unique<ChildProcess>(std::vector<std::string>{KORVANE_PATH},
                                          std::vector<std::string>{server_->env()}, true);
    ASSERT_TRUE(app_->started());
    Place about = wait_window("About Korvane 1.0");
    ASSERT_GT(about.w, 0) << app_->output();
    xdo({"mousemove", std::to_string(about.x + about.w / 2),
         std::to_string(about.y + about.h / 2)});
    xdo({"key", "Return"});
    Place main = wait_window("Korvane 1.0");
    ASSERT_GT(main.w, 400);
    const int button_y = 191;
    click_unit(main, 136, button_y, 22, 20, kMenuBar);  // Open
    Place open = wait_window("Open");
    ASSERT_GT(open.w, 0);
    xdo({"mousemove", std::to_string(open.x + open.w / 2), std::to_string(open.y + open.h / 2)});
    xdo({"type", "--delay", "5", source_});
    xdo({"key", "Return"});
    std::this_thread::sleep_for(milliseconds(1000));

    click_unit(main, 168, button_y, 22, 20, kMenuBar);  // Frame
    answer_save_dialog(file("frame.bmp"));
    expect_notice();
    click_unit(main, 190, button_y, 22, 20, kMenuBar);  // Video
    answer_save_dialog(file("video.avi"));
    expect_notice();
    click_unit(main, 212, button_y, 22, 20, kMenuBar);  // Audio
    answer_save_dialog(file("audio.avi"));
    expect_notice();
    click_unit(main, 234, button_y, 22, 20, kMenuBar);  // Save
    Place select = wait_window("Select Stream");
    ASSERT_GT(select.w, 0) << "no Select Stream dialog";
    grab_screen(*server_, 800, 600, "korvane_exports_select.png");
    click_unit(select, 111, 11, 52, 17);  // OK: the video stream, chosen at the start
    answer_save_dialog(file("saved.avi"));
    Place options = wait_window("Video Compression");
    ASSERT_GT(options.w, 0) << "no compression dialog";
    grab_screen(*server_, 800, 600, "korvane_exports_options.png");
    xdo({"key", "Return"});
    expect_notice();
    grab_screen(*server_, 800, 600, "korvane_exports_done.png");

    EXPECT_EQ(packets(file("video.avi"), "0:v", "framemd5"), packets(source_, "0:v", "framemd5"));
    EXPECT_EQ(packets(file("audio.avi"), "0:a", "md5"), packets(source_, "0:a", "md5"));
    auto frames = run({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                       "stream=nb_read_packets", "-of", "csv=p=0", file("saved.avi")},
                      {}, milliseconds(30000));
    EXPECT_EQ(frames.value_or(""), "20\n") << "the saved video has every frame";
    // The bitmap decodes to the source's first frame.
    auto decode = [&](const std::string& in, const std::string& out) {
        return run({"ffmpeg", "-loglevel", "error", "-y", "-i", in, "-frames:v", "1", "-f",
                    "rawvideo", "-pix_fmt", "rgb24", out},
                   {}, milliseconds(30000));
    };
    ASSERT_TRUE(decode(source_, file("want.rgb")));
    ASSERT_TRUE(decode(file("frame.bmp"), file("got.rgb")));
    EXPECT_EQ(std::filesystem::file_size(file("got.rgb")), 160u * 120 * 3);
    EXPECT_EQ(run({"cmp", file("want.rgb"), file("got.rgb")}, {}).has_value(), true);

    xdo({"key", "alt+F4"});
    EXPECT_TRUE(app_->wait_exit(milliseconds(10000)).has_value());
}

}  // namespace
