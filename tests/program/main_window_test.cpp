// The main window's life: start-up order, the keys it refuses, the checks of
// its menu commands, its owner-drawn menu bar and its shut-down order.
#include <map>

#include "program_fixture.h"

using namespace program_test;
using win::dialogs::IconKind;

namespace {

class MainWindow : public ProgramTest {};

TEST_F(MainWindow, AboutBoxComesFirstThenTheMainWindowWithEveryFileControlOff) {
    Session r;
    std::map<int, bool> state;
    HMENU popups[3] = {};
    std::string titles[3];
    int bar_items = 0;
    HICON own = nullptr, dragged = nullptr, big = nullptr, small = nullptr;
    r.steps = {[&](CKorvaneDlg& d) {
        own = d.icon;
        dragged = reinterpret_cast<HICON>(SendMessageA(d.m_hWnd, WM_QUERYDRAGICON, 0, 0));
        big = reinterpret_cast<HICON>(SendMessageA(d.m_hWnd, WM_GETICON, 1, 0));
        small = reinterpret_cast<HICON>(SendMessageA(d.m_hWnd, WM_GETICON, 0, 0));
        for (int id : kFileControls) state[id] = enabled(d.m_hWnd, id);
        state[1012] = enabled(d.m_hWnd, 1012);
        state[1004] = enabled(d.m_hWnd, 1004);
        HMENU bar = GetMenu(d.m_hWnd);
        bar_items = GetMenuItemCount(bar);
        for (int i = 0; i < 3; ++i) {
            popups[i] = GetSubMenu(bar, i);
            char text[32] = {};
            GetMenuStringA(bar, UINT(i), text, sizeof text, MF_BYPOSITION);
            titles[i] = text;
        }
        EXPECT_EQ(popups[0], d.fileMenu.m_hMenu);
        EXPECT_EQ(popups[1], d.extractMenu.m_hMenu);
        EXPECT_EQ(popups[2], d.helpMenu.m_hMenu);
    }};
    run(r);
    ASSERT_EQ(r.events, (std::vector<std::string>{"about", "main"}));
    EXPECT_FALSE(r.main_visible_during_about) << "the main window waits for the about box";
    EXPECT_TRUE(r.main_visible_at_start);
    EXPECT_EQ(r.result, IDCANCEL);
    ASSERT_EQ(r.steps_done, 1u);
    for (int id : kFileControls) EXPECT_FALSE(state[id]) << "control " << id;
    EXPECT_TRUE(state[1012]) << "Open";
    EXPECT_TRUE(state[1004]) << "the progress bar is never disabled";
    EXPECT_EQ(bar_items, 3);
    EXPECT_EQ(titles[0], "&File");
    EXPECT_EQ(titles[1], "&Extract");
    EXPECT_EQ(titles[2], "&Help");
    EXPECT_TRUE(r.boxes.empty());
    ASSERT_NE(own, nullptr) << "icon 128 is loaded";
    EXPECT_EQ(dragged, own);
    EXPECT_EQ(big, own);
    EXPECT_EQ(small, own);
}

TEST_F(MainWindow, EscapeAndEnterLeaveItOpen) {
    Session r;
    bool alive_after_escape = false, alive_after_enter = false;
    r.steps = {
        [](CKorvaneDlg& d) { win::automation::press(d.m_hWnd, VK_ESCAPE); },
        [&](CKorvaneDlg& d) {
            alive_after_escape = IsWindowVisible(d.m_hWnd);
            SetFocus(GetDlgItem(d.m_hWnd, 1012));
            win::automation::press(d.m_hWnd, VK_RETURN);
        },
        [&](CKorvaneDlg& d) {
            alive_after_enter = IsWindowVisible(d.m_hWnd);
            win::automation::press(GetDlgItem(d.m_hWnd, 1003), VK_ESCAPE);
        },
        [](CKorvaneDlg&) {},
    };
    run(r);
    EXPECT_EQ(r.steps_done, 4u) << "the window closed before the script ended";
    EXPECT_TRUE(alive_after_escape);
    EXPECT_TRUE(alive_after_enter);
    EXPECT_TRUE(r.boxes.empty());
    // Enter on the focused Open button would have asked for a file; it must not.
    EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "file"), 0);
}

TEST_F(MainWindow, MenuCommandsWithoutAFileSayNoFileAndCloseSaysNothing) {
    Session r;
    const UINT commands[] = {32773, 32775, 32776, 32777, 32781, 32782};
    for (UINT id : commands) r.steps.push_back([id](CKorvaneDlg& d) { command(d.m_hWnd, id); });
    r.steps.push_back([](CKorvaneDlg& d) { command(d.m_hWnd, 57602); });
    bool still_off = true;
    r.steps.push_back([&](CKorvaneDlg& d) {
        for (int id : kFileControls) still_off = still_off && !enabled(d.m_hWnd, id);
    });
    run(r);
    ASSERT_EQ(r.boxes.size(), std::size(commands));
    for (const auto& box : r.boxes) {
        EXPECT_EQ(box.text, "No AVI File Opened !");
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.icon, IconKind::Stop);
        EXPECT_EQ(box.type & 0xF, UINT(MB_OK));
    }
    EXPECT_TRUE(still_off);
}

TEST_F(MainWindow, ASystemCommandDifferingOnlyInItsLowBitsShowsTheAboutBox) {
    Session r;
    r.steps = {[](CKorvaneDlg& d) { PostMessageA(d.m_hWnd, WM_SYSCOMMAND, 0x1F, 0); },
               [](CKorvaneDlg&) {}};
    run(r);
    EXPECT_EQ(r.events, (std::vector<std::string>{"about", "main", "about"}));
}

TEST_F(MainWindow, ClosingWhilePlayingStopsTheTimerAndReleasesTheFileBeforeTheLibraryEnds) {
    write_avi(path("both.avi"), {.frames = 100, .audio = true});
    Session r;
    r.file_answers = {path("both.avi")};
    int moved_to = 0;
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1005); },
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [](CKorvaneDlg&) {},
        [&](CKorvaneDlg& d) {
            moved_to = position(d.m_hWnd);
            probe().file = d.state.aviFile;
            probe().video = d.state.videoStream;
            probe().audio = d.state.audioStream;
            probe().get_frame = d.state.getFrame;
        },
    };
    run(r);
    ASSERT_TRUE(r.boxes.empty()) << r.boxes[0].text;
    EXPECT_GT(moved_to, 0) << "playback was running";
    ASSERT_NE(probe().file, nullptr);
    EXPECT_EQ(probe().exits, 1);
    EXPECT_FALSE(probe().timer_alive_at_exit);
    EXPECT_FALSE(probe().get_frame_alive_at_exit);
    EXPECT_FALSE(probe().video_alive_at_exit);
    EXPECT_FALSE(probe().audio_alive_at_exit);
    EXPECT_FALSE(probe().file_alive_at_exit);
}

// Sizes the popups report, as the menu bar asked for them.
struct Measured {
    UINT id;
    ULONG_PTR data;
    UINT width, height;
};
std::vector<Measured>* measured = nullptr;
WNDPROC dialog_proc = nullptr;
bool menu_loop_left = false;
LRESULT CALLBACK measure_spy(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = CallWindowProcA(dialog_proc, h, msg, wp, lp);
    if (msg == WM_EXITMENULOOP) menu_loop_left = true;
    if (msg == WM_MEASUREITEM && measured) {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (m->CtlType == ODT_MENU)
            measured->push_back({m->itemID, m->itemData, m->itemWidth, m->itemHeight});
    }
    return result;
}

TEST_F(MainWindow, PopupsOpenedFromTheBarMeasureTheirItemsWithTheirOwnWidth) {
    std::vector<Measured> seen;
    measured = &seen;
    Session r;
    int popups_opened = 0;
    menu_loop_left = false;
    bool alt_f_sent = false;
    r.hold = [&] { return alt_f_sent && !menu_loop_left; };
    r.other_modal = [&](HWND) {
        ++popups_opened;
        // File is open: walk right to Extract and Help, then leave the bar.
        HWND main = probe().main_window;
        win::automation::press(main, VK_RIGHT);
        win::automation::press(main, VK_RIGHT);
        win::automation::press(main, VK_ESCAPE);
        win::automation::press(main, VK_ESCAPE);
    };
    r.steps = {
        [&](CKorvaneDlg& d) {
            alt_f_sent = true;
            dialog_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                d.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&measure_spy)));
            win::automation::key(d.m_hWnd, VK_MENU, true);
            win::automation::press(d.m_hWnd, 'F', 'f');
            win::automation::key(d.m_hWnd, VK_MENU, false);
        },
        [](CKorvaneDlg&) {},
    };
    std::map<ULONG_PTR, std::pair<int, bool>> owner;  // record -> popup width, separator
    r.steps.push_back([&](CKorvaneDlg& d) {
        for (CBitmapMenu* menu : {&d.fileMenu, &d.extractMenu, &d.helpMenu}) {
            int width = menu == &d.extractMenu ? 150 : 130;
            for (POSITION p = menu->items.GetHeadPosition(); p;) {
                auto* item = static_cast<BitmapMenuItem*>(menu->items.GetNext(p));
                owner[reinterpret_cast<ULONG_PTR>(item)] = {width, item->text[0] == 0};
            }
        }
    });
    run(r);
    measured = nullptr;
    EXPECT_EQ(popups_opened, 1);
    ASSERT_EQ(owner.size(), 17u);
    // Each of the 17 items was measured once its popup opened.
    std::map<ULONG_PTR, Measured> by_record;
    for (const Measured& m : seen) by_record[m.data] = m;
    EXPECT_EQ(by_record.size(), 17u);
    int separators = 0;
    for (const auto& [record, expected] : owner) {
        ASSERT_TRUE(by_record.count(record));
        const Measured& m = by_record[record];
        EXPECT_EQ(int(m.width), expected.first) << "item " << m.id;
        EXPECT_EQ(m.height, expected.second ? 6u : 20u) << "item " << m.id;
        separators += expected.second;
    }
    EXPECT_EQ(separators, 5);
}

}  // namespace
