// Driving the window system from tests: a hook for every modal loop, input
// through the same routing the displays use, and reading what is shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "win/core/clock.h"
#include "win/core/input.h"
#include "winuser.h"

namespace win::automation {

// Starts a test from a clean slate: a virtual clock at a fixed time, no
// windows, no queued messages, timers or hook. Classes stay registered.
void reset(Clock* clock);

// Called with the modal window whenever a modal loop starts.
void set_modal_hook(std::function<void(HWND)> hook);

// Dispatches everything pending, paint and due timers included, without waiting.
void pump();
// Moves the virtual clock forward in steps, pumping at each step, so timers
// tick at the times they are due.
void advance_ms(int ms);

// Input, routed as real input is; call pump() afterwards outside modal loops.
void click(HWND hwnd, int x, int y, input::Button button = input::Button::Left);  // client coords
void click_center(HWND hwnd);
void mouse_down(HWND hwnd, int x, int y);
void mouse_move(HWND hwnd, int x, int y);
void mouse_up(HWND hwnd, int x, int y);
void key(HWND any_window_of_top, UINT vk, bool down = true, char ch = 0);
void press(HWND any_window_of_top, UINT vk, char ch = 0);  // down and up
void type(HWND any_window_of_top, const std::string& text);

// A child (at any depth) by class and/or text; null for "any".
HWND find_child(HWND parent, const char* class_name, const char* text);
std::string window_text(HWND hwnd);
// A pixel of a window's client area as 0x00RRGGBB, read from its surface.
std::uint32_t pixel(HWND hwnd, int x, int y);
// Writes a top-level window's surface as PNG.
bool save_png(HWND hwnd, const char* path);

}  // namespace win::automation
