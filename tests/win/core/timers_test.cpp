#include "core_fixture.h"
#include "win/core/modal_loop.h"

using namespace core_test;

namespace {

class Timers : public CoreTest {
  protected:
    std::vector<std::int64_t> ticks(HWND w, UINT_PTR id) {
        std::vector<std::int64_t> out;
        for (auto& r : recorder().log)
            if (r.hwnd == w && r.msg == WM_TIMER && r.wp == id) out.push_back(r.lp);
        return out;
    }
    std::vector<std::int64_t> tick_times;
    void record_tick_times(HWND w) {
        recorder().handler = [this, w](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
            if (h == w && m == WM_TIMER) tick_times.push_back(clock.now_ms() - start);
            return false;
        };
    }
    std::int64_t start = 0;
};

TEST_F(Timers, TicksAtEachIntervalOnTheVirtualClock) {
    HWND w = top("t");
    start = clock.now_ms();
    record_tick_times(w);
    ASSERT_EQ(SetTimer(w, 1, 40, nullptr), 1u);
    win::automation::advance_ms(39);
    EXPECT_TRUE(tick_times.empty());
    win::automation::advance_ms(81);
    EXPECT_EQ(tick_times, (std::vector<std::int64_t>{40, 80, 120}));
}

TEST_F(Timers, SettingTheSameIdReplacesAndKillStops) {
    HWND w = top("t");
    start = clock.now_ms();
    record_tick_times(w);
    SetTimer(w, 1, 40, nullptr);
    win::automation::advance_ms(20);
    SetTimer(w, 1, 100, nullptr);  // restarts at 20 with the new interval
    win::automation::advance_ms(200);
    EXPECT_EQ(tick_times, (std::vector<std::int64_t>{120, 220}));
    EXPECT_TRUE(KillTimer(w, 1));
    win::automation::advance_ms(500);
    EXPECT_EQ(tick_times.size(), 2u);
    EXPECT_FALSE(KillTimer(w, 1));
}

TEST_F(Timers, ALateLoopGetsOneTickNotABurst) {
    HWND w = top("t");
    start = clock.now_ms();
    record_tick_times(w);
    SetTimer(w, 1, 40, nullptr);
    clock.advance_ms(1000);
    win::automation::pump();
    EXPECT_EQ(tick_times.size(), 1u);
}

TEST_F(Timers, NestedModalLoopKeepsDeliveringTheOwnersTicks) {
    HWND owner = top("owner");
    HWND dialog = CreateWindowExA(0, recording_class(), "modal", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                  50, owner, nullptr, nullptr, nullptr);
    SetTimer(owner, 1, 40, nullptr);
    int owner_ticks = 0;
    recorder().handler = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (h == owner && m == WM_TIMER && ++owner_ticks == 3) DestroyWindow(dialog);
        return false;
    };
    HWND hooked = nullptr;
    win::automation::set_modal_hook([&](HWND h) { hooked = h; });
    EnableWindow(owner, FALSE);
    bool ended = win::run_modal_loop(dialog, [&] { return !IsWindow(dialog); });
    EXPECT_TRUE(ended);
    EXPECT_EQ(hooked, dialog);
    EXPECT_EQ(owner_ticks, 3);
}

TEST_F(Timers, QuitInsideAModalLoopReachesTheOuterLoop) {
    HWND owner = top("owner");
    win::automation::set_modal_hook([](HWND) { PostQuitMessage(5); });
    EXPECT_FALSE(win::run_modal_loop(owner, [] { return false; }));
    MSG m;
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, 5u);
}

}  // namespace
