// Fixed-size reads over many small chunks, which are gathered into few
// system calls: odd chunk sizes with their pad byte, a tail too short for a
// sample, chunks without a whole sample, other streams' chunks between, and
// a file cut short after it was opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include "hand_made.h"
#include "vfw.h"

using namespace avitest;

namespace {

struct AudioFile {
    std::string path;
    Bytes samples;  // every whole sample's bytes, in stream order
};

// 16-bit mono in 300 chunks of 6, 7, 2, 1 and 10 bytes, with a video
// frame after every 100.
AudioFile many_chunks(const TempDir& dir) {
    const std::size_t sizes[] = {6, 7, 2, 1, 10};
    AudioFile out;
    std::vector<HandChunk> chunks;
    std::uint8_t next = 0;
    for (int i = 0; i < 300; ++i) {
        Bytes data;
        for (std::size_t n = 0; n < sizes[i % 5]; ++n) data.push_back(next++);
        out.samples.insert(out.samples.end(), data.begin(), data.begin() + data.size() / 2 * 2);
        chunks.push_back({1, "wb", data, true});
        if (i % 100 == 99) chunks.push_back({0, "db", Bytes(24, 0x55), true});
    }
    vfw::riff::MainHeader m{};
    m.streams = 2;
    m.flags = 0x10;
    HandStream v{video_header(3), bitmap_info(4, 2, 24), ""};
    HandStream a{audio_header(std::uint32_t(out.samples.size() / 2), 2, 8000),
                 wave_format(1, 8000, 16), ""};
    out.path = dir.file("many.avi");
    write_file(out.path, build_avi(m, {v, a}, chunks));
    return out;
}

}  // namespace

TEST(GatheredRead, RunsOfSmallChunksReadAsTheyLie) {
    TempDir dir;
    AudioFile f = many_chunks(dir);
    PAVIFILE file = nullptr;
    PAVISTREAM audio = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, f.path.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &audio, streamtypeAUDIO, 0), AVIERR_OK);
    const LONG total = LONG(f.samples.size() / 2);
    ASSERT_EQ(AVIStreamLength(audio), total);

    struct Window {
        LONG start, count;
    };
    // The whole stream, windows starting and ending inside chunks, and one
    // crossing a video frame.
    for (Window w :
         {Window{0, total}, Window{1, 5}, Window{3, 200}, Window{140, 40}, Window{total - 7, 7}}) {
        SCOPED_TRACE(testing::Message() << "start " << w.start << " count " << w.count);
        Bytes buf(std::size_t(w.count) * 2 + 1, 0xEE);
        LONG bytes = 0, samples = 0;
        ASSERT_EQ(
            AVIStreamRead(audio, w.start, w.count, buf.data(), LONG(buf.size()), &bytes, &samples),
            AVIERR_OK);
        EXPECT_EQ(samples, w.count);
        EXPECT_EQ(bytes, w.count * 2);
        Bytes want(f.samples.begin() + w.start * 2, f.samples.begin() + (w.start + w.count) * 2);
        want.push_back(0xEE);  // nothing past the samples read
        EXPECT_EQ(buf, want);
    }

    // Cut short after opening, half-way through the audio: the gathered read fails.
    LONG middle = AVIStreamFindSample(audio, total / 2, FIND_ANY | FIND_OFFSET);
    ASSERT_GT(middle, 0);
    ASSERT_EQ(truncate(f.path.c_str(), off_t(middle)), 0);
    Bytes buf(std::size_t(total) * 2);
    LONG bytes = 0, samples = 0;
    EXPECT_EQ(AVIStreamRead(audio, 0, total, buf.data(), LONG(buf.size()), &bytes, &samples),
              AVIERR_FILEREAD);
    EXPECT_EQ(AVIStreamRead(audio, 0, total / 4, buf.data(), LONG(buf.size()), &bytes, &samples),
              AVIERR_OK);
    AVIStreamRelease(audio);
    AVIFileRelease(file);
}
