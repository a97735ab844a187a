// The window layer's demo window: a painted client area that marks and
// logs every click, and ends the message loop when it is closed.
#pragma once

#include "winuser.h"

namespace demo {

inline constexpr int kWidth = 480;
inline constexpr int kHeight = 320;

// Registers the class and creates the (hidden) top-level window titled
// "Korvane"; null on failure. Messages worth seeing are logged to stdout.
HWND create_demo_window(HINSTANCE instance);

}  // namespace demo
