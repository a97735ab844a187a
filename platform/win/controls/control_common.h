// What every control shares: its state record hung on the window, the font
// it draws with, notifications to the parent and the classic drawing bits.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "winuser.h"

namespace win::controls {

// Controls keep a pointer to their state in the first extra window slot.
inline constexpr int kStateBytes = sizeof(LONG_PTR);

struct ControlBase {
    virtual ~ControlBase() = default;
    HFONT font = nullptr;  // null until WM_SETFONT: the dialog font is used
};

template <class State>
State* state_of(HWND hwnd) {
    auto* base = reinterpret_cast<ControlBase*>(GetWindowLongPtrA(hwnd, 0));
    return dynamic_cast<State*>(base);
}

// Window procedure shell: builds the state on WM_NCCREATE, frees it on
// WM_NCDESTROY, answers the font messages, leaves the background to
// WM_PAINT (every control paints all of itself) and hands the rest to `handle`.
template <class State, LRESULT (*handle)(HWND, State&, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK control_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto state = std::make_unique<State>();
        SetWindowLongPtrA(hwnd, 0,
                          reinterpret_cast<LONG_PTR>(static_cast<ControlBase*>(state.release())));
    }
    State* s = state_of<State>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_NCDESTROY: {
            LRESULT r = handle(hwnd, *s, msg, wp, lp);
            SetWindowLongPtrA(hwnd, 0, 0);
            delete static_cast<ControlBase*>(s);
            return r;
        }
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wp);
            if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
            return handle(hwnd, *s, msg, wp, lp);
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s->font);
        case WM_ERASEBKGND:
            return 1;
    }
    return handle(hwnd, *s, msg, wp, lp);
}

// The font a control draws with.
HFONT control_font(const ControlBase& s);

// WM_COMMAND to the parent with the control's id and a notification code.
void notify_parent(HWND ctl, WORD code);
// WM_NOTIFY to the parent with a bare NMHDR.
LRESULT notify_parent_nmhdr(HWND ctl, UINT code);

// Asks the parent for colours (WM_CTLCOLOR*), falling back to the default
// answer when the parent leaves the message alone. Returns the brush.
HBRUSH parent_color(HWND ctl, HDC dc, UINT ctlcolor_message);

// A window's state as the controls read it.
bool is_enabled(HWND hwnd);
bool has_focus(HWND hwnd);
RECT client_rect(HWND hwnd);
std::string_view window_text_view(HWND hwnd);

// Drawing in a system colour.
void fill(HDC dc, const RECT& r, int color_index);
void hline(HDC dc, int x0, int x1, int y, int color_index);  // [x0, x1)
void vline(HDC dc, int x, int y0, int y1, int color_index);  // [y0, y1)
// One ring: top and left lines in `top_left`, bottom and right in
// `bottom_right` (which owns the far corners).
void bevel(HDC dc, const RECT& r, int top_left, int bottom_right);
// The raised push-button face: white and dark outer ring, light and shadow inner.
void raised_frame(HDC dc, RECT r);

// Text as labels draw it: in the DC's colour, or grey with a white emboss
// when disabled. The DC's background mode is left transparent.
void draw_label(HDC dc, std::string_view text, RECT r, UINT dt_flags, bool enabled);

// A small picture given as text, one character per pixel; `palette` maps a
// character to a COLOR_ index ('.' is left alone).
struct PictureColor {
    char key;
    int color_index;
};
void draw_picture(HDC dc, int x, int y, const char* const* rows, int row_count,
                  std::initializer_list<PictureColor> palette);

}  // namespace win::controls
