// A clean window system on a virtual clock with the menu engine installed,
// and an owner window that records what it is sent.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "win/core/automation.h"
#include "win/core/clock.h"
#include "winuser.h"

namespace menus_test {

struct Received {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// What an owner-draw request carried.
struct DrawRequest {
    UINT msg;  // WM_MEASUREITEM or WM_DRAWITEM
    UINT item_id;
    UINT action;
    UINT state;
    HWND hwnd_item;
    ULONG_PTR data;
    RECT rect;
};

struct Recorder {
    std::vector<Received> log;
    std::vector<DrawRequest> draws;
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> handler;
    int count(UINT msg) const;
    // Commands in the order they arrived: WM_COMMAND ids, or WM_SYSCOMMAND ids.
    std::vector<UINT> commands(UINT msg = WM_COMMAND) const;
    std::vector<UINT> messages(std::initializer_list<UINT> filter) const;
};

Recorder& recorder();
const char* owner_class();

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A visible top-level window with a system menu and, when given, a menu bar.
    HWND owner(HMENU bar = nullptr, int w = 300, int h = 200);
    // The popup windows shown right now, outermost first.
    static std::vector<HWND> open_popups();
    // Runs `during` once, inside the next modal (menu) loop.
    static void when_menu_opens(std::function<void(HWND)> during);

    win::VirtualClock clock;
};

// "&File" with Open (101), separator, Exit (102); "&Edit" with Cut (201), Copy (202).
HMENU make_bar();

}  // namespace menus_test
