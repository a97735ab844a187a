// The trackbar's classic look: a sunken groove, a raised thumb (square-ended
// with ticks on both sides, pointed toward a single row of ticks) and ticks.
#include <algorithm>

#include "commctrl.h"
#include "win/controls/trackbar.h"

namespace win::controls::trackbar {

namespace {

constexpr int kTickLength = 3;
constexpr int kTickGap = 2;
constexpr int kChannelThickness = 4;

bool ticks_top(DWORD style) { return !(style & TBS_NOTICKS) && (style & (TBS_BOTH | TBS_TOP)); }
bool ticks_bottom(DWORD style) {
    return !(style & TBS_NOTICKS) && ((style & TBS_BOTH) || !(style & TBS_TOP));
}
// Only the default (ticks below) thumb is pointed; the top-ticks one is drawn square.
bool pointed(DWORD style) { return !(style & (TBS_BOTH | TBS_TOP)); }

}  // namespace

int thumb_left_for(const State& s, const RECT& channel, LONG pos) {
    long long travel = std::max<long long>(0, channel.right - channel.left - kThumbWidth);
    long long span = (long long)s.max - s.min;
    if (span <= 0) return channel.left;
    long long at = std::clamp<long long>((long long)pos - s.min, 0, span);
    return int(channel.left + (at * travel + span / 2) / span);
}

LONG pos_for_thumb_left(const State& s, const RECT& channel, int left) {
    long long travel = channel.right - channel.left - kThumbWidth;
    long long span = (long long)s.max - s.min;
    if (span <= 0 || travel <= 0) return s.min;
    long long off = std::clamp<long long>(left - channel.left, 0, travel);
    return LONG(s.min + (off * span + travel / 2) / travel);
}

Geometry layout(const State& s, DWORD style, const RECT& client) {
    const int w = client.right - client.left, h = client.bottom - client.top;
    const int room_top = ticks_top(style) ? kTickLength + kTickGap : 0;
    const int room_bottom = ticks_bottom(style) ? kTickLength + kTickGap : 0;
    int length = (style & TBS_FIXEDLENGTH) && s.thumb_length > 0
                     ? s.thumb_length
                     : std::min(21, h - room_top - room_bottom - 4);
    length = std::max(length, 6);
    Geometry g{};
    const int thumb_top = room_top + (h - room_top - room_bottom - length) / 2;
    // A pointed thumb's body is the part above the point.
    const int body = pointed(style) ? length - kThumbWidth / 2 : length;
    const int centre = thumb_top + body / 2;
    int left = std::min(kChannelMargin, std::max(0, (w - kThumbWidth) / 2));
    g.channel = RECT{left, centre - kChannelThickness / 2, w - left,
                     centre - kChannelThickness / 2 + kChannelThickness};
    const int tl = thumb_left_for(s, g.channel, s.pos);
    g.thumb = RECT{tl, thumb_top, tl + kThumbWidth, thumb_top + length};
    if (ticks_top(style)) g.tick_top = g.thumb.top - kTickGap - kTickLength;
    if (ticks_bottom(style)) g.tick_bottom = g.thumb.bottom + kTickGap;
    return g;
}

std::vector<LONG> tick_positions(const State& s, DWORD style) {
    std::vector<LONG> out;
    if (style & TBS_NOTICKS) return out;
    out.push_back(s.min);
    if (s.max != s.min) out.push_back(s.max);
    if ((style & TBS_AUTOTICKS) && s.tic_freq > 0)
        for (long long t = (long long)s.min + s.tic_freq; t < s.max; t += s.tic_freq)
            out.push_back(LONG(t));
    for (LONG t : s.tics) out.push_back(t);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

namespace {

// A checkered face marks a disabled thumb, as the classic control does.
void thumb_face(HDC dc, const RECT& r, bool enabled) {
    fill(dc, r, COLOR_BTNFACE);
    if (enabled) return;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left + ((y - r.top) & 1); x < r.right; x += 2)
            fill(dc, RECT{x, y, x + 1, y + 1}, COLOR_BTNHIGHLIGHT);
}

void square_thumb(HDC dc, const RECT& r, bool enabled) {
    RECT inner = r;
    InflateRect(&inner, -2, -2);
    thumb_face(dc, inner, enabled);
    raised_frame(dc, r);
}

// Pointing down: a body with a point of kThumbWidth/2 rows below it.
void pointed_thumb(HDC dc, const RECT& r, bool enabled) {
    const int half = kThumbWidth / 2;
    const int body_bottom = r.bottom - half;
    RECT body{r.left, r.top, r.right, body_bottom};
    RECT inner{r.left + 2, r.top + 2, r.right - 2, body_bottom};
    thumb_face(dc, inner, enabled);
    // Face of the point, row by row.
    for (int i = 0; i < half - 1; ++i)
        thumb_face(dc, RECT{r.left + 2 + i, body_bottom + i, r.right - 2 - i, body_bottom + i + 1},
                   enabled);
    hline(dc, body.left, body.right - 1, body.top, COLOR_BTNHIGHLIGHT);
    vline(dc, body.left, body.top, body_bottom, COLOR_BTNHIGHLIGHT);
    vline(dc, body.left + 1, body.top + 1, body_bottom, COLOR_3DLIGHT);
    vline(dc, body.right - 1, body.top, body_bottom, COLOR_3DDKSHADOW);
    vline(dc, body.right - 2, body.top + 1, body_bottom, COLOR_BTNSHADOW);
    for (int i = 0; i <= half; ++i) {
        int y = body_bottom + i - 1;
        fill(dc, RECT{r.left + i, y, r.left + i + 1, y + 1}, COLOR_BTNHIGHLIGHT);
        fill(dc, RECT{r.right - 1 - i, y, r.right - i, y + 1}, COLOR_3DDKSHADOW);
        if (i < half) fill(dc, RECT{r.right - 2 - i, y, r.right - 1 - i, y + 1}, COLOR_BTNSHADOW);
    }
}

}  // namespace

void paint(HWND hwnd, const State& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    const RECT rc = client_rect(hwnd);
    HBRUSH bg = parent_color(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &rc, bg);
    const Geometry g = layout(s, style, rc);
    RECT channel = g.channel;
    DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT);
    for (LONG t : tick_positions(s, style)) {
        if (t < std::min(s.min, s.max) || t > std::max(s.min, s.max)) continue;
        int x = thumb_left_for(s, g.channel, t) + kThumbWidth / 2;
        // The end ticks are longer, as on the classic control.
        bool end = t == s.min || t == s.max;
        if (g.tick_top >= 0)
            vline(dc, x, g.tick_top - (end ? 1 : 0), g.tick_top + kTickLength, COLOR_WINDOWTEXT);
        if (g.tick_bottom >= 0)
            vline(dc, x, g.tick_bottom, g.tick_bottom + kTickLength + (end ? 1 : 0),
                  COLOR_WINDOWTEXT);
    }
    if (!(style & TBS_NOTHUMB)) {
        if (pointed(style))
            pointed_thumb(dc, g.thumb, is_enabled(hwnd));
        else
            square_thumb(dc, g.thumb, is_enabled(hwnd));
    }
    if (has_focus(hwnd)) DrawFocusRect(dc, &rc);
    EndPaint(hwnd, &ps);
}

}  // namespace win::controls::trackbar
