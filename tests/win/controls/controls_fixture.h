// A dialog-like parent on a virtual clock for each test, recording what its
// controls tell it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "commctrl.h"
#include "win/core/automation.h"
#include "win/core/clock.h"
#include "winuser.h"

namespace controls_test {

struct Event {
    UINT msg = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
    UINT code = 0;         // WM_NOTIFY: NMHDR.code
    UINT_PTR id_from = 0;  // WM_NOTIFY: NMHDR.idFrom
    HWND hwnd_from = nullptr;
    DRAWITEMSTRUCT draw{};  // WM_DRAWITEM: a copy
};

struct ParentLog {
    std::vector<Event> events;
    HBRUSH static_brush = nullptr;  // answer to WM_CTLCOLORSTATIC when set
    int ctlcolor_static = 0;
};

ParentLog& parent_log();

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
              DWORD ex = 0);
    // Events of one kind, in order.
    std::vector<Event> of(UINT msg) const;
    // "WM_COMMAND id code" style summaries for sequence checks.
    std::vector<std::string> commands() const;
    std::vector<std::string> scrolls() const;  // WM_HSCROLL code (and position for tracking codes)
    void clear() { parent_log().events.clear(); }
    std::uint32_t px(HWND h, int x, int y) const { return win::automation::pixel(h, x, y); }

    win::VirtualClock clock;
    HWND parent = nullptr;
};

// A system colour as the pixels read back (0x00RRGGBB).
std::uint32_t sys_pixel(int index);

}  // namespace controls_test
