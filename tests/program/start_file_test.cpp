// A file named on the command line: opened once the about box is closed,
// with no file dialog, and failing with the messages the Open dialog's
// choice of the same file gives.
#include <algorithm>

#include "program_fixture.h"

using namespace program_test;

namespace {

class StartFile : public ProgramTest {
  protected:
    // The message texts of an open of `file`, from the command line or through the dialog.
    std::vector<std::string> messages(const std::string& file, bool from_command_line) {
        Session r;
        if (from_command_line)
            r.start_file = file;
        else
            r.file_answers = {file};
        if (!from_command_line) r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
        r.steps.push_back([](CKorvaneDlg& d) {
            d.CloseAviFile();
            d.ResetAviHandles();
        });
        run(r);
        EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "file"), from_command_line ? 0 : 1);
        std::vector<std::string> out;
        for (const auto& b : r.boxes) out.push_back(b.text + "|" + b.caption);
        return out;
    }
};

TEST_F(StartFile, OpensAfterTheAboutBoxWithoutAFileDialog) {
    for (std::string name : {"plain.avi", "with space.avi", "Ünïcødé 映像.avi"}) {
        std::string file = path(name);
        write_avi(file, {.frames = 12, .audio = true});
        Session r;
        r.start_file = file;
        std::map<int, bool> seen;
        int is_open = -1, audio_open = -1, pos = -1;
        std::uint32_t centre = 0;
        r.steps = {[&](CKorvaneDlg& d) {
            seen = controls(d.m_hWnd);
            is_open = d.state.isOpen;
            audio_open = d.state.audioOpen;
            pos = position(d.m_hWnd);
            centre = view_centre(d);
        }};
        run(r);
        SCOPED_TRACE(name);
        EXPECT_EQ(r.events, (std::vector<std::string>{"about", "main"}));
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(is_open, 1);
        EXPECT_EQ(audio_open, 1);
        EXPECT_EQ(pos, 0);
        EXPECT_EQ(seen,
                  expected({1000, 1001, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1013, 1003}));
        EXPECT_EQ(centre, colour_of(0));
    }
}

TEST_F(StartFile, BadFilesSayWhatTheOpenDialogsChoiceSays) {
    write_bytes(path("garbage.avi"), std::vector<std::uint8_t>(300, 0x5a));
    write_bytes(path("empty.avi"), {});
    for (std::string name : {"garbage.avi", "missing.avi", "empty.avi"}) {
        SCOPED_TRACE(name);
        std::vector<std::string> through_dialog = messages(path(name), false);
        ASSERT_FALSE(through_dialog.empty());
        EXPECT_EQ(through_dialog.front(), "Error Opening AVI File.|Error");
        EXPECT_EQ(messages(path(name), true), through_dialog);
    }
}

TEST_F(StartFile, NoneGivenStartsWithNoFile) {
    Session r;
    std::map<int, bool> seen;
    r.steps = {[&](CKorvaneDlg& d) { seen = controls(d.m_hWnd); }};
    run(r);
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_TRUE(probe().opened.empty());
    EXPECT_EQ(seen, expected({}));
}

}  // namespace
