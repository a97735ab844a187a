// The BUTTON class's state, shared by its behaviour and its drawing.
#pragma once

#include "win/controls/control_common.h"

namespace win::controls::button {

struct State : ControlBase {
    UINT check = BST_UNCHECKED;
    bool pushed = false;     // drawn pressed
    bool tracking = false;   // the mouse holds it (capture)
    bool space = false;      // the Space key holds it
    HANDLE image = nullptr;  // BM_SETIMAGE
};

inline UINT type_of(HWND hwnd) { return UINT(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK; }

void paint(HWND hwnd, const State& s, HDC dc);
// Owner-drawn buttons: one WM_DRAWITEM to the parent with this action.
void draw_owner(HWND hwnd, const State& s, HDC dc, UINT action);

}  // namespace win::controls::button
