// The Save button: the Select Stream dialog, the save dialog and the
// compression-options dialog in that order, then the platform's save.
#include "export_fixture.h"

using namespace export_test;
using win::automation::click_center;
using win::automation::window_text;

namespace {

// How the two dialogs of a save are answered and what they showed.
struct Answers {
    bool choose_audio = false;
    bool cancel_compression = false;
    int video_checked = -1;  // the video radio button as Select Stream opened
    std::vector<std::string> seen;
    BarSpy bar;
};

class ExportSave : public ProgramTest {
  protected:
    Session save(const std::string& source, const std::string& target, Answers& a) {
        Session r;
        r.file_answers = {source, target};
        r.own_modal = [&a](HWND h) {
            std::string title = window_text(h);
            if (title == "Select Stream") {
                a.seen.push_back(title);
                a.video_checked = int(SendDlgItemMessageA(h, 1014, BM_GETCHECK, 0, 0));
                if (a.choose_audio) click_center(GetDlgItem(h, 1015));
                click_center(GetDlgItem(h, 1000));
                return true;
            }
            if (title == "Video Compression" || title == "Sound Selection" ||
                title == "Audio Compression") {
                a.seen.push_back(title);
                click_center(GetDlgItem(h, a.cancel_compression ? IDCANCEL : IDOK));
                return true;
            }
            return false;
        };
        r.steps = {[](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
                   [&a](CKorvaneDlg& d) {
                       watch_bar(d.m_hWnd, &a.bar);
                       click(d.m_hWnd, 1013);
                   }};
        run(r);
        watch_bar(nullptr, nullptr);
        return r;
    }
};

TEST_F(ExportSave, SelectStreamOpensWithVideoAndTheVideoIsSaved) {
    write_avi(path("a.avi"), {.frames = 6, .audio = true});
    Answers a;
    Session r = save(path("a.avi"), path("s.avi"), a);
    EXPECT_EQ(a.video_checked, BST_CHECKED);
    EXPECT_EQ(a.seen, (std::vector<std::string>{"Select Stream", "Video Compression"}));
    EXPECT_EQ(texts(r), std::vector<std::string>{"Video Saved !"});
    EXPECT_EQ(a.bar.positions, (std::vector<WPARAM>{5, 0})) << "half-way during the save, then 0";
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path("s.avi").c_str(), 0, nullptr), 0);
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &s, streamtypeVIDEO, 0), 0);
    EXPECT_EQ(AVIStreamLength(s), 6);
    PAVISTREAM none = nullptr;
    EXPECT_NE(AVIFileGetStream(file, &none, streamtypeAUDIO, 0), 0) << "one stream only";
    AVIStreamRelease(s);
    AVIFileRelease(file);
}

TEST_F(ExportSave, AudioChosenInAVideoOnlyFileSaysNoAudioStreamAvailable) {
    write_avi(path("a.avi"), {.frames = 4});
    Answers a;
    a.choose_audio = true;
    Session r = save(path("a.avi"), path("s.avi"), a);
    EXPECT_EQ(a.seen, std::vector<std::string>{"Select Stream"}) << "no compression dialog";
    EXPECT_EQ(texts(r), std::vector<std::string>{"No Audio Stream Available"});
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].caption, "Error");
    EXPECT_FALSE(std::filesystem::exists(path("s.avi")));
}

TEST_F(ExportSave, CancelInTheCompressionDialogWritesNothing) {
    write_avi(path("a.avi"), {.frames = 4});
    Answers a;
    a.cancel_compression = true;
    Session r = save(path("a.avi"), path("s.avi"), a);
    EXPECT_EQ(a.seen, (std::vector<std::string>{"Select Stream", "Video Compression"}));
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_EQ(listing(path("")), std::vector<std::string>{"a.avi"});
}

TEST_F(ExportSave, AFailingSaveSaysErrorSavingAviFile) {
    write_avi(path("a.avi"), {.frames = 4});
    SmallDisk ro(path("ro"), 1 << 20, true);
    if (!ro.ok()) GTEST_SKIP() << "needs the rights to mount a small file system";
    Answers a;
    Session r = save(path("a.avi"), path("ro/s.avi"), a);
    EXPECT_EQ(texts(r), std::vector<std::string>{"Error Saving AVI File."});
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].caption, "Error");
    EXPECT_TRUE(listing(path("ro")).empty());
}

}  // namespace
