// Files dropped onto the main window: the first .avi of the drop opens as a
// file chosen in the Open dialog; a drop without one changes nothing and
// says nothing; every drop is finished.
#include "program_fixture.h"
#include "win/shell/drop_files.h"

using namespace program_test;

namespace {

class DroppedFiles : public ProgramTest {
  protected:
    struct Seen {
        int is_open = -1;
        int frames = -1;
        std::vector<std::string> boxes;
        std::size_t drops_left = 99;
        std::uint32_t centre = 1;
    };
    Seen drop(std::vector<std::string> paths) {
        Session r;
        Seen out;
        std::size_t before = win::shell::drops_held();
        r.steps = {
            [&](CKorvaneDlg& d) {
                PostMessageA(d.m_hWnd, WM_DROPFILES,
                             WPARAM(win::shell::make_drop(paths, POINT{5, 5})), 0);
            },
            [&](CKorvaneDlg& d) {
                out.is_open = d.state.isOpen;
                out.frames = d.state.frameCount;
                out.drops_left = win::shell::drops_held() - before;
                out.centre = view_centre(d);
                d.CloseAviFile();
                d.ResetAviHandles();
            },
        };
        run(r);
        for (const auto& b : r.boxes) out.boxes.push_back(b.text);
        return out;
    }
};

TEST_F(DroppedFiles, TheFirstAviOpensOthersAreIgnored) {
    write_avi(path("first.avi"), {.frames = 3});
    write_avi(path("Second.AVI"), {.frames = 7});
    write_bytes(path("notes.txt"), {'h', 'i'});
    const struct {
        std::vector<std::string> files;
        int is_open;
    } cases[] = {
        {{path("notes.txt"), path("Second.AVI"), path("first.avi")}, 1},
        {{path("notes.txt")}, 0},
        {{}, 0},
        {{path("notes.avi.txt"), path("x.av")}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.empty() ? "(none)" : c.files.front());
        probe().opened.clear();
        Seen seen = drop(c.files);
        EXPECT_EQ(seen.is_open, c.is_open);
        EXPECT_TRUE(seen.boxes.empty());
        EXPECT_EQ(seen.drops_left, 0u) << "the drop was finished";
        EXPECT_EQ(probe().opened.size(), std::size_t(c.is_open));
        if (c.is_open) {
            EXPECT_EQ(seen.centre, colour_of(0));
            EXPECT_EQ(seen.frames, 7) << "Second.AVI, the first .avi of the list";
        }
    }
}

TEST_F(DroppedFiles, ABrokenAviSaysWhatTheOpenDialogSays) {
    write_bytes(path("broken.avi"), std::vector<std::uint8_t>(64, 0x11));
    Seen seen = drop({path("broken.avi")});
    EXPECT_EQ(seen.is_open, 0);
    EXPECT_EQ(seen.boxes, std::vector<std::string>{"Error Opening AVI File."});
    EXPECT_EQ(seen.drops_left, 0u);
}

}  // namespace
