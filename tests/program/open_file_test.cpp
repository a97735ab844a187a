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
