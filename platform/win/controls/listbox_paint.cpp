// Drawing a list: items with the selection in highlight colours, the focus
// rectangle, and a classic scroll bar (arrow buttons, dithered track, raised thumb).
#include <algorithm>

#include "win/controls/listbox.h"
#include "win/gdi/font.h"

namespace win::controls::listbox {

int item_height(const State& s) { return std::max(1, gdi::font_metrics(control_font(s)).height); }

namespace {

bool wants_scroll_bar(HWND hwnd) { return GetWindowLongA(hwnd, GWL_STYLE) & WS_VSCROLL; }
int bar_width() { return GetSystemMetrics(SM_CXVSCROLL); }

const char* const kUpArrow[] = {"...x...", "..xxx..", ".xxxxx.", "xxxxxxx"};
const char* const kDownArrow[] = {"xxxxxxx", ".xxxxx.", "..xxx..", "...x..."};

}  // namespace

int visible_rows(HWND hwnd, const State& s) {
    return std::max(1, int(client_rect(hwnd).bottom) / item_height(s));
}

int max_top(HWND hwnd, const State& s) {
    return std::max(0, int(s.items.size()) - visible_rows(hwnd, s));
}

ScrollBar scroll_bar(HWND hwnd, const State& s) {
    ScrollBar sb;
    const RECT rc = client_rect(hwnd);
    const bool overflow = int(s.items.size()) > visible_rows(hwnd, s);
    const bool always = GetWindowLongA(hwnd, GWL_STYLE) & LBS_DISABLENOSCROLL;
    if (!wants_scroll_bar(hwnd) || (!overflow && !always)) return sb;
    sb.shown = true;
    sb.active = overflow;
    const int w = bar_width();
    sb.bar = RECT{rc.right - w, rc.top, rc.right, rc.bottom};
    const int arrow = std::min(w, int(rc.bottom) / 2);
    sb.up = RECT{sb.bar.left, rc.top, rc.right, rc.top + arrow};
    sb.down = RECT{sb.bar.left, rc.bottom - arrow, rc.right, rc.bottom};
    if (sb.active) {
        const int track = sb.down.top - sb.up.bottom;
        const int total = int(s.items.size()), shown = visible_rows(hwnd, s);
        int size = std::max(8, track * shown / std::max(total, 1));
        size = std::min(size, track);
        const int range = max_top(hwnd, s);
        int at = range ? (track - size) * std::min(s.top, range) / range : 0;
        sb.thumb = RECT{sb.bar.left, sb.up.bottom + at, rc.right, sb.up.bottom + at + size};
    }
    return sb;
}

RECT items_rect(HWND hwnd, const State& s) {
    RECT r = client_rect(hwnd);
    ScrollBar sb = scroll_bar(hwnd, s);
    if (sb.shown) r.right = sb.bar.left;
    return r;
}

namespace {

void arrow_button(HDC dc, const RECT& r, const char* const* arrow, bool enabled) {
    fill(dc, r, COLOR_BTNFACE);
    raised_frame(dc, r);
    int x = (r.left + r.right - 7) / 2, y = (r.top + r.bottom - 4) / 2;
    if (enabled) {
        draw_picture(dc, x, y, arrow, 4, {{'x', COLOR_BTNTEXT}});
    } else {
        draw_picture(dc, x + 1, y + 1, arrow, 4, {{'x', COLOR_BTNHIGHLIGHT}});
        draw_picture(dc, x, y, arrow, 4, {{'x', COLOR_BTNSHADOW}});
    }
}

void draw_scroll_bar(HDC dc, const ScrollBar& sb) {
    // The track is a dither of face and highlight, as classic scroll bars are.
    RECT track{sb.bar.left, sb.up.bottom, sb.bar.right, sb.down.top};
    fill(dc, track, COLOR_BTNFACE);
    for (int y = track.top; y < track.bottom; ++y)
        for (int x = track.left + ((y + track.left) & 1); x < track.right; x += 2)
            fill(dc, RECT{x, y, x + 1, y + 1}, COLOR_BTNHIGHLIGHT);
    arrow_button(dc, sb.up, kUpArrow, sb.active);
    arrow_button(dc, sb.down, kDownArrow, sb.active);
    if (sb.active) {
        fill(dc, sb.thumb, COLOR_BTNFACE);
        raised_frame(dc, sb.thumb);
    }
}

}  // namespace

void paint(HWND hwnd, const State& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    HBRUSH bg = parent_color(s.combo ? s.combo : hwnd, dc, WM_CTLCOLORLISTBOX);
    const RECT area = items_rect(hwnd, s);
    FillRect(dc, &area, bg);
    HGDIOBJ old_font = SelectObject(dc, control_font(s));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = is_enabled(hwnd);
    const COLORREF text = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    const int h = item_height(s);
    for (int i = s.top, y = 0; i < int(s.items.size()) && y < area.bottom; ++i, y += h) {
        RECT row{area.left, y, area.right, y + h};
        const bool selected = i == s.cur;
        if (selected) fill(dc, row, COLOR_HIGHLIGHT);
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
        RECT label = row;
        label.left += 2;
        const std::string& t = s.items[size_t(i)].text;
        DrawTextA(dc, t.c_str(), int(t.size()), &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (selected && (has_focus(hwnd) || s.combo)) DrawFocusRect(dc, &row);
    }
    SelectObject(dc, old_font);
    ScrollBar sb = scroll_bar(hwnd, s);
    if (sb.shown) draw_scroll_bar(dc, sb);
    EndPaint(hwnd, &ps);
}

}  // namespace win::controls::listbox
