// Stepping, seeking and timed playback on the virtual clock: the seek bar's
// position and the picture in the view move together, ticks come at the
// stream's frame duration, and playback stops at the last frame.
#include "commctrl.h"
#include "program_fixture.h"

using namespace program_test;

namespace {

// Times (virtual ms) and positions of the playback timer's ticks.
struct Tick {
    std::int64_t at;
    int position;
};
std::vector<Tick>* ticks = nullptr;
win::Clock* tick_clock = nullptr;
WNDPROC main_proc = nullptr;
LRESULT CALLBACK tick_spy(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = CallWindowProcA(main_proc, h, msg, wp, lp);
    if (msg == WM_TIMER && wp == 1 && ticks) ticks->push_back({tick_clock->now_ms(), position(h)});
    return result;
}

class Playback : public ProgramTest {
  protected:
    void TearDown() override {
        ticks = nullptr;
        ProgramTest::TearDown();
    }
    // Opens the file and starts recording the timer's ticks.
    void open_and_watch(Session& r, const std::string& file) {
        r.file_answers.push_back(file);
        r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
        r.steps.push_back([this](CKorvaneDlg& d) {
            ticks = &seen;
            tick_clock = &clock;
            main_proc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(d.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&tick_spy)));
        });
    }
    void press_at(Session& r, int id, std::int64_t* when = nullptr) {
        r.steps.push_back([this, id, when](CKorvaneDlg& d) {
            if (when) *when = clock.now_ms();
            click(d.m_hWnd, id);
        });
    }
    static void wait(Session& r, int ms) {
        for (int i = 0; i < ms / 10; ++i) r.steps.push_back([](CKorvaneDlg&) {});
    }
    std::vector<Tick> seen;
};

TEST_F(Playback, Scale1Rate25TicksEvery40Ms) {
    write_avi(path("a.avi"), {.frames = 50, .scale = 1, .rate = 25});
    Session r;
    open_and_watch(r, path("a.avi"));
    std::int64_t pressed = 0;
    press_at(r, 1005, &pressed);
    wait(r, 300);
    run(r);
    ASSERT_GE(seen.size(), 6u);
    EXPECT_EQ(seen[0].at - pressed, 40);
    for (size_t i = 1; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].at - seen[i - 1].at, 40) << "tick " << i;
        EXPECT_EQ(seen[i].position, seen[i - 1].position + 1);
    }
    EXPECT_EQ(seen[0].position, 1) << "playback continues from the current frame";
}

TEST_F(Playback, Scale2Rate30TicksEvery66Ms) {
    write_avi(path("a.avi"), {.frames = 50, .scale = 2, .rate = 30});
    Session r;
    open_and_watch(r, path("a.avi"));
    std::int64_t pressed = 0;
    press_at(r, 1005, &pressed);
    wait(r, 400);
    run(r);
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(seen[0].at - pressed, 66);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].at - seen[i - 1].at, 66) << "tick " << i;
}

TEST_F(Playback, PlayTwiceKeepsTheSpeedAndOnePauseStops) {
    write_avi(path("a.avi"), {.frames = 80});
    Session r;
    open_and_watch(r, path("a.avi"));
    std::int64_t second = 0, paused = 0;
    press_at(r, 1005);
    wait(r, 20);
    press_at(r, 1005, &second);
    wait(r, 400);
    press_at(r, 1006, &paused);
    wait(r, 200);
    int moved = -1;
    r.steps.push_back([&](CKorvaneDlg& d) { moved = position(d.m_hWnd); });
    run(r);
    EXPECT_EQ(moved, int((paused - second) / 40))
        << "one frame per 40 ms, however often Play was pressed";
    ASSERT_GE(seen.size(), 8u);
    EXPECT_EQ(seen[0].at - second, 40) << "the second Play restarts the one timer";
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].at - seen[i - 1].at, 40) << "tick " << i;
    EXPECT_LE(seen.back().at, paused);
    EXPECT_EQ(int(seen.size()), int((paused - second) / 40));
}

TEST_F(Playback, PauseThenPlayContinuesFromThePausedFrame) {
    write_avi(path("a.avi"), {.frames = 80});
    Session r;
    open_and_watch(r, path("a.avi"));
    press_at(r, 1005);
    wait(r, 130);
    press_at(r, 1006);
    int paused_at = -1;
    std::uint32_t shown = 0;
    r.steps.push_back([&](CKorvaneDlg& d) {
        paused_at = position(d.m_hWnd);
        shown = view_centre(d);
    });
    wait(r, 200);
    size_t ticks_while_paused = 0;
    r.steps.push_back([&](CKorvaneDlg&) { ticks_while_paused = seen.size(); });
    press_at(r, 1005);
    wait(r, 50);
    run(r);
    ASSERT_GT(paused_at, 0);
    EXPECT_EQ(shown, colour_of(paused_at));
    EXPECT_EQ(ticks_while_paused, size_t(paused_at));
    ASSERT_GT(seen.size(), ticks_while_paused);
    EXPECT_EQ(seen[ticks_while_paused].position, paused_at + 1);
}

TEST_F(Playback, StopsAtTheLastFrameAfterShowingIt) {
    write_avi(path("a.avi"), {.frames = 12});
    Session r;
    open_and_watch(r, path("a.avi"));
    press_at(r, 1005);
    wait(r, 1000);
    bool timer_left = true;
    std::uint32_t shown = 0;
    int last = -1;
    r.steps.push_back([&](CKorvaneDlg& d) {
        timer_left = KillTimer(d.m_hWnd, 1);
        shown = view_centre(d);
        last = position(d.m_hWnd);
    });
    run(r);
    EXPECT_EQ(seen.size(), 11u);
    EXPECT_EQ(last, 11);
    EXPECT_EQ(shown, colour_of(11));
    EXPECT_FALSE(timer_left);
}

TEST_F(Playback, PlayAtTheLastFrameShowsItOnceAndStops) {
    write_avi(path("a.avi"), {.frames = 12});
    Session r;
    open_and_watch(r, path("a.avi"));
    press_at(r, 1008);
    press_at(r, 1005);
    wait(r, 300);
    run(r);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].position, 11);
}

TEST_F(Playback, CloseDoesNotStopTheTicksWhichStepTheDisabledBarWithoutDrawing) {
    write_avi(path("a.avi"), {.frames = 12});
    Session r;
    open_and_watch(r, path("a.avi"));
    press_at(r, 1005);
    wait(r, 90);
    int closed_at = -1;
    r.steps.push_back([&](CKorvaneDlg& d) {
        closed_at = position(d.m_hWnd);
        command(d.m_hWnd, 57602);
    });
    wait(r, 30);
    std::uint32_t centre = 1;
    r.steps.push_back([&](CKorvaneDlg& d) {
        UpdateWindow(d.m_hWnd);
        HDC dc = GetDC(d.m_hWnd);
        SetPixel(dc, d.viewRect.right / 2, d.viewRect.bottom / 2, RGB(1, 2, 3));
        ReleaseDC(d.m_hWnd, dc);
    });
    wait(r, 600);
    bool timer_left = true;
    r.steps.push_back([&](CKorvaneDlg& d) {
        centre = view_centre(d);
        timer_left = KillTimer(d.m_hWnd, 1);
    });
    run(r);
    ASSERT_EQ(closed_at, 2);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[2].position, 1) << "the first tick after Close steps on from the reset thumb";
    EXPECT_EQ(seen.back().position, 11) << "ticks go on to the old last frame";
    EXPECT_EQ(centre, 0x010203u) << "nothing is drawn after Close";
    EXPECT_FALSE(timer_left);
}

TEST_F(Playback, AFileOpenedWhilePlayingPlaysFromItsStartToItsLastFrame) {
    write_avi(path("a.avi"), {.frames = 40});
    write_avi(path("b.avi"), {.frames = 8});
    Session r;
    open_and_watch(r, path("a.avi"));
    press_at(r, 1005);
    wait(r, 90);
    r.file_answers.push_back(path("b.avi"));
    size_t ticks_before = 0;
    r.steps.push_back([&](CKorvaneDlg& d) {
        ticks_before = seen.size();
        click(d.m_hWnd, 1012);
    });
    wait(r, 500);
    std::uint32_t centre = 0;
    bool timer_left = true;
    r.steps.push_back([&](CKorvaneDlg& d) {
        centre = view_centre(d);
        timer_left = KillTimer(d.m_hWnd, 1);
    });
    run(r);
    ASSERT_GT(seen.size(), ticks_before + 1);
    EXPECT_EQ(seen[ticks_before].position, 1) << "the new file plays from its start";
    EXPECT_EQ(seen.back().position, 7);
    EXPECT_EQ(centre, colour_of(7));
    EXPECT_FALSE(timer_left);
}

TEST_F(Playback, TicksGoOnWhileAMessageBoxIsUp) {
    write_avi(path("a.avi"), {.frames = 60});
    Session r;
    r.box_delay_ms = 400;
    open_and_watch(r, path("a.avi"));
    press_at(r, 1005);
    std::int64_t asked = 0, answered = 0;
    r.steps.push_back([&](CKorvaneDlg& d) {
        asked = clock.now_ms();
        command(d.m_hWnd, 32777);  // no audio stream: a notice box
    });
    r.steps.push_back([&](CKorvaneDlg&) { answered = clock.now_ms(); });
    run(r);
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text, "No Audio Stream Available !");
    ASSERT_GE(answered - asked, 400);
    int during = 0;
    for (const Tick& t : seen) during += t.at > asked && t.at < asked + 400;
    EXPECT_GE(during, 9) << "the box's loop keeps the playback timer ticking";
}

// Paints a marker over the view's centre, so a test can see whether
// anything was drawn since.
void mark(CKorvaneDlg& d) {
    HDC dc = GetDC(d.m_hWnd);
    SetPixel(dc, d.viewRect.right / 2, d.viewRect.bottom / 2, RGB(255, 0, 255));
    ReleaseDC(d.m_hWnd, dc);
}
constexpr std::uint32_t kMarker = 0xFF00FF;

class Navigation : public ProgramTest {};

TEST_F(Navigation, ButtonsMoveThePositionAndThePictureAndStopAtTheEnds) {
    write_avi(path("a.avi"), {.frames = 10});
    Session r;
    r.file_answers = {path("a.avi")};
    std::vector<std::pair<int, std::uint32_t>> seen;  // position, centre colour
    auto look = [&](CKorvaneDlg& d) { seen.push_back({position(d.m_hWnd), view_centre(d)}); };
    auto press = [&](int id) {
        r.steps.push_back([id](CKorvaneDlg& d) { click(d.m_hWnd, id); });
        r.steps.push_back(look);
    };
    r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
    r.steps.push_back(look);  // 0: first frame
    press(1007);              // 1: Next
    press(1007);              // 2: Next
    press(1001);              // 3: Prev
    press(1008);              // 4: End
    r.steps.push_back(mark);
    press(1007);  // 5: Next at the last frame
    press(1000);  // 6: St
    r.steps.push_back(mark);
    press(1001);  // 7: Prev at the first frame
    run(r);
    ASSERT_EQ(seen.size(), 8u);
    const std::pair<int, std::uint32_t> want[] = {
        {0, colour_of(0)}, {1, colour_of(1)}, {2, colour_of(2)}, {1, colour_of(1)},
        {9, colour_of(9)}, {9, kMarker},      {0, colour_of(0)}, {0, kMarker},
    };
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].first, want[i].first) << "step " << i;
        EXPECT_EQ(seen[i].second, want[i].second) << "step " << i;
    }
    EXPECT_TRUE(r.boxes.empty());
}

TEST_F(Navigation, AStartOf10AndLengthOf100GivesARangeOf10To99) {
    write_avi(path("a.avi"), {.frames = 100, .start = 10});
    Session r;
    r.file_answers = {path("a.avi")};
    int lo = -1, hi = -1, first = -1, first_frame = -1, count = -1, at_end = -1, after_next = -1,
        after_start = -1, after_prev = -1;
    std::uint32_t marker_after_next = 0, marker_after_prev = 0;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            lo = range_min(d.m_hWnd);
            hi = range_max(d.m_hWnd);
            first = position(d.m_hWnd);
            first_frame = d.state.firstFrame;
            count = d.state.frameCount;
            click(d.m_hWnd, 1008);
        },
        [&](CKorvaneDlg& d) {
            at_end = position(d.m_hWnd);
            mark(d);
            click(d.m_hWnd, 1007);
        },
        [&](CKorvaneDlg& d) {
            after_next = position(d.m_hWnd);
            marker_after_next = view_centre(d);
            click(d.m_hWnd, 1000);
        },
        [&](CKorvaneDlg& d) {
            after_start = position(d.m_hWnd);
            mark(d);
            click(d.m_hWnd, 1001);
        },
        [&](CKorvaneDlg& d) {
            after_prev = position(d.m_hWnd);
            marker_after_prev = view_centre(d);
        },
    };
    run(r);
    EXPECT_EQ(first_frame, 10);
    EXPECT_EQ(count, 100);
    EXPECT_EQ(lo, 10);
    EXPECT_EQ(hi, 99);
    EXPECT_EQ(first, 10) << "position 0 is brought into the range";
    EXPECT_EQ(at_end, 99);
    EXPECT_EQ(after_next, 99);
    EXPECT_EQ(marker_after_next, kMarker) << "Next at the last frame draws nothing";
    EXPECT_EQ(after_start, 10);
    EXPECT_EQ(after_prev, 10);
    EXPECT_EQ(marker_after_prev, kMarker) << "Prev at the first frame draws nothing";
}

TEST_F(Navigation, EndOnAOneFrameStreamIsPositionZeroAndNextDoesNothing) {
    write_avi(path("one.avi"), {.frames = 1});
    Session r;
    r.file_answers = {path("one.avi")};
    int at_end = -1, after_next = -1;
    std::uint32_t centre = 0;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1008); },
        [&](CKorvaneDlg& d) {
            at_end = position(d.m_hWnd);
            mark(d);
            click(d.m_hWnd, 1007);
        },
        [&](CKorvaneDlg& d) {
            after_next = position(d.m_hWnd);
            centre = view_centre(d);
        },
    };
    run(r);
    EXPECT_EQ(at_end, 0);
    EXPECT_EQ(after_next, 0);
    EXPECT_EQ(centre, kMarker);
}

TEST_F(Navigation, TheSeekBarDrawsTheFrameWhenTheMouseIsReleased) {
    write_avi(path("a.avi"), {.frames = 50});
    Session r;
    r.file_answers = {path("a.avi")};
    int while_down = -1, after_up = -1;
    std::uint32_t centre_down = 0, centre_up = 0;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            mark(d);
            HWND bar = GetDlgItem(d.m_hWnd, 1003);
            RECT rc;
            GetClientRect(bar, &rc);
            win::automation::mouse_down(bar, rc.right - 30, rc.bottom / 2);
        },
        [&](CKorvaneDlg& d) {
            while_down = position(d.m_hWnd);
            centre_down = view_centre(d);
            HWND bar = GetDlgItem(d.m_hWnd, 1003);
            RECT rc;
            GetClientRect(bar, &rc);
            win::automation::mouse_up(bar, rc.right - 30, rc.bottom / 2);
        },
        [&](CKorvaneDlg& d) {
            after_up = position(d.m_hWnd);
            centre_up = view_centre(d);
        },
    };
    run(r);
    EXPECT_GT(after_up, 0) << "the click moved the thumb";
    EXPECT_EQ(centre_down, kMarker)
        << "nothing is drawn while the button is down (at " << while_down << ")";
    EXPECT_EQ(centre_up, colour_of(after_up));
}

}  // namespace
