// The view shows the frame the seek bar stands on: keyboard moves draw at
// once, a thumb drag draws once, when the mouse button is released.
#include "commctrl.h"
#include "program_fixture.h"

namespace {
int frames_fetched = 0;
}

extern "C" {
LPVOID WINAPI __real_AVIStreamGetFrame(PGETFRAME pg, LONG pos);
LPVOID WINAPI __wrap_AVIStreamGetFrame(PGETFRAME pg, LONG pos) {
    ++frames_fetched;
    return __real_AVIStreamGetFrame(pg, pos);
}
}

using namespace program_test;

namespace {

constexpr std::uint32_t kMarker = 0xFF00FF;

void mark(CKorvaneDlg& d) {
    HDC dc = GetDC(d.m_hWnd);
    SetPixel(dc, d.viewRect.right / 2, d.viewRect.bottom / 2, RGB(255, 0, 255));
    ReleaseDC(d.m_hWnd, dc);
}

// What one action left behind, seen at the next step.
struct Seen {
    int position = -1;
    std::uint32_t centre = 0;
    int fetched = 0;  // frames fetched for the view since the action
};

class SeekBar : public ProgramTest {
  protected:
    // Opens a file of 50 frames, runs each action after marking the view, and
    // looks at the result one tick later.
    std::vector<Seen> act(const std::vector<Step>& actions) {
        write_avi(path("a.avi"), {.frames = 50});
        Session r;
        r.file_answers = {path("a.avi")};
        std::vector<Seen> seen;
        int fetched_before = 0;
        r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
        r.steps.push_back([](CKorvaneDlg& d) { SetFocus(GetDlgItem(d.m_hWnd, 1003)); });
        for (const Step& a : actions) {
            r.steps.push_back([&, a](CKorvaneDlg& d) {
                mark(d);
                fetched_before = frames_fetched;
                a(d);
            });
            r.steps.push_back([&](CKorvaneDlg& d) {
                seen.push_back(
                    {position(d.m_hWnd), view_centre(d), frames_fetched - fetched_before});
            });
        }
        run(r);
        EXPECT_TRUE(r.boxes.empty());
        return seen;
    }
};

TEST_F(SeekBar, EachMoveKeyShowsTheFrameAtTheNewPositionAtOnce) {
    const UINT keys[] = {VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME};
    std::vector<Step> actions;
    for (UINT vk : keys)
        actions.push_back(
            [vk](CKorvaneDlg& d) { win::automation::press(GetDlgItem(d.m_hWnd, 1003), vk); });
    std::vector<Seen> seen = act(actions);
    ASSERT_EQ(seen.size(), std::size(keys));
    const int want[] = {1, 2, 1, 0, -1, 0, 49, 0};  // -1: one page on, whatever its size
    for (size_t i = 0; i < seen.size(); ++i) {
        if (want[i] >= 0) {
            EXPECT_EQ(seen[i].position, want[i]) << "key " << i;
        }
        EXPECT_EQ(seen[i].centre, colour_of(seen[i].position)) << "key " << i;
        EXPECT_EQ(seen[i].fetched, 1) << "one drawing per key " << i;
    }
    EXPECT_GT(seen[4].position, 1) << "Page Down moved a page";
}

TEST_F(SeekBar, AKeyThatCannotMoveDrawsNothing) {
    std::vector<Seen> seen = act({
        [](CKorvaneDlg& d) { win::automation::press(GetDlgItem(d.m_hWnd, 1003), VK_HOME); },
        [](CKorvaneDlg& d) { win::automation::press(GetDlgItem(d.m_hWnd, 1003), VK_LEFT); },
    });
    ASSERT_EQ(seen.size(), 2u);
    for (const Seen& s : seen) {
        EXPECT_EQ(s.position, 0);
        EXPECT_EQ(s.centre, kMarker);
        EXPECT_EQ(s.fetched, 0);
    }
}

TEST_F(SeekBar, AThumbDragDrawsOnceAtTheRelease) {
    auto thumb_centre = [](CKorvaneDlg& d) {
        RECT t{};
        SendMessageA(GetDlgItem(d.m_hWnd, 1003), TBM_GETTHUMBRECT, 0, LPARAM(&t));
        return POINT{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
    };
    POINT grab{};
    std::vector<Seen> seen = act({
        [&](CKorvaneDlg& d) {
            grab = thumb_centre(d);
            win::automation::mouse_down(GetDlgItem(d.m_hWnd, 1003), grab.x, grab.y);
        },
        [&](CKorvaneDlg& d) {
            win::automation::mouse_move(GetDlgItem(d.m_hWnd, 1003), grab.x + 40, grab.y);
        },
        [&](CKorvaneDlg& d) {
            win::automation::mouse_move(GetDlgItem(d.m_hWnd, 1003), grab.x + 90, grab.y);
        },
        [&](CKorvaneDlg& d) {
            win::automation::mouse_up(GetDlgItem(d.m_hWnd, 1003), grab.x + 90, grab.y);
        },
    });
    ASSERT_EQ(seen.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].centre, kMarker) << "nothing drawn while held, step " << i;
        EXPECT_EQ(seen[i].fetched, 0) << i;
    }
    EXPECT_GT(seen[1].position, 0) << "the thumb followed the mouse";
    EXPECT_GT(seen[2].position, seen[1].position);
    EXPECT_EQ(seen[3].position, seen[2].position);
    EXPECT_EQ(seen[3].centre, colour_of(seen[3].position));
    EXPECT_EQ(seen[3].fetched, 1) << "one drawing, at the release";
}

}  // namespace
