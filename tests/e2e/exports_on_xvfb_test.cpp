// The four export buttons of the real program on a private Xvfb, pressed
// with xdotool: Frame, Video, Audio and Save with the default options, each
// file then read back by ffmpeg.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "korvane_session.h"

using e2e::KorvaneSession;
using x11_test::milliseconds;
using x11_test::run;

namespace {

using Place = e2e::Geometry;

class ExportsOnXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(s_.ready());
        source_ = file("both.avi");
        ASSERT_TRUE(s_.make_avi(source_, 20, 22050));
    }
    std::string file(const std::string& name) const { return (s_.dir() / name).string(); }

    // The window with this title once it shows, and where it is.
    Place wait_window(const std::string& title) { return s_.geometry(s_.wait_window(title)); }
    void answer_save_dialog(const std::string& path) {
        Place d = wait_window("Save As");
        ASSERT_GT(d.w, 0) << "no save dialog";
        s_.type_in(d, path);
    }
    // The notice of a finished export, closed with Return.
    void expect_notice() {
        Place box = wait_window("Korvane");
        ASSERT_GT(box.w, 0) << "no notice";
        std::this_thread::sleep_for(milliseconds(200));
        s_.xdo({"key", "Return"});
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

    KorvaneSession s_{800, 600};
    std::string source_;
};

TEST_F(ExportsOnXvfb, FrameVideoAudioAndSaveWriteTheirFiles) {
    s_.start({});
    ASSERT_TRUE(s_.app().started());
    Place about = wait_window("About Korvane 1.0");
    ASSERT_GT(about.w, 0) << s_.app().output();
    s_.key_in(about, "Return");
    Place main = wait_window("Korvane 1.0");
    ASSERT_GT(main.w, 400);
    s_.click_button(main, 136);  // Open
    Place open = wait_window("Open");
    ASSERT_GT(open.w, 0);
    s_.type_in(open, source_);
    std::this_thread::sleep_for(milliseconds(1000));

    s_.click_button(main, 168);  // Frame
    answer_save_dialog(file("frame.bmp"));
    expect_notice();
    s_.click_button(main, 190);  // Video
    answer_save_dialog(file("video.avi"));
    expect_notice();
    s_.click_button(main, 212);  // Audio
    answer_save_dialog(file("audio.avi"));
    expect_notice();
    s_.click_button(main, 234);  // Save
    Place select = wait_window("Select Stream");
    ASSERT_GT(select.w, 0) << "no Select Stream dialog";
    s_.shot("korvane_exports_select.png");
    s_.click_unit(select, 111, 11, 52, 17);  // OK: the video stream, chosen at the start
    answer_save_dialog(file("saved.avi"));
    Place options = wait_window("Video Compression");
    ASSERT_GT(options.w, 0) << "no compression dialog";
    s_.shot("korvane_exports_options.png");
    s_.xdo({"key", "Return"});
    expect_notice();
    s_.shot("korvane_exports_done.png");

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

    s_.xdo({"key", "alt+F4"});
    EXPECT_TRUE(s_.app().wait_exit(milliseconds(10000)).has_value());
}

}  // namespace
