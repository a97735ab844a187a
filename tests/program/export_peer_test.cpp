// Copies and bitmaps of files that ffmpeg writes, read back by ffmpeg and by
// GStreamer's avidemux: the copy holds exactly the source stream's packets,
// the bitmap exactly ffmpeg's decode of the frame.
#include <array>
#include <memory>

#include "export_fixture.h"

using namespace export_test;

namespace {

std::string output_of(const std::string& cmd) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(cmd.c_str(), "r"), &::pclose);
    if (!pipe) return out;
    std::array<char, 4096> buf;
    while (size_t n = std::fread(buf.data(), 1, buf.size(), pipe.get())) out.append(buf.data(), n);
    return out;
}

// ffmpeg's packets of the file's one stream of that kind, without comments.
std::string ffmpeg_packets(const std::string& file, char kind, bool blocks) {
    std::string all = output_of("ffmpeg -nostdin -v error -i '" + file + "' -map 0:" + kind +
                                " -c copy -f " + (blocks ? "md5" : "framemd5") + " - 2>/dev/null");
    std::string out;
    size_t at = 0;
    while (at < all.size()) {
        size_t end = all.find('\n', at);
        if (end == std::string::npos) end = all.size();
        if (all[at] != '#') out += all.substr(at, end - at + 1);
        at = end + 1;
    }
    return out;
}

// avidemux's buffers of the stream, one checksum a line.
std::string gstreamer_buffers(const std::string& file, const std::string& pad,
                              const std::string& dir, bool blocks) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    output_of("gst-launch-1.0 -q filesrc location='" + file + "' ! avidemux name=d d." + pad +
              " ! multifilesink location='" + dir + "/%06d' >/dev/null 2>&1");
    return output_of("cd '" + dir + "' && ls | sort | xargs -r " +
                     (blocks ? "cat | md5sum" : "md5sum"));
}

struct PeerCase {
    const char* name;
    const char* make;  // ffmpeg arguments before the output
    int button;
    // Fixed-size audio is stored in blocks of the copy's own choosing: its
    // bytes, not its chunking, are the source's.
    bool blocks = false;
};

class ExportPeer : public ProgramTest {
  protected:
    void copy_and_compare(const PeerCase& c) {
        std::string source = path(std::string(c.name) + ".avi");
        ASSERT_TRUE(ffmpeg(std::string(c.make) + " '" + source + "'")) << c.name;
        std::string target = path(std::string(c.name) + "-copy.avi");
        Session r;
        export_through(r, source, c.button, target);
        run(r);
        bool video = c.button == 1010;
        ASSERT_EQ(texts(r),
                  std::vector<std::string>{video ? "Video Extracted !" : "Audio Extracted !"})
            << c.name;
        char kind = video ? 'v' : 'a';
        std::string want = ffmpeg_packets(source, kind, c.blocks);
        ASSERT_FALSE(want.empty()) << c.name;
        EXPECT_EQ(ffmpeg_packets(target, kind, c.blocks), want) << c.name;
        std::string pad = video ? "video_0" : "audio_0";
        std::string gst_want = gstreamer_buffers(source, pad, path("gst-a"), c.blocks);
        ASSERT_FALSE(gst_want.empty()) << c.name;
        EXPECT_EQ(gstreamer_buffers(target, pad, path("gst-b"), c.blocks), gst_want) << c.name;
        // The copy plays for as long as the source does (within ffprobe's estimate).
        std::string duration = "ffprobe -v error -select_streams " + std::string(1, kind) +
                               " -show_entries stream=duration -of csv=p=0 '";
        double want_s = std::atof(output_of(duration + source + "'").c_str());
        EXPECT_GT(want_s, 0.5) << c.name;
        EXPECT_NEAR(std::atof(output_of(duration + target + "'").c_str()), want_s, want_s * 0.03)
            << c.name;
    }
};

TEST_F(ExportPeer, VideoCopiesHoldTheSourcePackets) {
    const PeerCase cases[] = {
        {"raw", "-f lavfi -i testsrc=size=96x64:rate=15 -t 2 -c:v rawvideo -pix_fmt bgr24", 1010},
        {"pal8", "-f lavfi -i testsrc=size=97x64:rate=15 -t 2 -c:v rawvideo -pix_fmt pal8", 1010},
        {"mjpeg", "-f lavfi -i testsrc=size=96x64:rate=15 -t 2 -c:v mjpeg", 1010},
        {"mpeg4", "-f lavfi -i testsrc=size=96x64:rate=15 -t 2 -c:v mpeg4 -bf 2", 1010},
        {"h264", "-f lavfi -i testsrc=size=96x64:rate=15 -t 2 -c:v libx264 -bf 2", 1010},
        {"ffv1", "-f lavfi -i testsrc=size=96x64:rate=15 -t 2 -c:v ffv1", 1010},
        {"huffyuv", "-f lavfi -i testsrc=size=96x64:rate=15 -t 2 -c:v huffyuv", 1010},
    };
    for (const PeerCase& c : cases) copy_and_compare(c);
}

TEST_F(ExportPeer, AudioCopiesHoldTheSourcePackets) {
    const PeerCase cases[] = {
        {"pcm", "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 3 -ac 2 -c:a pcm_s16le", 1011,
         true},
        {"mp3cbr",
         "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 3 -c:a libmp3lame -b:a 128k", 1011},
        {"mp3vbr", "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 3 -c:a libmp3lame -q:a 4",
         1011},
        {"ac3", "-f lavfi -i sine=frequency=440:sample_rate=48000 -t 3 -c:a ac3", 1011},
        {"adpcm", "-f lavfi -i sine=frequency=440:sample_rate=22050 -t 3 -c:a adpcm_ms", 1011,
         true},
    };
    for (const PeerCase& c : cases) copy_and_compare(c);
}

TEST_F(ExportPeer, BitmapsMatchFfmpegsDecodeAndOpenInImageMagick) {
    struct Case {
        const char* name;
        const char* pix_fmt;
    } cases[] = {{"rgb", "bgr24"}, {"odd", "bgr24"}, {"pal", "pal8"}};
    for (const Case& c : cases) {
        std::string source = path(std::string(c.name) + ".avi");
        std::string size = std::string(c.name) == "odd" ? "321x240" : "320x240";
        ASSERT_TRUE(ffmpeg("-f lavfi -i testsrc=size=" + size +
                           ":rate=5 -t 1 -c:v rawvideo -pix_fmt " + c.pix_fmt + " '" + source +
                           "'"));
        std::string bmp = path(std::string(c.name) + ".bmp");
        Session r;
        export_through(r, source, 1009, bmp);
        run(r);
        ASSERT_EQ(texts(r), std::vector<std::string>{"Bitmap Image Created."}) << c.name;
        // Both decoded to the same raw pixels by ffmpeg: the source's first
        // frame and the .bmp file.
        std::string raw = " -frames:v 1 -f rawvideo -pix_fmt rgb24 ";
        ASSERT_TRUE(ffmpeg("-i '" + source + "'" + raw + "'" + path("want.rgb") + "'"));
        ASSERT_TRUE(ffmpeg("-i '" + bmp + "'" + raw + "'" + path("got.rgb") + "'"));
        std::vector<std::uint8_t> want = read_bytes(path("want.rgb"));
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(read_bytes(path("got.rgb")), want) << c.name;
        EXPECT_EQ(output_of("identify -format '%m %wx%h' '" + bmp + "' 2>&1"), "BMP3 " + size)
            << c.name;
    }
}

}  // namespace
