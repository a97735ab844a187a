// The Video and Audio buttons: a stream copied sample for sample into a new
// file with the headers the copy builds, and every way it can fail.
#include <sys/stat.h>

#include "export_fixture.h"

using namespace export_test;
using win::dialogs::IconKind;

namespace {

// A source written sample by sample through the layer.
struct Source {
    std::vector<std::vector<std::uint8_t>> video;  // an empty sample is a dropped frame
    std::vector<bool> keys;
    DWORD start = 0;
    std::vector<std::uint8_t> video_extra;  // format bytes after the 40-byte head
    std::vector<std::uint8_t> audio_format;
    AVISTREAMINFOA audio_info{};
    std::vector<std::vector<std::uint8_t>> audio;  // chunks
};

constexpr int kW = 8, kH = 4;
constexpr size_t kFrameBytes = kW * 3 * kH;

std::vector<std::uint8_t> frame_bytes(int i, size_t size = kFrameBytes) {
    std::vector<std::uint8_t> out(size);
    for (size_t k = 0; k < size; ++k) out[k] = std::uint8_t(i * 7 + int(k));
    return out;
}

void write_source(const std::string& path, const Source& s) {
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr), 0);
    PAVISTREAM video = nullptr, audio = nullptr;
    if (!s.video.empty()) {
        AVISTREAMINFOA si{};
        si.fccType = streamtypeVIDEO;
        si.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
        si.dwScale = 1;
        si.dwRate = 25;
        si.dwStart = s.start;
        si.dwSampleSize = kFrameBytes;  // the copy writes 0 whatever this says
        si.rcFrame = {0, 0, kW, kH};
        ASSERT_EQ(AVIFileCreateStreamA(file, &video, &si), 0);
        std::vector<std::uint8_t> format(40);
        BITMAPINFOHEADER bi{sizeof bi, kW, kH, 1, 24, BI_RGB, DWORD(kFrameBytes), 0, 0, 0, 0};
        std::memcpy(format.data(), &bi, sizeof bi);
        format.insert(format.end(), s.video_extra.begin(), s.video_extra.end());
        ASSERT_EQ(AVIStreamSetFormat(video, 0, format.data(), LONG(format.size())), 0);
    }
    if (!s.audio.empty()) {
        AVISTREAMINFOA si = s.audio_info;
        si.fccType = streamtypeAUDIO;
        ASSERT_EQ(AVIFileCreateStreamA(file, &audio, &si), 0);
        ASSERT_EQ(AVIStreamSetFormat(audio, 0, const_cast<std::uint8_t*>(s.audio_format.data()),
                                     LONG(s.audio_format.size())),
                  0);
    }
    for (size_t i = 0; i < s.video.size(); ++i) {
        bool key = s.keys.empty() || s.keys[i];
        ASSERT_EQ(
            AVIStreamWrite(video, -1, 1, const_cast<std::uint8_t*>(s.video[i].data()),
                           LONG(s.video[i].size()), key ? AVIIF_KEYFRAME : 0, nullptr, nullptr),
            0);
    }
    for (const auto& chunk : s.audio) {
        DWORD n = s.audio_info.dwSampleSize ? DWORD(chunk.size()) / s.audio_info.dwSampleSize : 1;
        ASSERT_EQ(AVIStreamWrite(audio, -1, LONG(n), const_cast<std::uint8_t*>(chunk.data()),
                                 LONG(chunk.size()), AVIIF_KEYFRAME, nullptr, nullptr),
                  0);
    }
    if (video) AVIStreamRelease(video);
    if (audio) AVIStreamRelease(audio);
    ASSERT_EQ(AVIFileRelease(file), 0u);
}

// 16-bit mono PCM at 8000 Hz as the format and header give it.
void pcm(Source& s, bool short_format = false) {
    WAVEFORMATEX wf = kMonoPcm8k;
    s.audio_format.assign(reinterpret_cast<std::uint8_t*>(&wf),
                          reinterpret_cast<std::uint8_t*>(&wf) + (short_format ? 16 : 18));
    s.audio_info.dwScale = 2;
    s.audio_info.dwRate = 16000;
    s.audio_info.dwSampleSize = 2;
}

// What a copy holds, read back through the layer.
struct Copy {
    AVISTREAMINFOA info{};
    std::vector<std::uint8_t> format;
    std::vector<std::vector<std::uint8_t>> samples;  // one per read of one sample (video) or chunk
    std::vector<bool> keys;
    int streams = 0;
};

Copy read_copy(const std::string& path, DWORD type) {
    Copy c;
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), 0, nullptr) != 0) return c;
    AVIFILEINFOA fi{};
    AVIFileInfoA(file, &fi, sizeof fi);
    c.streams = int(fi.dwStreams);
    PAVISTREAM s = nullptr;
    if (AVIFileGetStream(file, &s, type, 0) == 0) {
        AVIStreamInfoA(s, &c.info, sizeof c.info);
        LONG size = 0;
        AVIStreamReadFormat(s, 0, nullptr, &size);
        c.format.resize(size_t(size));
        AVIStreamReadFormat(s, 0, c.format.data(), &size);
        for (LONG pos = 0; pos < AVIStreamLength(s);) {
            LONG bytes = 0, samples = 0;
            AVIStreamRead(s, pos, AVISTREAMREAD_CONVENIENT, nullptr, 0, &bytes, &samples);
            std::vector<std::uint8_t> b(static_cast<size_t>(bytes));
            if (AVIStreamRead(s, pos, AVISTREAMREAD_CONVENIENT, b.data(), bytes, &bytes,
                              &samples) != 0 ||
                samples <= 0)
                break;
            c.samples.push_back(b);
            c.keys.push_back(AVIStreamFindSample(s, pos, FIND_KEY | FIND_PREV) == pos);
            pos += samples;
        }
        AVIStreamRelease(s);
    }
    AVIFileRelease(file);
    return c;
}

class ExportCopy : public ProgramTest {
  protected:
    void TearDown() override {
        watch_bar(nullptr, nullptr);
        ProgramTest::TearDown();
    }
    // Runs one copy with the button; the bar is watched from the open on.
    Session copy(const std::string& source, int button, const std::string& target,
                 Step before = nullptr) {
        Session r;
        export_through(r, source, button, target, [this, before](CKorvaneDlg& d) {
            watch_bar(d.m_hWnd, &bar);
            if (before) before(d);
        });
        r.steps.push_back([this](CKorvaneDlg& d) {
            bar_at_end = int(SendDlgItemMessageA(d.m_hWnd, 1004, PBM_GETPOS, 0, 0));
        });
        run(r);
        return r;
    }
    BarSpy bar;
    int bar_at_end = -1;
};

TEST_F(ExportCopy, AHundredVideoSamplesKeepTheirBytesAndKeyFlags) {
    Source s;
    for (int i = 0; i < 100; ++i) {
        s.video.push_back(frame_bytes(i, i == 0 ? kFrameBytes : size_t(1 + (i * 37) % 300)));
        s.keys.push_back(i % 10 == 0);
    }
    write_source(path("a.avi"), s);
    Session r = copy(path("a.avi"), 1010, path("v.avi"));
    ASSERT_EQ(texts(r), std::vector<std::string>{"Video Extracted !"});
    EXPECT_EQ(r.boxes[0].caption, "Korvane");
    EXPECT_EQ(r.boxes[0].icon, IconKind::Information);
    Copy c = read_copy(path("v.avi"), streamtypeVIDEO);
    EXPECT_EQ(c.streams, 1);
    ASSERT_EQ(c.samples.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(c.samples[size_t(i)], s.video[size_t(i)]) << i;
        EXPECT_EQ(c.keys[size_t(i)], s.keys[size_t(i)]) << i;
    }
    EXPECT_EQ(bar.steps, 100);
    EXPECT_EQ(bar.range_high, 100);
    EXPECT_EQ(bar_at_end, 0);
}

TEST_F(ExportCopy, TheNewVideoHeaderAndTheWholeFormat) {
    Source s;
    s.start = 10;
    s.video_extra = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // codec bytes after the head
    for (int i = 0; i < 5; ++i) s.video.push_back(frame_bytes(i));
    write_source(path("a.avi"), s);
    Session r = copy(path("a.avi"), 1010, path("v.avi"));
    ASSERT_EQ(texts(r), std::vector<std::string>{"Video Extracted !"});
    Copy c = read_copy(path("v.avi"), streamtypeVIDEO);
    EXPECT_EQ(c.samples.size(), 5u) << "a stream starting at 10 is copied whole";
    EXPECT_EQ(c.info.dwStart, 10u);
    EXPECT_EQ(c.info.dwSampleSize, 0u);
    EXPECT_EQ(c.info.rcFrame.left, 0);
    EXPECT_EQ(c.info.rcFrame.top, 0);
    EXPECT_EQ(c.info.rcFrame.right, kW);
    EXPECT_EQ(c.info.rcFrame.bottom, kH);
    EXPECT_EQ(c.info.dwRate, 25u);
    EXPECT_EQ(c.info.dwScale, 1u);
    EXPECT_EQ(std::string(c.info.szName), "");
    ASSERT_EQ(c.format.size(), 52u);
    EXPECT_TRUE(std::equal(s.video_extra.begin(), s.video_extra.end(), c.format.begin() + 40));
}

TEST_F(ExportCopy, DroppedFramesAndGrowingSamplesKeepEveryFrameInItsPlace) {
    Source s;
    // Sizes that grow the buffer, shrink below it, and drop frames.
    const size_t sizes[] = {kFrameBytes, 0, 5, 4000, 0, 17, 9000, 3, 0, kFrameBytes};
    for (size_t i = 0; i < std::size(sizes); ++i) s.video.push_back(frame_bytes(int(i), sizes[i]));
    write_source(path("a.avi"), s);
    Session r = copy(path("a.avi"), 1010, path("v.avi"));
    ASSERT_EQ(texts(r), std::vector<std::string>{"Video Extracted !"});
    Copy c = read_copy(path("v.avi"), streamtypeVIDEO);
    ASSERT_EQ(c.samples.size(), std::size(sizes));
    for (size_t i = 0; i < std::size(sizes); ++i) EXPECT_EQ(c.samples[i], s.video[i]) << i;
}

TEST_F(ExportCopy, AudioOfAHundredSamplesInAFileOfLengthFourIsFourBlocks) {
    Source s;
    for (int i = 0; i < 4; ++i) s.video.push_back(frame_bytes(i));
    pcm(s);
    for (int i = 0; i < 10; ++i) s.audio.push_back(std::vector<std::uint8_t>(20, std::uint8_t(i)));
    write_source(path("a.avi"), s);
    DWORD file_length = 0;
    Session r = copy(path("a.avi"), 1011, path("a2.avi"),
                     [&](CKorvaneDlg& d) { file_length = d.state.fileInfo.dwLength; });
    ASSERT_EQ(file_length, 4u);
    ASSERT_EQ(texts(r), std::vector<std::string>{"Audio Extracted !"});
    Copy c = read_copy(path("a2.avi"), streamtypeAUDIO);
    EXPECT_EQ(c.streams, 1);
    ASSERT_EQ(c.samples.size(), 4u);
    std::vector<std::uint8_t> all, copied;
    for (const auto& chunk : s.audio) all.insert(all.end(), chunk.begin(), chunk.end());
    for (const auto& chunk : c.samples) {
        EXPECT_EQ(chunk.size(), 50u) << "25 samples of 2 bytes";
        copied.insert(copied.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(copied, all);
    EXPECT_EQ(bar.steps, 4);
    EXPECT_EQ(bar.range_high, 4);
    EXPECT_EQ(bar_at_end, 0);
    EXPECT_EQ(c.info.dwRate, 16000u) << "from the format's byte rate";
    EXPECT_EQ(c.info.dwScale, 2u) << "from the format's block";
    EXPECT_EQ(c.info.dwSampleSize, 2u);
    EXPECT_EQ(c.info.rcFrame.right, 0);
    EXPECT_EQ(std::string(c.info.szName), "");
    EXPECT_EQ(c.format.size(), 18u);
}

TEST_F(ExportCopy, AudioShorterThanTheFileCopiesInBlocksOfASecondAndShortFormatsStayShort) {
    Source s;
    // 20 audio samples in a file 30 frames long: 0 samples per frame.
    for (int i = 0; i < 30; ++i) s.video.push_back(frame_bytes(i));
    pcm(s, true);
    s.audio.push_back(std::vector<std::uint8_t>(40, 9));
    write_source(path("a.avi"), s);
    DWORD file_length = 0;
    Session r = copy(path("a.avi"), 1011, path("a2.avi"),
                     [&](CKorvaneDlg& d) { file_length = d.state.fileInfo.dwLength; });
    ASSERT_EQ(file_length, 30u);
    ASSERT_EQ(texts(r), std::vector<std::string>{"Audio Extracted !"});
    Copy c = read_copy(path("a2.avi"), streamtypeAUDIO);
    EXPECT_EQ(c.samples, s.audio) << "one block of at most a second";
    EXPECT_EQ(bar.steps, 1);
    EXPECT_EQ(c.format.size(), 16u) << "a 16-byte PCM format stays 16 bytes";

    // Without video the same second-long blocks: 12500 samples in two.
    Source only;
    pcm(only);
    for (int i = 0; i < 25; ++i)
        only.audio.push_back(std::vector<std::uint8_t>(1000, std::uint8_t(i)));
    write_source(path("b.avi"), only);
    r = copy(path("b.avi"), 1011, path("b2.avi"));
    ASSERT_EQ(texts(r), std::vector<std::string>{"Audio Extracted !"});
    c = read_copy(path("b2.avi"), streamtypeAUDIO);
    size_t total = 0;
    for (const auto& chunk : c.samples) total += chunk.size();
    EXPECT_EQ(total, 25000u);
}

TEST_F(ExportCopy, VariableSizeAudioKeepsItsChunksAndItsSourceRates) {
    Source s;
    for (int i = 0; i < 3; ++i) s.video.push_back(frame_bytes(i));
    // An MPEG audio stream as muxers write it: one frame per sample, and a
    // format whose block and byte rate say nothing of the stream's speed.
    WAVEFORMATEX mp3{0x0055, 2, 44100, 16000, 1, 0, 12};
    s.audio_format.assign(reinterpret_cast<std::uint8_t*>(&mp3),
                          reinterpret_cast<std::uint8_t*>(&mp3) + 18);
    const std::uint8_t extra[12] = {1,    0, 2, 0, 0,    0,
                                    0xA2, 1, 1, 0, 0x71, 5};  // id, flags, block, frames, delay
    s.audio_format.insert(s.audio_format.end(), std::begin(extra), std::end(extra));
    s.audio_info.dwScale = 1152;
    s.audio_info.dwRate = 44100;
    s.audio_info.dwSampleSize = 0;
    for (int i = 0; i < 40; ++i)
        s.audio.push_back(std::vector<std::uint8_t>(size_t(400 + i * 3), std::uint8_t(i)));
    write_source(path("a.avi"), s);
    Session r = copy(path("a.avi"), 1011, path("a2.avi"));
    ASSERT_EQ(texts(r), std::vector<std::string>{"Audio Extracted !"});
    Copy c = read_copy(path("a2.avi"), streamtypeAUDIO);
    EXPECT_EQ(c.samples, s.audio) << "every chunk as it was";
    EXPECT_EQ(c.info.dwScale, 1152u);
    EXPECT_EQ(c.info.dwRate, 44100u);
    EXPECT_EQ(c.info.dwSampleSize, 0u);
    EXPECT_EQ(c.format, s.audio_format) << "the cbSize extra bytes too";
}

TEST_F(ExportCopy, ASourceCutShortAfterItWasOpenedSaysErrorReadingAndLeavesNoFile) {
    Source s;
    for (int i = 0; i < 200; ++i) s.video.push_back(frame_bytes(i));
    pcm(s);
    for (int i = 0; i < 50; ++i) s.audio.push_back(std::vector<std::uint8_t>(400, std::uint8_t(i)));
    write_source(path("a.avi"), s);
    for (int button : {1010, 1011}) {
        Session r = copy(path("a.avi"), button, path("cut.avi"), [this](CKorvaneDlg&) {
            std::filesystem::copy_file(path("a.avi"), path("keep.avi"),
                                       std::filesystem::copy_options::overwrite_existing);
            std::filesystem::resize_file(path("a.avi"),
                                         std::filesystem::file_size(path("a.avi")) / 3);
        });
        std::filesystem::rename(path("keep.avi"), path("a.avi"));
        EXPECT_EQ(texts(r), std::vector<std::string>{"Error Reading AVI Stream."}) << button;
        ASSERT_FALSE(r.boxes.empty());
        EXPECT_EQ(r.boxes[0].icon, IconKind::Stop);
        EXPECT_FALSE(std::filesystem::exists(path("cut.avi"))) << button;
    }
}

TEST_F(ExportCopy, AFullDiskSaysErrorWritingAndKeepsTheFileThatWasThere) {
    Source s;
    for (int i = 0; i < 100; ++i) s.video.push_back(frame_bytes(i, 9000));
    s.video[0] = frame_bytes(0);
    write_source(path("a.avi"), s);
    SmallDisk disk(path("disk"), 1 << 20);
    if (!disk.ok()) GTEST_SKIP() << "needs the rights to mount a small file system";
    std::vector<std::uint8_t> old(3000, 0x42);
    write_bytes(path("disk/v.avi"), old);
    disk.fill_leaving(200 * 1024);
    Session r = copy(path("a.avi"), 1010, path("disk/v.avi"));
    ASSERT_EQ(r.boxes.size(), 2u);
    EXPECT_EQ(r.boxes[1].text, "Error Writing AVI File.");
    EXPECT_EQ(r.boxes[1].caption, "Error");
    EXPECT_EQ(read_bytes(path("disk/v.avi")), old);
    EXPECT_EQ(listing(path("disk")), (std::vector<std::string>{"filler", "v.avi"}));
}

TEST_F(ExportCopy, AFolderThatCannotBeWrittenSaysErrorCreatingAviFile) {
    Source s;
    for (int i = 0; i < 3; ++i) s.video.push_back(frame_bytes(i));
    write_source(path("a.avi"), s);
    SmallDisk ro(path("ro"), 1 << 20, true);
    if (!ro.ok()) GTEST_SKIP() << "needs the rights to mount a small file system";
    Session r = copy(path("a.avi"), 1010, path("ro/v.avi"));
    EXPECT_EQ(texts(r), std::vector<std::string>{"Error Creating AVI File."});
    EXPECT_TRUE(bar.positions.empty() && bar.steps == 0) << "the bar is not touched";
    EXPECT_TRUE(listing(path("ro")).empty());
}

}  // namespace
