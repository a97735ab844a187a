// Input from a display (or from a test) becomes messages here, the same way
// for every backend: mouse to the window under it or to the capture, keys to
// the focus, clicks on disabled windows to nobody.
#pragma once

#include "windef.h"

namespace win::input {

enum class Button { Left, Right, Middle };

// Points are in the coordinates of the top-level window's surface.
void mouse_move(HWND top, POINT pt);
void mouse_button(HWND top, POINT pt, Button button, bool down);
// ch is the character the key types (0 for none); it comes back as WM_CHAR
// from TranslateMessage.
void key(HWND top, UINT vk, bool down, char ch);
void close_requested(HWND top);
void activated(HWND top, bool active);

}  // namespace win::input
