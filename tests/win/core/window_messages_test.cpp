#include "core_fixture.h"

using namespace core_test;

namespace {

class WindowMessages : public CoreTest {};

TEST_F(WindowMessages, CreateSendsTheClassicSequence) {
    HWND w = top("seq", WS_OVERLAPPED);
    ASSERT_TRUE(w);
    EXPECT_EQ(recorder().only(w),
              (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    HWND c = child(w, 7, RECT{0, 0, 20, 20});
    EXPECT_EQ(recorder().only(c, {WM_NCCREATE, WM_CREATE, WM_SHOWWINDOW}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SHOWWINDOW}));
    EXPECT_EQ(recorder().count(w, WM_PARENTNOTIFY), 1);
}

TEST_F(WindowMessages, DestroyGoesDownForDestroyAndUpForNcDestroy) {
    HWND w = top("tree");
    HWND a = child(w, 1, RECT{0, 0, 10, 10});
    HWND a1 = child(a, 2, RECT{0, 0, 5, 5});
    recorder().log.clear();
    ASSERT_TRUE(DestroyWindow(w));
    std::vector<std::pair<HWND, UINT>> order;
    for (auto& r : recorder().log)
        if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) order.push_back({r.hwnd, r.msg});
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{w, WM_DESTROY},
                                                         {a, WM_DESTROY},
                                                         {a1, WM_DESTROY},
                                                         {a1, WM_NCDESTROY},
                                                         {a, WM_NCDESTROY},
                                                         {w, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindow(a1));
}

TEST_F(WindowMessages, OwnedWindowsGoBeforeTheirOwner) {
    HWND owner = top("owner");
    HWND owned = CreateWindowExA(0, recording_class(), "owned", WS_POPUP, 0, 0, 10, 10, owner,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    recorder().log.clear();
    DestroyWindow(owner);
    ASSERT_FALSE(recorder().log.empty());
    EXPECT_EQ(recorder().log.front().hwnd, owned);
    EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowMessages, StaleAndBogusHandlesFailCleanly) {
    HWND w = top("gone");
    DestroyWindow(w);
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
    EXPECT_FALSE(GetClientRect(w, &r));
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));
    EXPECT_EQ(GetDC(w), nullptr);
    EXPECT_EQ(SetTimer(w, 1, 10, nullptr), 0u);
    HWND bogus = reinterpret_cast<HWND>(std::uintptr_t{0x1234567890});
    EXPECT_FALSE(IsWindow(bogus));
    EXPECT_EQ(GetParent(bogus), nullptr);
    EXPECT_FALSE(EnableWindow(bogus, TRUE));
    // A new window may reuse the slot, but the old handle stays dead.
    HWND again = top("again");
    EXPECT_NE(again, w);
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowMessages, PostedMessagesArriveInOrderAndQuitEndsTheLoop) {
    HWND w = top("post");
    recorder().log.clear();
    PostMessageA(w, WM_USER + 1, 1, 0);
    PostMessageA(w, WM_USER + 2, 2, 0);
    PostQuitMessage(3);
    MSG m;
    std::vector<UINT> seen;
    while (GetMessageA(&m, nullptr, 0, 0)) {
        DispatchMessageA(&m);
        if (m.message >= WM_USER) seen.push_back(m.message);
    }
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(WindowMessages, CloseButtonBecomesCloseAndDestroys) {
    HWND w = top("closing");
    win::input::close_requested(w);
    win::automation::pump();
    EXPECT_EQ(recorder().count(w, WM_SYSCOMMAND), 1);
    EXPECT_EQ(recorder().count(w, WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowMessages, GeometryAccountsForBordersAndNesting) {
    HWND w = top("geo", WS_OVERLAPPED | WS_VISIBLE, 300, 200);
    HWND c = child(w, 1, RECT{10, 20, 110, 70}, WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE);
    RECT rc;
    GetClientRect(c, &rc);
    EXPECT_EQ(rc.right, 96);
    EXPECT_EQ(rc.bottom, 46);
    POINT p{0, 0};
    MapWindowPoints(c, w, &p, 1);
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 22);
    RECT wr;
    GetWindowRect(c, &wr);
    EXPECT_EQ(wr.left, 10 + 10);
    EXPECT_EQ(wr.right - wr.left, 100);
    MoveWindow(c, 0, 0, 50, 50, TRUE);
    GetClientRect(c, &rc);
    EXPECT_EQ(rc.right, 46);
    EXPECT_EQ(GetDlgItem(w, 1), c);
    EXPECT_EQ(GetDlgCtrlID(c), 1);
}

TEST_F(WindowMessages, MinimiseAndRestore) {
    HWND w = top("icon");
    recorder().log.clear();
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    ASSERT_EQ(recorder().count(w, WM_SIZE), 1);
    EXPECT_EQ(recorder().log.back().wp, WPARAM(SIZE_MINIMIZED));
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsIconic(w));
    EXPECT_TRUE(IsWindowVisible(w));
}

}  // namespace
