#include "core_fixture.h"

using namespace core_test;
using win::automation::pump;

namespace {

class Input : public CoreTest {};

TEST_F(Input, ClicksGoToTheChildUnderTheMouseInClientCoordinates) {
    HWND w = top("in");
    HWND c = child(w, 1, RECT{50, 40, 100, 80});
    recorder().log.clear();
    win::automation::click(w, 60, 45);
    pump();
    ASSERT_EQ(recorder().count(c, WM_LBUTTONDOWN), 1);
    ASSERT_EQ(recorder().count(c, WM_LBUTTONUP), 1);
    for (auto& r : recorder().log)
        if (r.msg == WM_LBUTTONDOWN) {
            EXPECT_EQ(GET_X_LPARAM(r.lp), 10);
            EXPECT_EQ(GET_Y_LPARAM(r.lp), 5);
            EXPECT_TRUE(r.wp & MK_LBUTTON);
        }
    EXPECT_EQ(recorder().count(w, WM_LBUTTONDOWN), 0);
}

TEST_F(Input, DisabledWindowsGetNoClicksAndCaptureGetsThemAll) {
    HWND w = top("in");
    HWND c = child(w, 1, RECT{50, 40, 100, 80});
    EnableWindow(c, FALSE);
    recorder().log.clear();
    win::automation::click(c, 5, 5);
    pump();
    EXPECT_EQ(recorder().count(c, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(recorder().count(w, WM_LBUTTONDOWN), 0);
    EnableWindow(c, TRUE);
    SetCapture(c);
    win::automation::click(w, 1, 1);
    pump();
    EXPECT_EQ(recorder().count(c, WM_LBUTTONDOWN), 1);
    ReleaseCapture();
    EXPECT_EQ(recorder().count(c, WM_CAPTURECHANGED), 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, AModalOwnerIgnoresInput) {
    HWND w = top("owner");
    EnableWindow(w, FALSE);
    recorder().log.clear();
    win::automation::click(w, 5, 5);
    win::automation::press(w, 'A', 'a');
    pump();
    EXPECT_EQ(recorder().count(w, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(recorder().count(w, WM_KEYDOWN), 0);
}

TEST_F(Input, KeysGoToTheFocusAndTranslateToCharacters) {
    HWND w = top("in");
    HWND c = child(w, 1, RECT{0, 0, 10, 10});
    HWND d = child(w, 2, RECT{20, 0, 30, 10});
    SetFocus(c);
    recorder().log.clear();
    SetFocus(d);
    EXPECT_EQ(recorder().only(nullptr, {WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<UINT>{WM_KILLFOCUS, WM_SETFOCUS}));
    EXPECT_EQ(recorder().log[0].hwnd, c);
    win::automation::type(w, "Hi");
    pump();
    std::string typed;
    for (auto& r : recorder().log)
        if (r.hwnd == d && r.msg == WM_CHAR) typed += char(r.wp);
    EXPECT_EQ(typed, "Hi");
    // Hiding the focused window moves the focus away.
    ShowWindow(d, SW_HIDE);
    EXPECT_NE(GetFocus(), d);
}

}  // namespace

namespace {

class InputOrder : public core_test::CoreTest {};

TEST_F(InputOrder, CharactersComeBeforeTheKeysTypedAfterThem) {
    HWND w = top("in");
    SetFocus(w);
    recorder().log.clear();
    win::automation::type(w, "ab");
    win::automation::press(w, VK_RETURN);
    pump();
    std::vector<UINT> seq;
    for (auto& r : recorder().log)
        if (r.msg == WM_CHAR || (r.msg == WM_KEYDOWN && r.wp == VK_RETURN)) seq.push_back(r.msg);
    EXPECT_EQ(seq, (std::vector<UINT>{WM_CHAR, WM_CHAR, WM_KEYDOWN}));
}

LRESULT CALLBACK dbl_proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    recorder().log.push_back({h, m, wp, lp});
    return DefWindowProcA(h, m, wp, lp);
}

TEST_F(InputOrder, DoubleClicksOnlyForClassesThatAskAndOnlyWhenQuick) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = dbl_proc;
    wc.lpszClassName = "CoreTestDoubleClicks";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "CoreTestDoubleClicks", "dbl", WS_OVERLAPPED | WS_VISIBLE, 0, 0,
                             100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND plain = top("plain");
    recorder().log.clear();
    win::automation::click(w, 10, 10);
    clock.advance_ms(200);
    win::automation::click(w, 11, 10);
    clock.advance_ms(1000);
    win::automation::click(w, 11, 10);
    win::automation::click(plain, 5, 5);
    win::automation::click(plain, 5, 5);
    pump();
    EXPECT_EQ(recorder().count(w, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(recorder().count(w, WM_LBUTTONDOWN), 2) << "the third click is too late";
    EXPECT_EQ(recorder().count(plain, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(recorder().count(plain, WM_LBUTTONDOWN), 2);
}

}  // namespace
