// The per-window system menu.
#pragma once

#include "winuser.h"

namespace win::menus {

// Greys the default commands that do not apply to the window as it is now
// (Restore while not minimised, Minimize without a minimise box...).
void refresh_system_menu(HWND window, HMENU menu);

// The window's system menu, made on first use; null when it has none.
HMENU system_menu_of(HWND window);

}  // namespace win::menus
