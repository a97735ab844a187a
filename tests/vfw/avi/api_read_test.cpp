// Reading through the AVIFile calls: records derived from the headers,
// stream lookup and reference counts, the format and read size protocols,
// fixed-size audio across chunks, and sample search.
#include <gtest/gtest.h>

#include <cstring>

#include "hand_made.h"
#include "vfw.h"

using namespace avitest;

namespace {

// Video: 3 frames of 24 bytes (4x2 at 24 bits), key, delta, key; dwStart 10,
// an empty frame rectangle and a buffer size that no chunk needs.
// Audio: 16-bit mono with a corrupt strh sample size; chunks of 5 and 7 samples.
std::string two_stream_file(const TempDir& dir) {
    vfw::riff::MainHeader m{};
    m.micro_sec_per_frame = 40000;
    m.streams = 2;
    m.width = 4;
    m.height = 2;
    m.flags = 0x10;
    HandStream v{video_header(3), bitmap_info(4, 2, 24), "pictures"};
    v.header.start = 10;
    v.header.suggested_buffer_size = 0x100000;
    v.header.priority = 3;
    v.header.language = 9;
    HandStream a{audio_header(12, 7, 8000), wave_format(1, 8000, 16), ""};
    std::vector<HandChunk> chunks = {
        {0, "db", Bytes(24, 0x11), true},
        {1, "wb", Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, true},
        {0, "db", Bytes(24, 0x22), false},
        {1, "wb", Bytes{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}, true},
        {0, "db", Bytes(24, 0x33), true},
    };
    std::string path = dir.file("two.avi");
    write_file(path, build_avi(m, {v, a}, chunks));
    return path;
}

struct Opened {
    PAVIFILE file = nullptr;
    PAVISTREAM video = nullptr;
    PAVISTREAM audio = nullptr;
    explicit Opened(const std::string& path, bool with_audio = true) {
        EXPECT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
        EXPECT_EQ(AVIFileGetStream(file, &video, streamtypeVIDEO, 0), AVIERR_OK);
        if (with_audio) {
            EXPECT_EQ(AVIFileGetStream(file, &audio, streamtypeAUDIO, 0), AVIERR_OK);
        }
    }
    ~Opened() {
        if (video) AVIStreamRelease(video);
        if (audio) AVIStreamRelease(audio);
        if (file) AVIFileRelease(file);
    }
};

}  // namespace

TEST(AviRead, StreamRecordsFollowTheHeadersAndTheData) {
    TempDir dir;
    Opened f(two_stream_file(dir));
    AVISTREAMINFOA vi{}, ai{};
    ASSERT_EQ(AVIStreamInfoA(f.video, &vi, sizeof vi), AVIERR_OK);
    ASSERT_EQ(AVIStreamInfoA(f.audio, &ai, sizeof ai), AVIERR_OK);
    EXPECT_EQ(vi.fccType, streamtypeVIDEO);
    EXPECT_EQ(vi.fccHandler, cc("DIB "));
    EXPECT_EQ(vi.wPriority, 3);
    EXPECT_EQ(vi.wLanguage, 9);
    EXPECT_EQ(vi.dwStart, 10u);
    EXPECT_EQ(vi.dwLength, 3u);
    EXPECT_EQ(vi.dwQuality, 0xFFFFFFFFu);
    EXPECT_EQ(vi.dwSuggestedBufferSize, 24u);  // the largest chunk, not the header's claim
    EXPECT_EQ(vi.dwSampleSize, 0u);
    EXPECT_EQ(vi.rcFrame.right, 4);  // empty rectangle filled from the main header
    EXPECT_EQ(vi.rcFrame.bottom, 2);
    EXPECT_STREQ(vi.szName, "pictures");
    EXPECT_EQ(ai.dwSampleSize, 2u);  // the block alignment, not the corrupt header value
    EXPECT_EQ(ai.dwLength, 12u);
    EXPECT_EQ(ai.rcFrame.right, 0);
    EXPECT_EQ(AVIStreamStart(f.video), 10);
    EXPECT_EQ(AVIStreamLength(f.video), 3);
    EXPECT_EQ(AVIStreamLength(f.audio), 12);

    AVIFILEINFOA fi{};
    ASSERT_EQ(AVIFileInfoA(f.file, &fi, sizeof fi), AVIERR_OK);
    EXPECT_EQ(fi.dwStreams, 2u);
    EXPECT_EQ(fi.dwWidth, 4u);
    EXPECT_EQ(fi.dwScale, 40000u);
    EXPECT_EQ(fi.dwRate, 1000000u);
    EXPECT_EQ(fi.dwLength, 3u);
    EXPECT_EQ(fi.dwFlags & AVIFILEINFO_HASINDEX, DWORD(AVIFILEINFO_HASINDEX));
    EXPECT_GT(std::strlen(fi.szFileType), 0u);
}

TEST(AviRead, StreamLookupAndReferenceCounts) {
    TempDir dir;
    std::string path = two_stream_file(dir);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_OK);
    PAVISTREAM v = nullptr, a = nullptr, none = reinterpret_cast<PAVISTREAM>(1);
    ASSERT_EQ(AVIFileGetStream(file, &v, streamtypeVIDEO, 0), AVIERR_OK);
    EXPECT_EQ(AVIFileGetStream(file, &none, streamtypeVIDEO, 1), AVIERR_NODATA);
    EXPECT_EQ(none, nullptr);
    ASSERT_EQ(AVIFileGetStream(file, &a, 0, 1), AVIERR_OK);  // any type, second stream
    AVISTREAMINFOA ai{};
    ASSERT_EQ(AVIStreamInfoA(a, &ai, sizeof ai), AVIERR_OK);
    EXPECT_EQ(ai.fccType, streamtypeAUDIO);

    EXPECT_EQ(AVIFileAddRef(file), 4u);  // one for the file, one per open stream
    EXPECT_EQ(AVIFileRelease(file), 3u);
    EXPECT_EQ(AVIStreamRelease(v), 0u);
    EXPECT_EQ(AVIStreamRelease(v), ULONG(-1));  // stale: the file is not touched
    EXPECT_EQ(AVIStreamLength(v), -1);
    AVISTREAMINFOA vi{};
    EXPECT_EQ(AVIStreamInfoA(v, &vi, sizeof vi), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileRelease(file), 1u);
    EXPECT_EQ(AVIStreamRelease(a), 0u);  // the last reference closes the file
    AVIFILEINFOA fi{};
    EXPECT_EQ(AVIFileInfoA(file, &fi, sizeof fi), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileRelease(file), ULONG(-1));
    EXPECT_EQ(AVIStreamLength(reinterpret_cast<PAVISTREAM>(0x1234)), -1);
}

TEST(AviRead, AHandleOfOneKindIsNoHandleOfAnother) {
    TempDir dir;
    std::string path = two_stream_file(dir);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_SHARE_DENY_WRITE, nullptr), AVIERR_OK);
    PAVISTREAM v = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &v, streamtypeVIDEO, 0), AVIERR_OK);
    AVISTREAMINFOA si{};
    AVIFILEINFOA fi{};
    // Files, streams and frame getters share one table type; only the kind tells them apart.
    EXPECT_EQ(AVIStreamInfoA(reinterpret_cast<PAVISTREAM>(file), &si, sizeof si), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileInfoA(reinterpret_cast<PAVIFILE>(v), &fi, sizeof fi), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIStreamGetFrameClose(reinterpret_cast<PGETFRAME>(v)), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIStreamRelease(reinterpret_cast<PAVISTREAM>(file)), ULONG(-1));
    EXPECT_EQ(AVIStreamInfoA(v, &si, sizeof si), AVIERR_OK) << "the refusals harmed nothing";
    EXPECT_EQ(AVIFileInfoA(file, &fi, sizeof fi), AVIERR_OK);
    EXPECT_EQ(AVIStreamRelease(v), 0u);
    EXPECT_EQ(AVIFileRelease(file), 0u);
}

TEST(AviRead, FormatSizeProtocol) {
    TempDir dir;
    vfw::riff::MainHeader m{};
    m.streams = 2;
    Bytes palette_format = concat(
        {bitmap_info(2, 2, 8, 0, 4), Bytes{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}});
    Bytes wave = concat({wave_format(2, 22050, 16, 4), Bytes{0xA, 0xB, 0xC, 0xD}});
    std::vector<HandChunk> chunks = {{0, "db", Bytes(8, 1), true}, {1, "wb", Bytes(8, 2), true}};
    write_file(
        dir.file("f.avi"),
        build_avi(m, {{video_header(1), palette_format, ""}, {audio_header(2, 4, 22050), wave, ""}},
                  chunks));
    Opened f(dir.file("f.avi"));

    LONG size = 0;
    ASSERT_EQ(AVIStreamReadFormat(f.video, 0, nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, 56);
    Bytes got(64, 0xEE);
    LONG room = 20;
    EXPECT_EQ(AVIStreamReadFormat(f.video, 0, got.data(), &room), AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(room, 56);  // the full size comes back for the second call
    EXPECT_EQ(got[20], 0xEE);
    ASSERT_EQ(AVIStreamReadFormat(f.video, 0, got.data(), &room), AVIERR_OK);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 56), palette_format);

    size = 0;
    ASSERT_EQ(AVIStreamReadFormat(f.audio, 0, nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, 22);
    WAVEFORMATEX wf{};
    room = sizeof wf;
    EXPECT_EQ(AVIStreamReadFormat(f.audio, 0, &wf, &room), AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(wf.nChannels, 2);
    EXPECT_EQ(wf.cbSize, 4);
    EXPECT_EQ(AVIStreamReadFormat(f.audio, 0, &wf, nullptr), AVIERR_BADPARAM);
}

TEST(AviRead, ReadBufferProtocolForChunkedSamples) {
    TempDir dir;
    Opened f(two_stream_file(dir));
    LONG bytes = -1, samples = -1;
    ASSERT_EQ(AVIStreamRead(f.video, 1, 1, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 24);
    EXPECT_EQ(samples, 1);
    Bytes buf(23);
    EXPECT_EQ(AVIStreamRead(f.video, 1, 1, buf.data(), 23, &bytes, &samples),
              AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(bytes, 24);
    EXPECT_EQ(samples, 0);
    buf.resize(100);
    ASSERT_EQ(AVIStreamRead(f.video, 1, 5, buf.data(), 100, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 24);
    EXPECT_EQ(samples, 1);  // one chunk per call
    EXPECT_EQ(buf[0], 0x22);
    EXPECT_EQ(buf[23], 0x22);
    EXPECT_EQ(buf[24], 0);
    // Positions count from the first chunk, whatever dwStart says.
    ASSERT_EQ(AVIStreamRead(f.video, 0, 1, buf.data(), 100, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(buf[0], 0x11);
    EXPECT_NE(AVIStreamRead(f.video, 3, 1, buf.data(), 100, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 0);
    EXPECT_EQ(samples, 0);
    EXPECT_NE(AVIStreamRead(f.video, -1, 1, buf.data(), 100, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 0);
}

TEST(AviRead, FixedSizeSamplesAcrossChunks) {
    TempDir dir;
    Opened f(two_stream_file(dir));
    Bytes buf(64, 0xEE);
    LONG bytes = 0, samples = 0;
    // Samples 3..10: the last two of the first chunk and six of the second.
    ASSERT_EQ(AVIStreamRead(f.audio, 3, 8, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 16);
    EXPECT_EQ(samples, 8);
    EXPECT_EQ(AVIStreamRead(f.audio, 3, 8, buf.data(), 15, &bytes, &samples),
              AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(bytes, 16);
    ASSERT_EQ(AVIStreamRead(f.audio, 3, 8, buf.data(), 64, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 17),
              (Bytes{6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0xEE}));
    // A convenient read stops at the end of the chunk.
    ASSERT_EQ(AVIStreamRead(f.audio, 3, AVISTREAMREAD_CONVENIENT, buf.data(), 64, &bytes, &samples),
              AVIERR_OK);
    EXPECT_EQ(samples, 2);
    // A run that passes the end is cut to the samples there are.
    ASSERT_EQ(AVIStreamRead(f.audio, 10, 25, buf.data(), 64, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(samples, 2);
    EXPECT_EQ(bytes, 4);
    EXPECT_EQ(buf[0], 20);
    EXPECT_NE(AVIStreamRead(f.audio, 12, 1, buf.data(), 64, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 0);
}

TEST(AviRead, FindSample) {
    TempDir dir;
    Opened f(two_stream_file(dir));
    EXPECT_EQ(AVIStreamFindSample(f.video, 1, FIND_KEY | FIND_PREV), 0);
    EXPECT_EQ(AVIStreamFindSample(f.video, 2, FIND_KEY | FIND_PREV), 2);
    EXPECT_EQ(AVIStreamFindSample(f.video, 0, FIND_KEY | FIND_PREV), 0);
    EXPECT_EQ(AVIStreamFindSample(f.video, 99, FIND_KEY | FIND_PREV), 2);
    EXPECT_EQ(AVIStreamFindSample(f.video, -1, FIND_KEY | FIND_PREV), -1);
    EXPECT_EQ(AVIStreamFindSample(f.video, 1, FIND_KEY | FIND_NEXT), 2);
    EXPECT_EQ(AVIStreamFindSample(f.video, 3, FIND_KEY | FIND_NEXT), -1);
    EXPECT_EQ(AVIStreamFindSample(f.video, 1, FIND_ANY | FIND_PREV), 1);
    EXPECT_EQ(AVIStreamFindSample(f.video, 2, FIND_KEY | FIND_FROM_START), 0);
    EXPECT_EQ(AVIStreamFindSample(f.video, 1, FIND_ANY | FIND_PREV | FIND_SIZE), 24);
    EXPECT_EQ(AVIStreamFindSample(f.video, 2, FIND_FORMAT | FIND_PREV), 0);
    EXPECT_EQ(AVIStreamNearestKeyFrame(f.video, 1), 0);
    EXPECT_TRUE(AVIStreamIsKeyFrame(f.video, 2));
    EXPECT_FALSE(AVIStreamIsKeyFrame(f.video, 1));
    // Every fixed-size sample starts a key.
    EXPECT_EQ(AVIStreamFindSample(f.audio, 7, FIND_KEY | FIND_PREV), 7);
    EXPECT_EQ(AVIStreamFindSample(f.audio, 12, FIND_KEY | FIND_NEXT), -1);
}

TEST(AviRead, FindSampleOverTwentyThousandEntries) {
    TempDir dir;
    vfw::riff::MainHeader m{};
    m.streams = 1;
    std::vector<HandChunk> chunks;
    for (int i = 0; i < 20000; ++i) chunks.push_back({0, "dc", Bytes{std::uint8_t(i)}, i == 0});
    write_file(dir.file("many.avi"),
               build_avi(m, {{video_header(20000), bitmap_info(1, 1, 8), ""}}, chunks));
    Opened f(dir.file("many.avi"), false);
    // The copy loop asks once per frame; each answer must not walk the stream.
    long long sum = 0;
    for (LONG i = 0; i < 20000; ++i) sum += AVIStreamFindSample(f.video, i, FIND_KEY | FIND_PREV);
    EXPECT_EQ(sum, 0);
    EXPECT_EQ(AVIStreamLength(f.video), 20000);
}
