// The headless display keeps what a screen would show, and waiting on it
// moves the virtual clock instead of sleeping.
#include "win/headless/headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "win/core/automation.h"
#include "win/gdi/icon.h"
#include "winuser.h"

namespace {

LRESULT CALLBACK plain_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r{0, 0, 10, 10};
        HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &r, b);
        DeleteObject(b);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class Headless : public ::testing::Test {
  protected:
    void SetUp() override {
        win::automation::reset(&clock_);
        display_ = &win::headless::install(&clock_);
        WNDCLASSA wc{};
        wc.lpfnWndProc = plain_proc;
        wc.lpszClassName = "HeadlessTestWindow";
        RegisterClassA(&wc);
    }
    void TearDown() override { win::automation::reset(&clock_); }
    HWND make(DWORD style = WS_OVERLAPPEDWINDOW) {
        return CreateWindowExA(0, "HeadlessTestWindow", "first", style, 30, 40, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    }

    win::VirtualClock clock_;
    win::headless::HeadlessBackend* display_ = nullptr;
};

TEST_F(Headless, FollowsTopLevelWindowsAndIgnoresChildren) {
    HWND w = make();
    ASSERT_NE(w, nullptr);
    HWND child = CreateWindowExA(0, "HeadlessTestWindow", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, w,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    const win::headless::ShownWindow* s = display_->window(w);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(display_->window(child), nullptr);
    EXPECT_EQ(s->title, "first");
    EXPECT_FALSE(s->visible);
    EXPECT_EQ(s->rect.left, 30);
    EXPECT_EQ(s->rect.bottom, 140);

    ShowWindow(w, SW_SHOW);
    SetWindowTextA(w, "second");
    MoveWindow(w, 50, 60, 120, 80, TRUE);
    s = display_->window(w);
    EXPECT_TRUE(s->visible);
    EXPECT_EQ(s->title, "second");
    EXPECT_EQ(s->rect.left, 50);
    EXPECT_EQ(s->rect.right, 170);

    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(display_->window(w)->iconic);
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(display_->window(w)->iconic);

    DestroyWindow(w);
    EXPECT_EQ(display_->window(w), nullptr);
    EXPECT_EQ(display_->window_count(), 0u);
}

TEST_F(Headless, KeepsTheIconAndGetsPaintedPixels) {
    HWND w = make();
    win::gdi::Surface image(16, 16, 0x123456);
    HICON icon = win::gdi::create_icon(image, {});
    SendMessageA(w, WM_SETICON, ICON_BIG, LPARAM(icon));
    EXPECT_EQ(display_->window(w)->icon, icon);

    ShowWindow(w, SW_SHOW);
    win::automation::pump();
    const win::headless::ShownWindow* s = display_->window(w);
    EXPECT_GT(s->presents, 0);
    EXPECT_LE(s->presented.left, 0);
    EXPECT_GE(s->presented.right, 10);
    EXPECT_EQ(win::automation::pixel(w, 5, 5), 0xff0000u);

    // A hidden window hands nothing over.
    ShowWindow(w, SW_HIDE);
    int before = display_->window(w)->presents;
    InvalidateRect(w, nullptr, TRUE);
    win::automation::pump();
    EXPECT_EQ(display_->window(w)->presents, before);
    win::gdi::destroy_icon(icon);
}

TEST_F(Headless, SavesAWindowAsPng) {
    HWND w = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    win::automation::pump();
    const char* path = "headless_window.png";
    std::remove(path);
    ASSERT_TRUE(win::automation::save_png(w, path));
    std::ifstream in(path, std::ios::binary);
    char sig[8] = {};
    in.read(sig, 8);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    std::remove(path);
}

TEST_F(Headless, WaitingMovesTheVirtualClockToTheNextTimer) {
    HWND w = make();
    std::int64_t start = clock_.now_ms();
    SetTimer(w, 7, 40, nullptr);
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    EXPECT_EQ(clock_.now_ms() - start, 40);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(clock_.now_ms() - start, 80);
    KillTimer(w, 7);
}

TEST_F(Headless, TellsTheScreenSize) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
}

}  // namespace
