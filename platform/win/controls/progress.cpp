// msctls_progress32: a range, a position and a step, drawn as classic blocks.
#include <algorithm>

#include "commctrl.h"
#include "win/controls/control_classes.h"
#include "win/controls/control_common.h"
#include "win/core/window.h"

namespace win::controls {
namespace {

struct Progress : ControlBase {
    int low = 0, high = 100, pos = 0, step = 10;
};

int clamp_pos(const Progress& p, long long v) {
    if (p.high < p.low) return int(v);
    return int(std::clamp<long long>(v, p.low, p.high));
}

// The bar moves while long operations block the message loop, so it is drawn
// at once and shown at once.
void redraw_now(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    flush_dirty_surfaces();
}

LRESULT set_pos(HWND hwnd, Progress& p, long long v) {
    int old = p.pos;
    p.pos = clamp_pos(p, v);
    if (p.pos != old) redraw_now(hwnd);
    return old;
}

// Stepping past either end wraps around into the range.
int stepped(const Progress& p) {
    long long next = (long long)p.pos + p.step;
    if (p.low == p.high) return p.low;
    long long span = (long long)p.high - p.low;
    if (next > p.high)
        next = (next - p.low) % span + p.low;
    else if (next < p.low)
        next = (next - p.low) % span + p.high;
    return int(next);
}

void paint(HWND hwnd, const Progress& p) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT rc = client_rect(hwnd);
    fill(dc, rc, COLOR_BTNFACE);
    RECT bar = rc;
    InflateRect(&bar, -1, -1);
    const bool vertical = GetWindowLongA(hwnd, GWL_STYLE) & PBS_VERTICAL;
    const int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    long long span = (long long)p.high - p.low;
    int filled = span > 0 ? int(((long long)p.pos - p.low) * length / span) : 0;
    filled = std::clamp(filled, 0, std::max(length, 0));
    if (filled > 0) {
        if (GetWindowLongA(hwnd, GWL_STYLE) & PBS_SMOOTH) {
            RECT r = bar;
            if (vertical)
                r.top = bar.bottom - filled;
            else
                r.right = bar.left + filled;
            fill(dc, r, COLOR_HIGHLIGHT);
        } else {
            // Blocks two thirds as long as the bar is thick, two pixels apart;
            // the last one started is drawn whole as far as the bar allows.
            int thick = vertical ? bar.right - bar.left : bar.bottom - bar.top;
            int block = std::max(2, thick * 2 / 3);
            for (int at = 0; at < filled; at += block + 2) {
                RECT r = bar;
                if (vertical) {
                    r.bottom = bar.bottom - at;
                    r.top = std::max<int>(bar.top, r.bottom - block);
                } else {
                    r.left = bar.left + at;
                    r.right = std::min<int>(bar.right, r.left + block);
                }
                fill(dc, r, COLOR_HIGHLIGHT);
            }
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT handle(HWND hwnd, Progress& p, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCREATE: {
            // The classic bar wears a thin sunken edge in place of a border.
            LONG style = GetWindowLongA(hwnd, GWL_STYLE);
            if (style & WS_BORDER) {
                SetWindowLongA(hwnd, GWL_STYLE, style & ~LONG(WS_BORDER));
                SetWindowLongA(hwnd, GWL_EXSTYLE,
                               GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_STATICEDGE);
            }
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
        case WM_PAINT:
            paint(hwnd, p);
            return 0;
        case WM_GETDLGCODE:
            return 0;
        case PBM_SETRANGE:
        case PBM_SETRANGE32: {
            LRESULT old = MAKELONG(WORD(p.low), WORD(p.high));
            if (msg == PBM_SETRANGE) {
                p.low = LOWORD(lp);
                p.high = HIWORD(lp);
            } else {
                p.low = int(wp);
                p.high = int(lp);
            }
            p.pos = clamp_pos(p, p.pos);
            redraw_now(hwnd);
            return old;
        }
        case PBM_GETRANGE:
            if (auto* out = reinterpret_cast<PBRANGE*>(lp)) *out = PBRANGE{p.low, p.high};
            return wp ? p.low : p.high;
        case PBM_SETPOS:
            return set_pos(hwnd, p, int(wp));
        case PBM_DELTAPOS:
            return set_pos(hwnd, p, (long long)p.pos + int(wp));
        case PBM_GETPOS:
            return p.pos;
        case PBM_SETSTEP: {
            int old = p.step;
            p.step = int(wp);
            return old;
        }
        case PBM_STEPIT: {
            int old = p.pos;
            p.pos = stepped(p);
            if (p.pos != old) redraw_now(hwnd);
            return old;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK progress_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<Progress, handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
