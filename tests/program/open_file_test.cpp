// Opening and closing files through the Open button and the file dialog:
// which controls each kind of file turns on, what is released when, and the
// message of each way an open can fail.
#include <algorithm>
#include <map>

#include "program_fixture.h"

using namespace program_test;
using win::dialogs::IconKind;

namespace {

class OpenFile : public ProgramTest {};

struct Handles {
    PAVIFILE file = nullptr;
    PAVISTREAM video = nullptr, audio = nullptr;
    PGETFRAME get_frame = nullptr;
};
Handles handles_of(CKorvaneDlg& d) {
    return {d.state.aviFile, d.state.videoStream, d.state.audioStream, d.state.getFrame};
}

std::map<int, bool> controls(HWND dlg) {
    std::map<int, bool> out;
    for (int id : kFileControls) out[id] = enabled(dlg, id);
    out[1012] = enabled(dlg, 1012);
    return out;
}

std::map<int, bool> expected(std::initializer_list<int> on) {
    std::map<int, bool> out;
    for (int id : kFileControls) out[id] = std::find(on.begin(), on.end(), id) != on.end();
    out[1012] = true;
    return out;
}

TEST_F(OpenFile, AudioOnlyFileEnablesExactlyAudioAndSaveAndSaysNoVideoOnVideoCommands) {
    ASSERT_TRUE(
        ffmpeg("-f lavfi -i sine=frequency=440:duration=0.5 -c:a pcm_s16le " + path("sine.avi")));
    Session r;
    r.file_answers = {path("sine.avi")};
    std::map<int, bool> after_open;
    Handles held;
    int is_open = -1, audio_open = -1;
    size_t boxes_after_open = 99;
    std::uint32_t centre_after_open = 1;
    bool file_alive_after_close = true, audio_alive_after_close = true;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            after_open = controls(d.m_hWnd);
            held = handles_of(d);
            is_open = d.state.isOpen;
            audio_open = d.state.audioOpen;
            boxes_after_open = r.boxes.size();
            InvalidateRect(d.m_hWnd, nullptr, TRUE);
            UpdateWindow(d.m_hWnd);
            centre_after_open = view_centre(d);
            command(d.m_hWnd, 32776);
            command(d.m_hWnd, 32781);
            command(d.m_hWnd, 32775);
        },
        [](CKorvaneDlg& d) { command(d.m_hWnd, 57602); },
        [&](CKorvaneDlg&) {
            file_alive_after_close = file_alive(held.file);
            audio_alive_after_close = stream_alive(held.audio);
        },
    };
    run(r);
    EXPECT_EQ(boxes_after_open, 0u) << "an audio-only file opens without a message";
    EXPECT_EQ(after_open, expected({1011, 1013}));
    EXPECT_EQ(is_open, 0);
    EXPECT_EQ(audio_open, 1);
    EXPECT_EQ(centre_after_open, 0u) << "nothing is drawn";
    EXPECT_EQ(held.video, nullptr);
    ASSERT_NE(held.audio, nullptr);
    ASSERT_EQ(r.boxes.size(), 3u);
    for (const auto& box : r.boxes) {
        EXPECT_EQ(box.text, "No Video Stream Available !");
        EXPECT_EQ(box.caption, "Korvane");
        EXPECT_EQ(box.icon, IconKind::Information);
    }
    EXPECT_FALSE(audio_alive_after_close);
    EXPECT_FALSE(file_alive_after_close);
}

TEST_F(OpenFile, VideoOnlyFileLeavesAudioOffAndSaysNoAudioOnAudioCommands) {
    write_avi(path("video.avi"), {});
    Session r;
    r.file_answers = {path("video.avi")};
    std::map<int, bool> after_open;
    BITMAPINFOHEADER requested{};
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            after_open = controls(d.m_hWnd);
            requested = *d.state.frameFormat.head();
            command(d.m_hWnd, 32777);
            command(d.m_hWnd, 32782);
        },
    };
    run(r);
    EXPECT_EQ(after_open, expected({1000, 1001, 1005, 1006, 1007, 1008, 1009, 1010, 1013, 1003}));
    EXPECT_EQ(requested.biSize, 40u);
    EXPECT_EQ(requested.biWidth, 64);
    EXPECT_EQ(requested.biHeight, 48);
    EXPECT_EQ(requested.biBitCount, 24);
    EXPECT_EQ(requested.biCompression, DWORD(BI_RGB));
    EXPECT_EQ(requested.biSizeImage, 3u * 64u * 48u + 55u);
    ASSERT_EQ(r.boxes.size(), 2u);
    for (const auto& box : r.boxes) {
        EXPECT_EQ(box.text, "No Audio Stream Available !");
        EXPECT_EQ(box.caption, "Korvane");
        EXPECT_EQ(box.icon, IconKind::Information);
    }
}

TEST_F(OpenFile, CancellingTheFileDialogKeepsTheCurrentFile) {
    write_avi(path("a.avi"), {.audio = true});
    Session r;
    r.file_answers = {path("a.avi"), ""};
    Handles before, after;
    std::map<int, bool> controls_after;
    std::uint32_t centre_after = 0;
    bool still_alive = false;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            before = handles_of(d);
            click(d.m_hWnd, 1012);
        },
        [&](CKorvaneDlg& d) {
            after = handles_of(d);
            still_alive = file_alive(after.file) && get_frame_alive(after.get_frame);
            controls_after = controls(d.m_hWnd);
            InvalidateRect(d.m_hWnd, nullptr, TRUE);
            UpdateWindow(d.m_hWnd);
            centre_after = view_centre(d);
        },
    };
    run(r);
    EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "file"), 2);
    ASSERT_NE(before.file, nullptr);
    EXPECT_EQ(after.file, before.file);
    EXPECT_EQ(after.get_frame, before.get_frame);
    EXPECT_TRUE(still_alive);
    EXPECT_EQ(controls_after,
              expected(std::initializer_list<int>{1000, 1001, 1005, 1006, 1007, 1008, 1009, 1010,
                                                  1011, 1013, 1003}));
    EXPECT_EQ(centre_after, colour_of(0)) << "the file's frame is still shown";
    EXPECT_TRUE(r.boxes.empty());
}

TEST_F(OpenFile, ASecondOpenReleasesTheFirstFileEvenWhenItFails) {
    write_avi(path("a.avi"), {.audio = true});
    write_bytes(path("junk.avi"), std::vector<std::uint8_t>(300, 0x5A));
    Session r;
    r.file_answers = {path("a.avi"), path("junk.avi")};
    Handles first, second;
    std::map<int, bool> controls_after;
    bool alive[4] = {true, true, true, true};
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            first = handles_of(d);
            click(d.m_hWnd, 1012);
        },
        [&](CKorvaneDlg& d) {
            second = handles_of(d);
            controls_after = controls(d.m_hWnd);
            alive[0] = file_alive(first.file);
            alive[1] = stream_alive(first.video);
            alive[2] = stream_alive(first.audio);
            alive[3] = get_frame_alive(first.get_frame);
        },
    };
    run(r);
    ASSERT_NE(first.file, nullptr);
    ASSERT_NE(first.audio, nullptr);
    for (bool a : alive) EXPECT_FALSE(a);
    EXPECT_EQ(second.file, nullptr);
    EXPECT_EQ(controls_after, expected({}));
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text, "Error Opening AVI File.");
}

TEST_F(OpenFile, CloseTwiceReleasesNothingTheSecondTime) {
    write_avi(path("a.avi"), {.audio = true});
    Session r;
    r.file_answers = {path("a.avi"), path("a.avi")};
    Handles held, menu_held;
    ULONG left[3] = {99, 99, 99}, menu_left[3] = {99, 99, 99};
    std::map<int, bool> controls_after;
    int thumb_after = -1;
    // The test keeps references of its own: the program's releases must
    // leave exactly these, however often it closes.
    auto keep = [](const Handles& h) {
        AVIFileAddRef(h.file);
        AVIStreamAddRef(h.video);
        AVIStreamAddRef(h.audio);
    };
    auto drop = [](const Handles& h, ULONG* out) {
        out[0] = AVIStreamRelease(h.video);
        out[1] = AVIStreamRelease(h.audio);
        out[2] = AVIFileRelease(h.file);
    };
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            held = handles_of(d);
            keep(held);
            d.CloseAviFile();
            d.CloseAviFile();
            drop(held, left);
            d.ResetAviHandles();
            click(d.m_hWnd, 1012);
        },
        [&](CKorvaneDlg& d) {
            menu_held = handles_of(d);
            keep(menu_held);
            click(d.m_hWnd, 1008);
            command(d.m_hWnd, 57602);
        },
        [](CKorvaneDlg& d) { command(d.m_hWnd, 57602); },
        [&](CKorvaneDlg& d) {
            controls_after = controls(d.m_hWnd);
            thumb_after = position(d.m_hWnd);
            drop(menu_held, menu_left);
        },
    };
    run(r);
    ASSERT_NE(held.file, nullptr);
    ASSERT_NE(menu_held.file, nullptr);
    for (ULONG n : left) EXPECT_EQ(n, 0u);
    for (ULONG n : menu_left) EXPECT_EQ(n, 0u);
    EXPECT_EQ(controls_after, expected({}));
    EXPECT_EQ(thumb_after, 0);
    EXPECT_TRUE(r.boxes.empty());
}

// One failing open through the dialog; returns what the run saw.
struct FailedOpen {
    std::vector<win::dialogs::MessageBoxInfo> boxes;
    std::map<int, bool> controls;
    int is_open = -1, audio_open = -1;
    std::vector<bool> opened_alive;  // every file the open got, after it
    std::uint32_t centre = 1;        // the view's centre after a repaint
};

class OpenMessages : public ProgramTest {
  protected:
    FailedOpen open(const std::string& file) {
        Session r;
        r.file_answers = {file};
        FailedOpen out;
        r.steps = {
            [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
            [&](CKorvaneDlg& d) {
                out.controls = controls(d.m_hWnd);
                out.is_open = d.state.isOpen;
                out.audio_open = d.state.audioOpen;
                for (PAVIFILE f : probe().opened) out.opened_alive.push_back(file_alive(f));
                InvalidateRect(d.m_hWnd, nullptr, TRUE);
                UpdateWindow(d.m_hWnd);
                out.centre = view_centre(d);
                d.CloseAviFile();
                d.ResetAviHandles();
            },
        };
        run(r);
        out.boxes = r.boxes;
        for (const auto& box : out.boxes) {
            EXPECT_EQ(box.caption, "Error");
            EXPECT_EQ(box.icon, IconKind::Stop);
        }
        return out;
    }
    static std::vector<std::string> texts(const FailedOpen& f) {
        std::vector<std::string> out;
        for (const auto& b : f.boxes) out.push_back(b.text);
        return out;
    }
    using V = std::vector<std::string>;
};

TEST_F(OpenMessages, FilesTheLayerCannotReadSayErrorOpening) {
    write_avi(path("good.avi"), {.frames = 30});
    std::vector<std::uint8_t> good = read_bytes(path("good.avi"));
    ASSERT_GT(good.size(), 400u);
    write_bytes(path("empty.avi"), {});
    write_bytes(path("garbage.avi"), std::vector<std::uint8_t>(4096, 0xC3));
    write_bytes(path("head.avi"), std::vector<std::uint8_t>(good.begin(), good.begin() + 100));
    std::vector<std::uint8_t> wave = good;
    std::copy_n("WAVE", 4, wave.begin() + 8);
    write_bytes(path("wave.avi"), wave);
    for (const char* name : {"empty.avi", "garbage.avi", "head.avi", "wave.avi", "missing.avi"}) {
        FailedOpen f = open(path(name));
        EXPECT_EQ(texts(f), V{"Error Opening AVI File."}) << name;
        EXPECT_EQ(f.controls, expected({})) << name;
        EXPECT_TRUE(f.opened_alive.empty()) << name;
        probe().opened.clear();
    }
}

TEST_F(OpenMessages, BrokenTailsAndSizesEndInAMessageOrAnOpenNeverACrash) {
    write_avi(path("good.avi"), {.frames = 30, .audio = true});
    std::vector<std::uint8_t> good = read_bytes(path("good.avi"));
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    files.push_back({"half.avi", {good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2)}});
    files.push_back({"noindex.avi", {good.begin(), good.end() - 64}});
    std::vector<std::uint8_t> huge = good;
    for (size_t i = 12; i + 8 < huge.size() && i < 400; ++i)
        if (std::equal(huge.begin() + std::ptrdiff_t(i), huge.begin() + std::ptrdiff_t(i) + 4,
                       "strf")) {
            std::fill_n(huge.begin() + std::ptrdiff_t(i) + 4, 4, 0xFF);
            break;
        }
    files.push_back({"hugeformat.avi", huge});
    const V known = {"Error Opening AVI File.",        "Error Getting Stream.",
                     "Error Getting File Information", "Error Getting Video Stream Information",
                     "Error Getting Frame Open",       "Error Getting Audio Stream Information"};
    for (const auto& [name, bytes] : files) {
        write_bytes(path(name), bytes);
        FailedOpen f = open(path(name));
        for (const std::string& t : texts(f))
            EXPECT_NE(std::find(known.begin(), known.end(), t), known.end()) << name << ": " << t;
        EXPECT_LE(f.boxes.size(), 2u) << name;
        // Whatever opened is consistent with the controls shown.
        EXPECT_EQ(f.controls[1005], f.is_open == 1) << name;
        EXPECT_EQ(f.controls[1011], f.audio_open == 1) << name;
        probe().opened.clear();
    }
}

TEST_F(OpenMessages, AFileWithNeitherStreamSaysErrorGettingStreamAndReleasesTheFile) {
    write_avi(path("text.avi"), {.video = false, .other_stream = streamtypeTEXT});
    FailedOpen f = open(path("text.avi"));
    EXPECT_EQ(texts(f), V{"Error Getting Stream."});
    EXPECT_EQ(f.controls, expected({}));
    ASSERT_EQ(f.opened_alive.size(), 1u);
    EXPECT_FALSE(f.opened_alive[0]) << "a failed open releases the file it had opened";
}

TEST_F(OpenMessages, FailingFileInformationSaysSoAndReleasesTheFile) {
    write_avi(path("a.avi"), {.audio = true});
    probe().fail_file_info = true;
    FailedOpen f = open(path("a.avi"));
    EXPECT_EQ(texts(f), V{"Error Getting File Information"});
    EXPECT_EQ(f.controls, expected({}));
    ASSERT_EQ(f.opened_alive.size(), 1u);
    EXPECT_FALSE(f.opened_alive[0]);
}

TEST_F(OpenMessages, FailingVideoInformationSkipsTheVideoSideOnly) {
    write_avi(path("a.avi"), {.audio = true});
    probe().fail_stream_info = streamtypeVIDEO;
    FailedOpen f = open(path("a.avi"));
    EXPECT_EQ(texts(f), V{"Error Getting Video Stream Information"});
    EXPECT_EQ(f.controls, expected({1011, 1013}));
    EXPECT_EQ(f.is_open, 0);
    EXPECT_EQ(f.audio_open, 1);
}

TEST_F(OpenMessages, AnUnknownCodecSaysErrorGettingFrameOpenAndStillOpensTheAudio) {
    write_avi(path("odd.avi"), {.audio = true, .compression = mmioFOURCC('Q', 'Z', 'Q', 'Z')});
    FailedOpen f = open(path("odd.avi"));
    EXPECT_EQ(texts(f), V{"Error Getting Frame Open"});
    EXPECT_EQ(f.controls, expected({1011, 1013}));
    EXPECT_EQ(f.is_open, 0);
    EXPECT_EQ(f.audio_open, 1);
    ASSERT_EQ(f.opened_alive.size(), 1u);
    EXPECT_TRUE(f.opened_alive[0]) << "the audio side holds the file";
    EXPECT_EQ(f.centre, 0u) << "the view repaints black";
}

TEST_F(OpenMessages, AnUnknownCodecWithoutAudioReleasesWhatTheOpenAcquired) {
    write_avi(path("odd.avi"), {.compression = mmioFOURCC('Q', 'Z', 'Q', 'Z')});
    FailedOpen f = open(path("odd.avi"));
    EXPECT_EQ(texts(f), V{"Error Getting Frame Open"});
    EXPECT_EQ(f.controls, expected({}));
    ASSERT_EQ(f.opened_alive.size(), 1u);
    EXPECT_FALSE(f.opened_alive[0]);
}

TEST_F(OpenMessages, FailingAudioInformationKeepsTheVideoSide) {
    write_avi(path("a.avi"), {.audio = true});
    probe().fail_stream_info = streamtypeAUDIO;
    FailedOpen f = open(path("a.avi"));
    EXPECT_EQ(texts(f), V{"Error Getting Audio Stream Information"});
    EXPECT_EQ(f.controls, expected({1000, 1001, 1005, 1006, 1007, 1008, 1009, 1010, 1013, 1003}));
    EXPECT_EQ(f.is_open, 1);
    EXPECT_EQ(f.audio_open, 0);
    EXPECT_EQ(f.centre, colour_of(0));
}

TEST_F(OpenFile, A12BitI420StreamOpensAndShowsItsFramesIn24Bits) {
    ASSERT_TRUE(ffmpeg(
        "-f lavfi -i testsrc=size=64x48:rate=25 -frames:v 5 -c:v rawvideo -pix_fmt yuv420p " +
        path("i420.avi")));
    // ffmpeg's own decode of the first frame, bottom row first like a DIB.
    ASSERT_TRUE(ffmpeg("-i " + path("i420.avi") +
                       " -frames:v 1 -vf vflip -f rawvideo -pix_fmt bgr24 " + path("frame0.bgr")));
    std::vector<std::uint8_t> peer = read_bytes(path("frame0.bgr"));
    ASSERT_EQ(peer.size(), 64u * 48u * 3u);
    Session r;
    r.file_answers = {path("i420.avi")};
    int bits = 0, is_open = 0, far_off = 0, compared = 0;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            bits = d.state.frameFormat->biBitCount;
            is_open = d.state.isOpen;
            InvalidateRect(d.m_hWnd, nullptr, TRUE);
            UpdateWindow(d.m_hWnd);
            int x0 = d.viewRect.right / 2 - 32, y0 = d.viewRect.bottom / 2 - 24;
            for (int y = 2; y < 48; y += 5)
                for (int x = 2; x < 64; x += 5) {
                    std::uint32_t got = win::automation::pixel(d.m_hWnd, x0 + x, y0 + y);
                    const std::uint8_t* p = &peer[(std::size_t(47 - y) * 64 + std::size_t(x)) * 3];
                    int diff = std::max({std::abs(int(got & 255) - p[0]),
                                         std::abs(int((got >> 8) & 255) - p[1]),
                                         std::abs(int(got >> 16) - p[2])});
                    far_off += diff > 24;
                    ++compared;
                }
        },
    };
    run(r);
    EXPECT_TRUE(r.boxes.empty()) << r.boxes[0].text;
    EXPECT_EQ(is_open, 1);
    EXPECT_EQ(bits, 24);
    ASSERT_GT(compared, 100);
    EXPECT_LE(far_off, compared / 20) << "the view shows the stream's picture";
}

}  // namespace
