// What a window manager sends when the user presses a window's close
// button. Lets tests close a window on an X server that runs without one.
#pragma once

namespace win::x11 {

// Sends WM_DELETE_WINDOW to the X window x_window on display_name over a
// connection of its own. False when the display or the window is missing.
[[nodiscard]] bool send_close_request(const char* display_name, unsigned long x_window);

}  // namespace win::x11
