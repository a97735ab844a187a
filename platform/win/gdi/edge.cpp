// DrawEdge: the classic two-ring 3-D borders.
#include <algorithm>

#include "win/gdi/canvas.h"
#include "win/gdi/sys_colors.h"
#include "winuser.h"

namespace win::gdi {
namespace {

struct Ring {
    int top_left = -1;  // COLOR_ index, -1 for no ring
    int bottom_right = -1;
};

struct Rings {
    Ring outer, inner;
};

Rings edge_colors(UINT edge, UINT flags) {
    Rings r;
    if (flags & BF_MONO) {
        if (edge & BDR_OUTER) r.outer = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
        if (edge & BDR_INNER) r.inner = {COLOR_WINDOW, COLOR_WINDOW};
    } else if (flags & BF_FLAT) {
        if (edge & BDR_OUTER) r.outer = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
        if (edge & BDR_INNER) r.inner = {COLOR_BTNFACE, COLOR_BTNFACE};
    } else {
        if (edge & BDR_RAISEDOUTER)
            r.outer = {COLOR_3DLIGHT, COLOR_3DDKSHADOW};
        else if (edge & BDR_SUNKENOUTER)
            r.outer = {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
        if (edge & BDR_RAISEDINNER)
            r.inner = {COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
        else if (edge & BDR_SUNKENINNER)
            r.inner = {COLOR_3DDKSHADOW, COLOR_3DLIGHT};
        // Soft edges put the stronger top-left line outermost.
        if ((flags & BF_SOFT) && r.outer.top_left >= 0 && r.inner.top_left >= 0)
            std::swap(r.outer.top_left, r.inner.top_left);
    }
    // A lone inner ring takes the outer position.
    if (r.outer.top_left < 0) std::swap(r.outer, r.inner);
    return r;
}

std::uint32_t pixel_of(int color_index) { return to_pixel(sys_color(color_index)); }

// One ring of 1-pixel lines: top/left first, so the two far corners take the
// bottom/right colour.
void draw_ring(Canvas& c, RECT& r, const Ring& ring, UINT sides) {
    if (ring.top_left < 0 || empty(r)) return;
    const std::uint32_t tl = pixel_of(ring.top_left), br = pixel_of(ring.bottom_right);
    if (sides & BF_TOP) c.fill({r.left, r.top, r.right, r.top + 1}, tl);
    if (sides & BF_LEFT) c.fill({r.left, r.top, r.left + 1, r.bottom}, tl);
    if (sides & BF_BOTTOM) c.fill({r.left, r.bottom - 1, r.right, r.bottom}, br);
    if (sides & BF_RIGHT) c.fill({r.right - 1, r.top, r.right, r.bottom}, br);
    if (sides & BF_TOP) ++r.top;
    if (sides & BF_LEFT) ++r.left;
    if (sides & BF_BOTTOM) --r.bottom;
    if (sides & BF_RIGHT) --r.right;
}

// A diagonal line across the rectangle, from the corner opposite the named
// end to the named end (BF_DIAGONAL_ENDTOPRIGHT and its siblings).
void draw_diagonal(Canvas& c, RECT& r, const Rings& rings, UINT flags) {
    const std::int64_t w = std::int64_t(r.right) - r.left, h = std::int64_t(r.bottom) - r.top;
    // Too large to be on any surface: nothing of it can be seen.
    if (w <= 0 || h <= 0 || w > (1 << 20) || h > (1 << 20)) return;
    const int n = int(std::min(w, h));
    const bool to_top = flags & BF_TOP, to_right = flags & BF_RIGHT;
    // "/" lines run bottom-left to top-right; "\" lines top-left to bottom-right.
    const bool slash = to_top == to_right;
    auto diag = [&](int inset, int color_index) {
        if (color_index < 0) return;
        std::uint32_t p = pixel_of(color_index);
        for (int i = 0; i < n - inset; ++i) {
            int x = r.left + i + inset;
            int y = slash ? r.top + n - 1 - i : r.top + i;
            c.set(x, y, p);
        }
    };
    diag(0, rings.outer.bottom_right);
    diag(1, rings.inner.bottom_right);
    if (flags & BF_MIDDLE) {
        // The triangle beyond the line.
        std::uint32_t face = pixel_of(COLOR_BTNFACE);
        for (int i = 0; i < n; ++i) {
            int y = slash ? r.top + n - 1 - i : r.top + i;
            c.fill({r.left + i + 2, y, r.left + n, y + 1}, face);
        }
    }
}

}  // namespace
}  // namespace win::gdi

using namespace win::gdi;

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
    Canvas c(hdc);
    if (!c.ok() || !rect) return FALSE;
    const Rings rings = edge_colors(edge, flags);
    if (flags & BF_DIAGONAL) {
        RECT r = c.to_surface(*rect);
        draw_diagonal(c, r, rings, flags);
        return TRUE;
    }
    RECT r = c.to_surface(*rect);
    const UINT sides = flags & BF_RECT;
    draw_ring(c, r, rings.outer, sides);
    draw_ring(c, r, rings.inner, sides);
    if (flags & BF_MIDDLE) c.fill(r, pixel_of(flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST) {
        POINT o = c.offset();
        *rect = {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
    }
    return TRUE;
}
