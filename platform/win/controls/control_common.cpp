#include "win/controls/control_common.h"

#include <cstring>

#include "win/core/window.h"
#include "win/gdi/font.h"

namespace win::controls {

HFONT control_font(const ControlBase& s) { return s.font ? s.font : gdi::default_gui_font(); }

void notify_parent(HWND ctl, WORD code) {
    HWND parent = GetParent(ctl);
    if (!parent) return;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(ctl)), code), LPARAM(ctl));
}

LRESULT notify_parent_nmhdr(HWND ctl, UINT code) {
    HWND parent = GetParent(ctl);
    if (!parent) return 0;
    NMHDR nm{ctl, UINT_PTR(GetDlgCtrlID(ctl)), code};
    return SendMessageA(parent, WM_NOTIFY, WPARAM(nm.idFrom), LPARAM(&nm));
}

HBRUSH parent_color(HWND ctl, HDC dc, UINT message) {
    HWND parent = GetParent(ctl);
    LRESULT r = parent ? SendMessageA(parent, message, WPARAM(dc), LPARAM(ctl)) : 0;
    if (!r) r = DefWindowProcA(parent ? parent : ctl, message, WPARAM(dc), LPARAM(ctl));
    return reinterpret_cast<HBRUSH>(r);
}

bool is_enabled(HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; }
bool has_focus(HWND hwnd) { return GetFocus() == hwnd; }

RECT client_rect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

std::string_view window_text_view(HWND hwnd) {
    Window* w = find_window(hwnd);
    return w ? std::string_view(w->text) : std::string_view();
}

void fill(HDC dc, const RECT& r, int color_index) {
    FillRect(dc, &r, GetSysColorBrush(color_index));
}

void hline(HDC dc, int x0, int x1, int y, int color_index) {
    if (x1 > x0) fill(dc, RECT{x0, y, x1, y + 1}, color_index);
}

void vline(HDC dc, int x, int y0, int y1, int color_index) {
    if (y1 > y0) fill(dc, RECT{x, y0, x + 1, y1}, color_index);
}

void bevel(HDC dc, const RECT& r, int top_left, int bottom_right) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    hline(dc, r.left, r.right, r.top, top_left);
    vline(dc, r.left, r.top, r.bottom, top_left);
    hline(dc, r.left, r.right, r.bottom - 1, bottom_right);
    vline(dc, r.right - 1, r.top, r.bottom, bottom_right);
}

void raised_frame(HDC dc, RECT r) {
    bevel(dc, r, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
    InflateRect(&r, -1, -1);
    bevel(dc, r, COLOR_3DLIGHT, COLOR_BTNSHADOW);
}

void draw_label(HDC dc, std::string_view text, RECT r, UINT dt_flags, bool enabled) {
    int old_mode = SetBkMode(dc, TRANSPARENT);
    if (enabled) {
        DrawTextA(dc, text.data(), int(text.size()), &r, dt_flags);
    } else {
        COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        DrawTextA(dc, text.data(), int(text.size()), &shifted, dt_flags);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, text.data(), int(text.size()), &r, dt_flags);
        SetTextColor(dc, old);
    }
    SetBkMode(dc, old_mode);
}

void draw_picture(HDC dc, int x, int y, const char* const* rows, int row_count,
                  std::initializer_list<PictureColor> palette) {
    for (int row = 0; row < row_count; ++row) {
        const char* line = rows[row];
        for (int col = 0; line[col]; ++col) {
            for (const PictureColor& p : palette) {
                if (p.key != line[col]) continue;
                fill(dc, RECT{x + col, y + row, x + col + 1, y + row + 1}, p.color_index);
                break;
            }
        }
    }
}

}  // namespace win::controls
