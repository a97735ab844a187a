// Broken and hostile files end in an AVIERR_ code or open with what they
// really hold; nothing is read past the data, nothing is trusted blindly.
#include <gtest/gtest.h>

#include "hand_made.h"
#include "vfw.h"

using namespace avitest;

namespace {

vfw::riff::MainHeader main_header() {
    vfw::riff::MainHeader m{};
    m.micro_sec_per_frame = 40000;
    m.streams = 1;
    m.width = 2;
    m.height = 2;
    return m;
}

Bytes one_video(std::vector<HandChunk> chunks = {{0, "db", Bytes(16, 7), true}},
                HandOptions opt = {}) {
    return build_avi(main_header(),
                     {{video_header(std::uint32_t(chunks.size())), bitmap_info(2, 2, 24), ""}},
                     chunks, opt);
}

HRESULT open_bytes(const TempDir& dir, const Bytes& data, PAVIFILE* file) {
    write_file(dir.file("bad.avi"), data);
    *file = reinterpret_cast<PAVIFILE>(1);
    return AVIFileOpenA(file, dir.file("bad.avi").c_str(), OF_READ, nullptr);
}

// Opens, then reads every record and sample; returns the number of samples read.
int read_everything(PAVIFILE file) {
    int read = 0;
    AVIFILEINFOA fi{};
    EXPECT_EQ(AVIFileInfoA(file, &fi, sizeof fi), AVIERR_OK);
    for (LONG i = 0;; ++i) {
        PAVISTREAM s = nullptr;
        if (AVIFileGetStream(file, &s, 0, i) != AVIERR_OK) break;
        AVISTREAMINFOA si{};
        EXPECT_EQ(AVIStreamInfoA(s, &si, sizeof si), AVIERR_OK);
        LONG size = 0;
        EXPECT_EQ(AVIStreamReadFormat(s, 0, nullptr, &size), AVIERR_OK);
        Bytes format(std::size_t(size) + 1);
        EXPECT_EQ(AVIStreamReadFormat(s, 0, format.data(), &size), AVIERR_OK);
        for (LONG pos = 0; pos < AVIStreamLength(s); ++pos) {
            LONG bytes = 0, samples = 0;
            if (AVIStreamRead(s, pos, 1, nullptr, 0, &bytes, &samples) != AVIERR_OK) continue;
            Bytes data(static_cast<std::size_t>(bytes));
            if (AVIStreamRead(s, pos, 1, data.data(), bytes, &bytes, &samples) == AVIERR_OK) ++read;
        }
        if (PGETFRAME g = AVIStreamGetFrameOpen(s, nullptr)) {
            for (LONG pos = 0; pos < AVIStreamLength(s); ++pos) AVIStreamGetFrame(g, pos);
            AVIStreamGetFrameClose(g);
        }
        AVIStreamRelease(s);
    }
    return read;
}

}  // namespace

TEST(AviMalformed, NotAnAviFile) {
    TempDir dir;
    PAVIFILE f = nullptr;
    HandOptions wrong_form;
    wrong_form.form = "AVi ";
    EXPECT_EQ(open_bytes(dir, one_video({{0, "db", Bytes(16, 7), true}}, wrong_form), &f),
              AVIERR_BADFORMAT);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(open_bytes(dir, {}, &f), AVIERR_BADFORMAT);
    EXPECT_EQ(open_bytes(dir, Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I'}, &f),
              AVIERR_BADFORMAT);
    EXPECT_EQ(open_bytes(dir, Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, &f),
              AVIERR_BADFORMAT);
    EXPECT_EQ(AVIFileOpenA(&f, dir.file("missing.avi").c_str(), OF_READ, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(AVIFileOpenA(&f, dir.path().c_str(), OF_READ, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(AVIFileOpenA(nullptr, dir.file("x").c_str(), OF_READ, nullptr), AVIERR_BADPARAM);
}

TEST(AviMalformed, HeaderListPastTheEnd) {
    TempDir dir;
    Bytes file = one_video();
    vfw::riff::store_u32(&file[16], 0x7FFFFFF0);  // the hdrl LIST size
    PAVIFILE f = nullptr;
    EXPECT_EQ(open_bytes(dir, file, &f), AVIERR_BADFORMAT);
    EXPECT_EQ(f, nullptr);
}

TEST(AviMalformed, ChunkSizesPastTheEnd) {
    TempDir dir;
    Bytes file = one_video({{0, "db", Bytes(16, 1), true},
                            {0, "db", Bytes(16, 2), true},
                            {0, "db", Bytes(16, 3), true}});
    // Claim a huge RIFF, cut the file in the middle of the last frame and
    // drop the index: the two whole frames remain.
    vfw::riff::store_u32(&file[4], 0xFFFFFFF0u);
    std::size_t idx = file.size() - 8 - 48;
    file.resize(idx - 10);
    PAVIFILE f = nullptr;
    ASSERT_EQ(open_bytes(dir, file, &f), AVIERR_OK);
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileGetStream(f, &s, streamtypeVIDEO, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(s), 2);
    AVIStreamRelease(s);
    EXPECT_EQ(read_everything(f), 2);
    AVIFileRelease(f);
}

TEST(AviMalformed, IndexEntryLargerThanTheFile) {
    TempDir dir;
    Bytes file = one_video({{0, "db", Bytes(16, 1), true}, {0, "db", Bytes(16, 2), true}});
    vfw::riff::store_u32(&file[file.size() - 4], 0x7FFFFFFF);  // last idx1 entry's size
    PAVIFILE f = nullptr;
    ASSERT_EQ(open_bytes(dir, file, &f), AVIERR_OK);
    EXPECT_EQ(read_everything(f), 2);
    AVIFileRelease(f);
}

TEST(AviMalformed, FormatShorterThanItsExtraSizeClaims) {
    TempDir dir;
    vfw::riff::MainHeader m = main_header();
    Bytes wave = wave_format(1, 8000, 16, 5000);  // cbSize says 5000 more bytes follow; none do
    write_file(dir.file("a.avi"), build_avi(m, {{audio_header(4, 2, 8000), wave, ""}},
                                            {{0, "wb", Bytes(8, 3), true}}));
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("a.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileGetStream(f, &s, streamtypeAUDIO, 0), AVIERR_OK);
    LONG size = 0;
    ASSERT_EQ(AVIStreamReadFormat(s, 0, nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, 18);  // what the file holds, not what cbSize claims
    AVIStreamRelease(s);
    EXPECT_EQ(read_everything(f), 4);
    AVIFileRelease(f);
}

TEST(AviMalformed, AbsurdStreamCountAndZeroRate) {
    TempDir dir;
    vfw::riff::MainHeader m = main_header();
    m.streams = 0xFFFFFFFFu;
    m.micro_sec_per_frame = 0;
    auto h = video_header(1, 0, 0);
    write_file(dir.file("a.avi"),
               build_avi(m, {{h, bitmap_info(2, 2, 24), ""}}, {{0, "db", Bytes(16, 7), true}}));
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("a.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    AVIFILEINFOA fi{};
    ASSERT_EQ(AVIFileInfoA(f, &fi, sizeof fi), AVIERR_OK);
    EXPECT_EQ(fi.dwStreams, 1u);  // the streams found, not the count claimed
    EXPECT_EQ(fi.dwRate, 0u);
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileGetStream(f, &s, streamtypeVIDEO, 0), AVIERR_OK);
    AVISTREAMINFOA si{};
    ASSERT_EQ(AVIStreamInfoA(s, &si, sizeof si), AVIERR_OK);
    EXPECT_EQ(si.dwRate, 0u);
    AVIStreamRelease(s);
    EXPECT_EQ(read_everything(f), 1);
    AVIFileRelease(f);
}

TEST(AviMalformed, TruncatedAtEveryLength) {
    // Every prefix of a valid two-stream file opens cleanly or fails with an
    // error; whatever opens reads back without going past the data.
    TempDir dir;
    std::vector<HandChunk> chunks = {{0, "db", Bytes(16, 1), true},
                                     {1, "wb", Bytes(6, 2), true},
                                     {0, "db", Bytes(16, 3), false}};
    HandOptions opt;
    opt.rec_pairs = true;
    vfw::riff::MainHeader m = main_header();
    Bytes file = build_avi(m,
                           {{video_header(2), bitmap_info(2, 2, 24), "v"},
                            {audio_header(3, 2, 8000), wave_format(1, 8000, 16), ""}},
                           chunks, opt);
    int opened = 0;
    for (std::size_t n = 0; n <= file.size(); ++n) {
        PAVIFILE f = nullptr;
        HRESULT hr = open_bytes(dir, Bytes(file.begin(), file.begin() + std::ptrdiff_t(n)), &f);
        if (hr != AVIERR_OK) {
            EXPECT_EQ(f, nullptr);
            EXPECT_TRUE(hr == AVIERR_BADFORMAT) << n;
            continue;
        }
        ++opened;
        read_everything(f);
        AVIFileRelease(f);
    }
    EXPECT_GT(opened, 0);
}
