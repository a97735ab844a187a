// Peers: files that ffmpeg writes read back through our calls with the
// packets, positions and key flags ffprobe sees; files that we write read
// by ffprobe/ffmpeg with the streams, header values and packets we put in.
#include <gtest/gtest.h>

#include <filesystem>

#include "peer_probe.h"
#include "vfw/riff/avi_reader.h"
#include "vfw/riff/avi_writer.h"

using namespace avitest;

namespace {

struct Case {
    const char* name;
    const char* args;
};

const Case kCases[] = {
    {"raw_pcm", "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le"},
    {"mjpeg_pcm", "-c:v mjpeg -pix_fmt yuvj420p -q:v 5 -c:a pcm_s16le -ac 2"},
    {"mpeg4_mp3", "-c:v mpeg4 -g 6 -bf 2 -c:a libmp3lame -b:a 64k"},
    {"rgb555_pcm8", "-c:v rawvideo -pix_fmt rgb555le -c:a pcm_u8"},
};

std::string make_with_ffmpeg(const TempDir& dir, const Case& c) {
    std::string path = dir.file(std::string(c.name) + ".avi");
    std::string cmd =
        "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=25 -f lavfi -i sine=r=22050 -t 2 " +
        std::string(c.args) + " '" + path + "'";
    int status = 0;
    run(cmd, &status);
    EXPECT_EQ(status, 0) << cmd;
    return path;
}

// Copies one stream into a new single-stream file the way the program
// does: sample by sample, key flags from the source, buffer grown on demand.
void copy_stream(const std::string& from, LONG index, const std::string& to) {
    PAVIFILE src = nullptr, dst = nullptr;
    ASSERT_EQ(AVIFileOpenA(&src, from.c_str(), 0, nullptr), AVIERR_OK);
    PAVISTREAM in = nullptr, out = nullptr;
    ASSERT_EQ(AVIFileGetStream(src, &in, 0, index), AVIERR_OK);
    AVISTREAMINFOA info{};
    ASSERT_EQ(AVIStreamInfoA(in, &info, sizeof info), AVIERR_OK);
    LONG fsize = 0;
    ASSERT_EQ(AVIStreamReadFormat(in, 0, nullptr, &fsize), AVIERR_OK);
    Bytes format(static_cast<std::size_t>(fsize));
    ASSERT_EQ(AVIStreamReadFormat(in, 0, format.data(), &fsize), AVIERR_OK);
    ASSERT_EQ(AVIFileOpenA(&dst, to.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileCreateStreamA(dst, &out, &info), AVIERR_OK);
    ASSERT_EQ(AVIStreamSetFormat(out, 0, format.data(), fsize), AVIERR_OK);
    Bytes buffer;
    for (LONG pos = 0;;) {
        LONG want = info.dwSampleSize ? AVISTREAMREAD_CONVENIENT : 1;
        LONG bytes = 0, samples = 0;
        HRESULT hr =
            AVIStreamRead(in, pos, want, buffer.data(), LONG(buffer.size()), &bytes, &samples);
        if (bytes > LONG(buffer.size())) {
            buffer.resize(std::size_t(bytes));
            hr = AVIStreamRead(in, pos, want, buffer.data(), LONG(buffer.size()), &bytes, &samples);
        }
        if (hr != AVIERR_OK) break;
        DWORD key = AVIStreamFindSample(in, pos, FIND_KEY | FIND_PREV) == pos ? AVIIF_KEYFRAME : 0;
        EXPECT_EQ(AVIStreamWrite(out, pos, samples, buffer.data(), bytes, key, nullptr, nullptr),
                  AVIERR_OK);
        pos += samples;
    }
    AVIStreamRelease(out);
    AVIFileRelease(dst);
    AVIStreamRelease(in);
    AVIFileRelease(src);
}

}  // namespace

// ffmpeg runs slowly on a loaded machine: each source file is made once.
class PeerFiles : public ::testing::TestWithParam<Case> {
  protected:
    static void SetUpTestSuite() { dir_ = new TempDir(); }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string source(const Case& c) {
        std::string path = dir_->file(std::string(c.name) + ".avi");
        if (!std::filesystem::exists(path)) make_with_ffmpeg(*dir_, c);
        return path;
    }
    static TempDir* dir_;
};
TempDir* PeerFiles::dir_ = nullptr;

TEST_P(PeerFiles, FfmpegFilesReadWithTheSamePackets) {
    std::string path = source(GetParam());
    auto theirs = probe_packets(path);
    auto ours = our_packets(path);
    ASSERT_EQ(theirs.size(), 2u);
    ASSERT_EQ(ours.size(), 2u);
    for (int s = 0; s < 2; ++s) {
        ASSERT_GT(theirs[s].size(), 10u);
        EXPECT_EQ(ours[s], theirs[s]) << GetParam().name << " stream " << s;
    }
}

TEST_P(PeerFiles, OurCopiesReadByFfmpegWithTheSamePackets) {
    TempDir dir;
    std::string path = source(GetParam());
    for (int s = 0; s < 2; ++s) {
        std::string out = dir.file("copy" + std::to_string(s) + ".avi");
        copy_stream(path, s, out);
        auto original = frame_hashes(path, s);
        ASSERT_FALSE(original.empty());
        EXPECT_EQ(frame_hashes(out, 0), original) << GetParam().name << " stream " << s;
        auto a = probe_stream(path, s), b = probe_stream(out, 0);
        for (const char* key : {"codec_name", "codec_tag_string", "width", "height", "r_frame_rate",
                                "nb_frames", "sample_rate", "channels", "bits_per_sample"})
            EXPECT_EQ(b[key], a[key]) << GetParam().name << " stream " << s << " " << key;
        // And our reader agrees with ffprobe on what we wrote.
        auto theirs = probe_packets(out);
        EXPECT_EQ(our_packets(out)[0], theirs[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Avi, PeerFiles, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PeerOpenDml, OurOpenDmlPartsReadByFfmpeg) {
    TempDir dir;
    std::string src = make_with_ffmpeg(dir, kCases[2]);
    std::unique_ptr<vfw::riff::AviReader> r;
    ASSERT_EQ(vfw::riff::AviReader::open(src, r), vfw::riff::Error::None);

    // Rewrite both streams with a tiny part limit so the file has many AVIX parts.
    vfw::riff::WriterOptions opt;
    opt.part_limit = 8 * 1024;
    std::string out = dir.file("odml.avi");
    std::unique_ptr<vfw::riff::AviWriter> w;
    ASSERT_EQ(vfw::riff::AviWriter::create(out, w, opt), vfw::riff::Error::None);
    for (const auto& s : r->streams()) {
        int index = 0;
        ASSERT_EQ(w->add_stream(s.header, index), vfw::riff::Error::None);
        ASSERT_EQ(w->set_format(index, s.format.data(), s.format.size()), vfw::riff::Error::None);
    }
    std::size_t next[2] = {0, 0};
    Bytes data;
    // Interleave as the source does: whichever stream's next chunk comes first in the file.
    for (;;) {
        int pick = -1;
        for (int s = 0; s < 2; ++s) {
            const auto& idx = r->streams()[std::size_t(s)].index;
            if (next[s] < idx.size() &&
                (pick < 0 ||
                 idx[next[s]].offset < r->streams()[std::size_t(pick)].index[next[pick]].offset))
                pick = s;
        }
        if (pick < 0) break;
        const auto& e = r->streams()[std::size_t(pick)].index[next[pick]++];
        data.resize(e.size);
        ASSERT_EQ(r->read_chunk(e, data.data()), vfw::riff::Error::None);
        ASSERT_EQ(w->write_sample(pick, data.data(), e.size, e.key != 0), vfw::riff::Error::None);
    }
    ASSERT_EQ(w->finish(), vfw::riff::Error::None);
    EXPECT_GT(w->part_count(), 3u);

    for (int s = 0; s < 2; ++s)
        EXPECT_EQ(frame_hashes(out, s), frame_hashes(src, s)) << "stream " << s;
    auto theirs = probe_packets(out);
    auto ours = our_packets(out);
    EXPECT_EQ(ours, theirs);
    auto a = probe_stream(src, 0), b = probe_stream(out, 0);
    EXPECT_EQ(b["nb_frames"], a["nb_frames"]);
    EXPECT_EQ(b["width"], a["width"]);
}
