// Each way an open can fail, through the Open button and the file dialog:
// its message, the controls left on, and what stays held afterwards.
#include <algorithm>
#include <map>

#include "program_fixture.h"

using namespace program_test;
using win::dialogs::IconKind;

namespace {

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

}  // namespace
