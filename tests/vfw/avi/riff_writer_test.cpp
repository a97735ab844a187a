// The container writer read back by our reader: headers patched on
// completion, padding, empty chunks, key flags, the switch to OpenDML, and
// failures that must leave no file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "avi_test_util.h"
#include "vfw/riff/avi_reader.h"
#include "vfw/riff/avi_writer.h"

using namespace avitest;
using vfw::riff::AviReader;
using vfw::riff::AviWriter;
using vfw::riff::Error;
using vfw::riff::IndexSource;
using vfw::riff::StreamHeader;

namespace {

StreamHeader video(std::uint16_t w, std::uint16_t h) {
    StreamHeader s{};
    s.type = cc("vids");
    s.handler = cc("DIB ");
    s.scale = 1;
    s.rate = 25;
    s.quality = 0xFFFFFFFFu;
    s.frame_right = std::int16_t(w);
    s.frame_bottom = std::int16_t(h);
    return s;
}

StreamHeader audio() {
    StreamHeader s{};
    s.type = cc("auds");
    s.scale = 2;
    s.rate = 16000;
    s.sample_size = 2;
    return s;
}

Bytes pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(seed + i * 7);
    return b;
}

std::size_t files_in(const std::string& dir) {
    std::size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) n += e.is_regular_file();
    return n;
}

}  // namespace

TEST(RiffWriter, RoundTripThroughReader) {
    TempDir dir;
    std::unique_ptr<AviWriter> w;
    ASSERT_EQ(AviWriter::create(dir.file("out.avi"), w), Error::None);
    int v = -1, a = -1;
    ASSERT_EQ(w->add_stream(video(4, 2), v), Error::None);
    ASSERT_EQ(w->add_stream(audio(), a), Error::None);
    ASSERT_EQ(w->set_format(v, bitmap_info(4, 2, 24).data(), 40), Error::None);
    Bytes wf = wave_format(1, 8000, 16);
    ASSERT_EQ(w->set_format(a, wf.data(), wf.size()), Error::None);
    ASSERT_EQ(w->set_name(v, "clip"), Error::None);
    ASSERT_EQ(w->set_chunk_type(v, 0x6264), Error::None);  // 'db'

    std::vector<Bytes> frames = {pattern(24, 1), pattern(0, 0), pattern(24, 3), pattern(23, 4)};
    std::vector<bool> keys = {true, false, false, true};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(w->write_sample(v, frames[i].data(), std::uint32_t(frames[i].size()), keys[i]),
                  Error::None);
        Bytes pcm = pattern(6 + 2 * i, std::uint8_t(50 + i));
        ASSERT_EQ(w->write_sample(a, pcm.data(), std::uint32_t(pcm.size()), true), Error::None);
    }
    EXPECT_EQ(w->add_stream(video(1, 1), v), Error::Unsupported);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.avi")));  // only complete files appear
    ASSERT_EQ(w->finish(), Error::None);
    w.reset();
    EXPECT_EQ(files_in(dir.path()), 1u);

    std::unique_ptr<AviReader> r;
    ASSERT_EQ(AviReader::open(dir.file("out.avi"), r), Error::None);
    EXPECT_EQ(r->index_source(), IndexSource::Legacy);
    EXPECT_EQ(r->main_header().streams, 2u);
    EXPECT_EQ(r->main_header().total_frames, 4u);
    EXPECT_EQ(r->main_header().width, 4u);
    EXPECT_EQ(r->main_header().micro_sec_per_frame, 40000u);
    const auto& vs = r->streams()[0];
    EXPECT_EQ(vs.header.length, 4u);
    EXPECT_EQ(vs.header.suggested_buffer_size, 24u);
    EXPECT_EQ(vs.name, "clip");
    ASSERT_EQ(vs.index.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(vs.index[i].size, frames[i].size());
        EXPECT_EQ(vs.index[i].key != 0, keys[i]) << i;
        Bytes got(vs.index[i].size);
        ASSERT_EQ(r->read_chunk(vs.index[i], got.data()), Error::None);
        EXPECT_EQ(got, frames[i]);
    }
    const auto& as = r->streams()[1];
    EXPECT_EQ(as.header.length, (6 + 8 + 10 + 12) / 2u);
    EXPECT_EQ(as.format, wf);
}

TEST(RiffWriter, SwitchesToOpenDmlPastThePartLimit) {
    TempDir dir;
    vfw::riff::WriterOptions opt;
    opt.part_limit = 16 * 1024;
    std::unique_ptr<AviWriter> w;
    ASSERT_EQ(AviWriter::create(dir.file("odml.avi"), w, opt), Error::None);
    int v = -1, a = -1;
    ASSERT_EQ(w->add_stream(video(8, 8), v), Error::None);
    ASSERT_EQ(w->add_stream(audio(), a), Error::None);
    ASSERT_EQ(w->set_format(v, bitmap_info(8, 8, 24).data(), 40), Error::None);
    Bytes wf = wave_format(1, 8000, 16);
    ASSERT_EQ(w->set_format(a, wf.data(), wf.size()), Error::None);
    std::vector<Bytes> frames;
    for (int i = 0; i < 60; ++i) {
        frames.push_back(pattern(192 + std::size_t(i % 5), std::uint8_t(i)));
        ASSERT_EQ(w->write_sample(v, frames.back().data(), std::uint32_t(frames.back().size()),
                                  i % 10 == 0),
                  Error::None);
        Bytes pcm = pattern(320, std::uint8_t(i));
        ASSERT_EQ(w->write_sample(a, pcm.data(), 320, true), Error::None);
    }
    ASSERT_EQ(w->finish(), Error::None);
    EXPECT_GT(w->part_count(), 1u);

    std::unique_ptr<AviReader> r;
    ASSERT_EQ(AviReader::open(dir.file("odml.avi"), r), Error::None);
    EXPECT_EQ(r->index_source(), IndexSource::OpenDml);
    EXPECT_EQ(r->grand_frames(), 60u);
    EXPECT_LT(r->main_header().total_frames, 60u);  // the first part only
    const auto& vs = r->streams()[0];
    EXPECT_EQ(vs.header.length, 60u);
    ASSERT_EQ(vs.index.size(), 60u);
    for (std::size_t i = 0; i < 60; ++i) {
        EXPECT_EQ(vs.index[i].key != 0, i % 10 == 0) << i;
        Bytes got(vs.index[i].size);
        ASSERT_EQ(r->read_chunk(vs.index[i], got.data()), Error::None);
        EXPECT_EQ(got, frames[i]) << i;
    }
    EXPECT_EQ(r->streams()[1].index.size(), 60u);
}

TEST(RiffWriter, FailuresLeaveNoFile) {
    TempDir dir;
    std::unique_ptr<AviWriter> w;
    EXPECT_EQ(AviWriter::create(dir.file("missing/out.avi"), w), Error::FileOpen);

    // Abandoned before completion.
    ASSERT_EQ(AviWriter::create(dir.file("gone.avi"), w), Error::None);
    int v = -1;
    ASSERT_EQ(w->add_stream(video(2, 2), v), Error::None);
    ASSERT_EQ(w->set_format(v, bitmap_info(2, 2, 24).data(), 40), Error::None);
    Bytes frame = pattern(16, 1);
    ASSERT_EQ(w->write_sample(v, frame.data(), 16, true), Error::None);
    w.reset();
    EXPECT_EQ(files_in(dir.path()), 0u);

    // A full disk, made with a file size limit.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto old_handler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 256 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    vfw::riff::WriterOptions opt;
    opt.buffer_bytes = 4096;
    ASSERT_EQ(AviWriter::create(dir.file("full.avi"), w, opt), Error::None);
    ASSERT_EQ(w->add_stream(video(64, 64), v), Error::None);
    ASSERT_EQ(w->set_format(v, bitmap_info(64, 64, 24).data(), 40), Error::None);
    Bytes big = pattern(64 * 64 * 3, 2);
    Error last = Error::None;
    for (int i = 0; i < 40 && last == Error::None; ++i)
        last = w->write_sample(v, big.data(), std::uint32_t(big.size()), true);
    Error done = w->finish();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, old_handler);
    EXPECT_EQ(last, Error::FileWrite);
    EXPECT_EQ(done, Error::FileWrite);
    w.reset();
    EXPECT_EQ(files_in(dir.path()), 0u);
}
