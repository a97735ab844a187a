// A clean window system on a virtual clock per test, an owner window that
// counts what it receives, and small helpers to build templates.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/core/automation.h"
#include "win/core/clock.h"
#include "win/dialogs/dialogs.h"
#include "winuser.h"

namespace dialog_test {

struct OwnerLog {
    int timer_ticks = 0;
    int activations = 0;
};
OwnerLog& owner_log();

// What the test dialog procedure saw.
struct DialogLog {
    std::vector<int> commands;  // LOWORD(wParam) of each WM_COMMAND
    HWND init_focus_param = nullptr;
    int end_on_command = 0;  // EndDialog(id) when this command arrives (0: never)
    INT_PTR init_result = TRUE;
    int end_on_timer_ms = 0;  // set a timer in WM_INITDIALOG that ends the dialog with 77
};
DialogLog& dialog_log();
INT_PTR CALLBACK logging_dialog_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);

using win::res::control;
win::res::DialogTemplate dialog_template(const char* caption, int cx, int cy,
                                         std::vector<win::res::DialogControl> controls,
                                         DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                       DS_MODALFRAME | DS_SETFONT);

// Dispatches what is pending through the dialog keyboard of a modeless dialog.
void pump_dialog(HWND dlg);

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        win::automation::reset(&clock);
        owner_log() = OwnerLog{};
        dialog_log() = DialogLog{};
    }
    void TearDown() override { win::automation::reset(&clock); }
    HWND make_owner(int x = 100, int y = 100, int w = 400, int h = 300);

    win::VirtualClock clock;
};

}  // namespace dialog_test
