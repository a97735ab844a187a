// The window class of popup menus, and the engine's own hidden window that
// turns a press on a menu bar into tracking once input routing is done.
#pragma once

#include "winuser.h"

namespace win::menus {

// Not shown yet; the caller shows it once its highlight is set.
HWND create_popup_window(HWND owner, HMENU menu, const RECT& screen_rect);

// Asks for tracking of a window's bar starting with an open item, from the
// next turn of the message loop.
void post_bar_tracking(HWND owner, int bar_item);

}  // namespace win::menus
