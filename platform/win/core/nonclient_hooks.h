// The menu bar lives in the non-client area of a top-level window, but the
// menu engine sits above the core; it plugs in through these hooks.
#pragma once

#include "windef.h"

namespace win {

struct MenuBarHooks {
    // Height of the menu bar for a window of this width; 0 when there is none.
    int (*bar_height)(HWND window, HMENU menu, int width) = nullptr;
    void (*paint_bar)(HWND window, HMENU menu, HDC dc, const RECT& bar) = nullptr;
    // A mouse press in the bar, in window coordinates.
    void (*bar_click)(HWND window, HMENU menu, POINT pt) = nullptr;
    // Alt, F10, Alt+letter and Alt+Space; returns true when consumed.
    bool (*menu_key)(HWND window, UINT message, WPARAM vk) = nullptr;
    // A top-level window is going; its menu bar (possibly null) goes with it.
    void (*window_destroyed)(HWND window, HMENU menu) = nullptr;
};

void set_menu_bar_hooks(const MenuBarHooks& hooks);
const MenuBarHooks& menu_bar_hooks();

}  // namespace win
