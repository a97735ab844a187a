// Writing through the AVIFile calls: new files and streams, appends only at
// the end, empty samples, key flags, lengths as they grow, and the two copy
// loops the program runs (a video copy and an overlapping audio copy).
#include <gtest/gtest.h>

#include <filesystem>

#include "hand_made.h"
#include "vfw.h"

using namespace avitest;

namespace {

AVISTREAMINFOA video_info(LONG w, LONG h) {
    AVISTREAMINFOA si{};
    si.fccType = streamtypeVIDEO;
    si.fccHandler = cc("DIB ");
    si.dwScale = 1;
    si.dwRate = 25;
    si.dwLength = 4;  // ignored: a new stream starts empty
    si.dwQuality = 0xFFFFFFFFu;
    si.rcFrame = {0, 0, w, h};
    return si;
}

AVISTREAMINFOA audio_info(DWORD align, DWORD rate) {
    AVISTREAMINFOA si{};
    si.fccType = streamtypeAUDIO;
    si.dwScale = align;
    si.dwRate = rate * align;
    si.dwSampleSize = align;
    return si;
}

struct NewFile {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    NewFile(const std::string& path, AVISTREAMINFOA si, const Bytes& format) {
        EXPECT_EQ(AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
        EXPECT_EQ(AVIFileCreateStreamA(file, &stream, &si), AVIERR_OK);
        EXPECT_EQ(AVIStreamSetFormat(stream, 0, const_cast<std::uint8_t*>(format.data()),
                                     LONG(format.size())),
                  AVIERR_OK);
    }
    void close() {
        if (stream) AVIStreamRelease(stream);
        if (file) AVIFileRelease(file);
        stream = nullptr;
        file = nullptr;
    }
    ~NewFile() { close(); }
};

PAVISTREAM first_stream(PAVIFILE f) {
    PAVISTREAM s = nullptr;
    EXPECT_EQ(AVIFileGetStream(f, &s, 0, 0), AVIERR_OK);
    return s;
}

}  // namespace

TEST(AviWrite, CreateStreamNeedsAWritableFile) {
    TempDir dir;
    write_file(dir.file("r.avi"), build_avi({}, {{video_header(1), bitmap_info(2, 2, 24), ""}},
                                            {{0, "db", Bytes(16, 1), true}}));
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("r.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    AVISTREAMINFOA si = video_info(2, 2);
    PAVISTREAM s = reinterpret_cast<PAVISTREAM>(1);
    EXPECT_EQ(AVIFileCreateStreamA(f, &s, &si), AVIERR_READONLY);
    EXPECT_EQ(s, nullptr);
    PAVISTREAM existing = first_stream(f);
    std::uint8_t byte = 0;
    EXPECT_EQ(AVIStreamWrite(existing, 1, 1, &byte, 1, 0, nullptr, nullptr), AVIERR_READONLY);
    AVIStreamRelease(existing);
    AVIFileRelease(f);

    EXPECT_EQ(AVIFileOpenA(&f, dir.file("no/such/dir.avi").c_str(), OF_WRITE | OF_CREATE, nullptr),
              AVIERR_FILEOPEN);
    EXPECT_EQ(f, nullptr);
}

TEST(AviWrite, LengthsAndBufferSizesGrowWithAppends) {
    TempDir dir;
    NewFile out(dir.file("a.avi"), audio_info(4, 11025), wave_format(2, 11025, 16));
    AVISTREAMINFOA si{};
    ASSERT_EQ(AVIStreamInfoA(out.stream, &si, sizeof si), AVIERR_OK);
    EXPECT_EQ(si.dwLength, 0u);
    EXPECT_EQ(si.dwSuggestedBufferSize, 0u);
    Bytes data(16, 5);
    const LONG starts[] = {0, 2, 4}, counts[] = {2, 2, 4};
    const DWORD lengths[] = {2, 4, 8}, buffers[] = {8, 8, 16};
    for (int i = 0; i < 3; ++i) {
        LONG written = 0, bytes = 0;
        ASSERT_EQ(AVIStreamWrite(out.stream, starts[i], counts[i], data.data(), counts[i] * 4,
                                 AVIIF_KEYFRAME, &written, &bytes),
                  AVIERR_OK);
        EXPECT_EQ(written, counts[i]);
        EXPECT_EQ(bytes, counts[i] * 4);
        ASSERT_EQ(AVIStreamInfoA(out.stream, &si, sizeof si), AVIERR_OK);
        EXPECT_EQ(si.dwLength, lengths[i]);
        EXPECT_EQ(si.dwSuggestedBufferSize, buffers[i]);
    }
    AVIFILEINFOA fi{};
    ASSERT_EQ(AVIFileInfoA(out.file, &fi, sizeof fi), AVIERR_OK);
    EXPECT_EQ(fi.dwStreams, 1u);
    EXPECT_EQ(fi.dwSuggestedBufferSize, 16u);
}

TEST(AviWrite, WritesAwayFromTheEndStoreNothing) {
    TempDir dir;
    {
        NewFile out(dir.file("v.avi"), video_info(2, 2), bitmap_info(2, 2, 24));
        Bytes frame(16, 1);
        ASSERT_EQ(
            AVIStreamWrite(out.stream, 0, 1, frame.data(), 16, AVIIF_KEYFRAME, nullptr, nullptr),
            AVIERR_OK);
        Bytes other(16, 2);
        LONG written = -1, bytes = -1;
        EXPECT_NE(AVIStreamWrite(out.stream, 0, 1, other.data(), 16, 0, &written, &bytes),
                  AVIERR_OK);
        EXPECT_EQ(written, 0);
        EXPECT_EQ(bytes, 0);
        EXPECT_NE(AVIStreamWrite(out.stream, 5, 1, other.data(), 16, 0, nullptr, nullptr),
                  AVIERR_OK);
        EXPECT_EQ(AVIStreamLength(out.stream), 1);
        ASSERT_EQ(AVIStreamWrite(out.stream, 1, 1, frame.data(), 16, 0, nullptr, nullptr),
                  AVIERR_OK);
        ASSERT_EQ(AVIStreamWrite(out.stream, -1, 1, frame.data(), 16, 0, nullptr, nullptr),
                  AVIERR_OK);
    }
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("v.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM s = first_stream(f);
    EXPECT_EQ(AVIStreamLength(s), 3);
    Bytes got(16);
    LONG bytes = 0;
    for (LONG i = 0; i < 3; ++i) {
        ASSERT_EQ(AVIStreamRead(s, i, 1, got.data(), 16, &bytes, nullptr), AVIERR_OK);
        EXPECT_EQ(got, Bytes(16, 1)) << i;  // the refused sample never landed
    }
    AVIStreamRelease(s);
    AVIFileRelease(f);
}

TEST(AviWrite, FormatFirstAndFixedAfterData) {
    TempDir dir;
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("f.avi").c_str(), OF_CREATE, nullptr), AVIERR_OK);
    AVISTREAMINFOA si = video_info(2, 2);
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileCreateStreamA(f, &s, &si), AVIERR_OK);
    Bytes frame(16, 1);
    EXPECT_NE(AVIStreamWrite(s, 0, 1, frame.data(), 16, 0, nullptr, nullptr), AVIERR_OK);
    Bytes format = bitmap_info(2, 2, 24);
    ASSERT_EQ(AVIStreamSetFormat(s, 0, format.data(), 40), AVIERR_OK);
    ASSERT_EQ(AVIStreamWrite(s, 0, 1, frame.data(), 16, AVIIF_KEYFRAME, nullptr, nullptr),
              AVIERR_OK);
    EXPECT_EQ(AVIStreamSetFormat(s, 0, format.data(), 40),
              AVIERR_OK);  // the same again is harmless
    Bytes other = bitmap_info(4, 4, 24);
    EXPECT_NE(AVIStreamSetFormat(s, 0, other.data(), 40), AVIERR_OK);
    PAVISTREAM late = nullptr;
    EXPECT_NE(AVIFileCreateStreamA(f, &late, &si), AVIERR_OK);
    AVIStreamRelease(s);
    AVIFileRelease(f);
    EXPECT_TRUE(std::filesystem::exists(dir.file("f.avi")));
}

TEST(AviWrite, EmptySamplesAndKeyFlagsSurviveTheRoundTrip) {
    TempDir dir;
    Bytes a(12, 0), b(12, 0);
    for (int i = 0; i < 12; ++i) {
        a[std::size_t(i)] = std::uint8_t(i);
        b[std::size_t(i)] = std::uint8_t(100 + i);
    }
    {
        NewFile out(dir.file("e.avi"), video_info(2, 2), bitmap_info(2, 2, 16));
        ASSERT_EQ(AVIStreamWrite(out.stream, 0, 1, a.data(), 8, AVIIF_KEYFRAME, nullptr, nullptr),
                  AVIERR_OK);
        ASSERT_EQ(AVIStreamWrite(out.stream, 1, 1, nullptr, 0, 0, nullptr, nullptr), AVIERR_OK);
        ASSERT_EQ(AVIStreamWrite(out.stream, 2, 1, b.data(), 8, 0, nullptr, nullptr), AVIERR_OK);
        ASSERT_EQ(AVIStreamWrite(out.stream, 3, 1, a.data(), 8, AVIIF_KEYFRAME, nullptr, nullptr),
                  AVIERR_OK);
    }
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("e.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM s = first_stream(f);
    ASSERT_EQ(AVIStreamLength(s), 4);
    LONG bytes = -1, samples = -1;
    ASSERT_EQ(AVIStreamRead(s, 1, 1, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 0);
    EXPECT_EQ(samples, 1);
    EXPECT_EQ(AVIStreamFindSample(s, 2, FIND_KEY | FIND_PREV), 0);
    EXPECT_EQ(AVIStreamFindSample(s, 3, FIND_KEY | FIND_PREV), 3);
    // The empty sample repeats the frame before it.
    PGETFRAME g = AVIStreamGetFrameOpen(s, nullptr);
    ASSERT_NE(g, nullptr);
    auto* f0 = static_cast<std::uint8_t*>(AVIStreamGetFrame(g, 0));
    ASSERT_NE(f0, nullptr);
    Bytes first(f0 + 40, f0 + 48);
    auto* f1 = static_cast<std::uint8_t*>(AVIStreamGetFrame(g, 1));
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(Bytes(f1 + 40, f1 + 48), first);
    auto* f2 = static_cast<std::uint8_t*>(AVIStreamGetFrame(g, 2));
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(Bytes(f2 + 40, f2 + 48), Bytes(b.begin(), b.begin() + 8));
    AVIStreamGetFrameClose(g);
    AVIStreamRelease(s);
    AVIFileRelease(f);
}

TEST(AviWrite, ProgramCopyLoopsReproduceTheStreams) {
    TempDir dir;
    vfw::riff::MainHeader m{};
    m.micro_sec_per_frame = 40000;
    m.streams = 2;
    HandStream v{video_header(5), bitmap_info(2, 2, 24), ""};
    v.header.start = 10;
    HandStream au{audio_header(10, 2, 8000), wave_format(1, 8000, 16), ""};
    std::vector<HandChunk> chunks;
    for (int i = 0; i < 5; ++i) {
        Bytes frame(10 + std::size_t(i), std::uint8_t(i));  // grows so the buffer must grow
        chunks.push_back({0, "dc", frame, i % 2 == 0});
        chunks.push_back(
            {1, "wb", Bytes{std::uint8_t(2 * i), 0, std::uint8_t(2 * i + 1), 0}, true});
    }
    write_file(dir.file("src.avi"), build_avi(m, {v, au}, chunks));
    PAVIFILE src = nullptr;
    ASSERT_EQ(AVIFileOpenA(&src, dir.file("src.avi").c_str(), 0, nullptr), AVIERR_OK);
    PAVISTREAM sv = nullptr, sa = nullptr;
    ASSERT_EQ(AVIFileGetStream(src, &sv, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(src, &sa, streamtypeAUDIO, 0), AVIERR_OK);
    AVISTREAMINFOA vi{};
    ASSERT_EQ(AVIStreamInfoA(sv, &vi, sizeof vi), AVIERR_OK);

    // Video: read from 0 with a buffer that grows to what a read reports.
    {
        NewFile out(dir.file("v.avi"), vi, bitmap_info(2, 2, 24));
        Bytes buffer;
        HRESULT hr = AVIERR_OK;
        for (LONG pos = 0; hr == AVIERR_OK; ++pos) {
            LONG bytes = 0, samples = 0;
            hr = AVIStreamRead(sv, pos, 1, buffer.empty() ? nullptr : buffer.data(),
                               LONG(buffer.size()), &bytes, &samples);
            if (bytes > LONG(buffer.size())) {
                buffer.resize(std::size_t(bytes));
                hr =
                    AVIStreamRead(sv, pos, 1, buffer.data(), LONG(buffer.size()), &bytes, &samples);
            }
            if (bytes > 0) {
                DWORD key =
                    AVIStreamFindSample(sv, pos, FIND_KEY | FIND_PREV) == pos ? AVIIF_KEYFRAME : 0;
                AVIStreamWrite(out.stream, pos, 1, buffer.data(), bytes, key, nullptr, nullptr);
            }
        }
    }
    // Audio: overlapping reads of samplesPerFrame at every position; only
    // the writes at the stream's end are stored.
    {
        AVISTREAMINFOA ai{};
        ASSERT_EQ(AVIStreamInfoA(sa, &ai, sizeof ai), AVIERR_OK);
        NewFile out(dir.file("a.avi"), ai, wave_format(1, 8000, 16));
        const LONG per_frame = 10 / 5;
        Bytes buffer;
        HRESULT hr = AVIERR_OK;
        for (LONG pos = 0; hr == AVIERR_OK; ++pos) {
            LONG bytes = 0, samples = 0;
            hr = AVIStreamRead(sa, pos, per_frame, buffer.empty() ? nullptr : buffer.data(),
                               LONG(buffer.size()), &bytes, &samples);
            if (bytes > LONG(buffer.size())) {
                buffer.resize(std::size_t(bytes));
                hr = AVIStreamRead(sa, pos, per_frame, buffer.data(), LONG(buffer.size()), &bytes,
                                   &samples);
            }
            if (bytes > 0)
                AVIStreamWrite(out.stream, pos, per_frame, buffer.data(), bytes, AVIIF_KEYFRAME,
                               nullptr, nullptr);
        }
    }
    AVIStreamRelease(sv);
    AVIStreamRelease(sa);
    AVIFileRelease(src);

    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpenA(&f, dir.file("v.avi").c_str(), 0, nullptr), AVIERR_OK);
    PAVISTREAM s = first_stream(f);
    EXPECT_EQ(AVIStreamStart(s), 10);
    ASSERT_EQ(AVIStreamLength(s), 5);
    for (LONG i = 0; i < 5; ++i) {
        Bytes got(32);
        LONG bytes = 0;
        ASSERT_EQ(AVIStreamRead(s, i, 1, got.data(), 32, &bytes, nullptr), AVIERR_OK);
        EXPECT_EQ(Bytes(got.begin(), got.begin() + bytes), chunks[std::size_t(2 * i)].data);
        EXPECT_EQ(AVIStreamIsKeyFrame(s, i), i % 2 == 0) << i;
    }
    AVIStreamRelease(s);
    AVIFileRelease(f);

    ASSERT_EQ(AVIFileOpenA(&f, dir.file("a.avi").c_str(), 0, nullptr), AVIERR_OK);
    s = first_stream(f);
    ASSERT_EQ(AVIStreamLength(s), 10);
    Bytes all(20);
    LONG bytes = 0;
    ASSERT_EQ(AVIStreamRead(s, 0, 10, all.data(), 20, &bytes, nullptr), AVIERR_OK);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(all[std::size_t(2 * i)], i);
    AVIStreamRelease(s);
    AVIFileRelease(f);
}
