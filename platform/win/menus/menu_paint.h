// Drawing menus in the classic look, and the draw requests of owner-drawn
// items.
#pragma once

#include "win/menus/menu_table.h"

namespace win::menus {

void paint_bar(HWND window, HMENU menu, HDC dc, const RECT& bar);
// Repaints the bar of a window now (after the highlight moved).
void repaint_bar(HWND window);

// The whole popup (frame and every item) into the popup window's DC.
void paint_popup(HWND popup_window, HMENU menu, HWND owner, HDC dc);
// One item of a shown popup. action is ODA_DRAWENTIRE or ODA_SELECT.
void draw_popup_item(HWND popup_window, HMENU menu, HWND owner, HDC dc, int index, UINT action);

}  // namespace win::menus
