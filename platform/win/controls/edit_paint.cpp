// Drawing the single-line edit: text, the selection in highlight colours
// while focused, grey text when disabled. The caret is hidden meanwhile.
#include <algorithm>

#include "win/controls/edit.h"
#include "win/gdi/font.h"

namespace win::controls::edit {

int prefix_width(const State& s, size_t n) {
    n = std::min(n, s.text.size());
    return gdi::text_extent(control_font(s), std::string_view(s.text).substr(0, n)).cx;
}

int line_height(const State& s) { return gdi::font_metrics(control_font(s)).height; }

int text_top(HWND hwnd, const State& s) {
    RECT rc = client_rect(hwnd);
    return std::max(0, (int(rc.bottom) - line_height(s)) / 2);
}

size_t index_at(HWND hwnd, const State& s, int x) {
    (void)hwnd;
    const int target = x - kMargin + s.scroll;
    size_t best = 0;
    int best_distance = 1 << 30;
    for (size_t i = 0; i <= s.text.size(); ++i) {
        int d = std::abs(prefix_width(s, i) - target);
        if (d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    return best;
}

namespace {

void run(HDC dc, const State& s, size_t from, size_t to, int top) {
    if (from >= to) return;
    int x = kMargin - s.scroll + prefix_width(s, from);
    TextOutA(dc, x, top, s.text.data() + from, int(to - from));
}

}  // namespace

void paint(HWND hwnd, const State& s) {
    HideCaret(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
        const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
        const bool enabled = is_enabled(hwnd);
        const bool grey = !enabled || (style & ES_READONLY);
        HBRUSH bg = parent_color(hwnd, dc, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
        const RECT rc = client_rect(hwnd);
        FillRect(dc, &rc, bg);
        HGDIOBJ old_font = SelectObject(dc, control_font(s));
        SetBkMode(dc, TRANSPARENT);
        if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        const int top = text_top(hwnd, s);
        const bool show_selection = has_focus(hwnd) || (style & ES_NOHIDESEL);
        const size_t a = show_selection ? s.sel_min() : 0, b = show_selection ? s.sel_max() : 0;
        run(dc, s, 0, a, top);
        run(dc, s, b, s.text.size(), top);
        if (a < b) {
            int x0 = kMargin - s.scroll + prefix_width(s, a);
            int x1 = kMargin - s.scroll + prefix_width(s, b);
            fill(dc, RECT{x0, top, x1, top + line_height(s)}, COLOR_HIGHLIGHT);
            COLORREF old = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            run(dc, s, a, b, top);
            SetTextColor(dc, old);
        }
        SelectObject(dc, old_font);
    }
    EndPaint(hwnd, &ps);
    ShowCaret(hwnd);
}

}  // namespace win::controls::edit
