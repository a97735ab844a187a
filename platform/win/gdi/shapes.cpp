// Rectangles, lines and single pixels.
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "win/gdi/brush_color.h"
#include "win/gdi/canvas.h"
#include "win/gdi/sys_colors.h"
#include "winuser.h"

namespace win::gdi {

std::optional<std::uint32_t> brush_pixel(HBRUSH brush) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    // Window classes and FillRect accept a system colour index + 1 as a brush.
    if (value >= 1 && value <= COLOR_MENUBAR + 1) return to_pixel(sys_color(int(value) - 1));
    const Brush* b = find_brush(brush);
    if (!b || b->hollow) return std::nullopt;
    return to_pixel(b->color);
}

std::optional<std::uint32_t> pen_pixel(HPEN pen) {
    const Pen* p = find_pen(pen);
    if (!p || p->style == PS_NULL) return std::nullopt;
    return to_pixel(p->color);
}

namespace {

// The logical point in surface coordinates, or nothing when the DC is
// stale or the point lies outside its clip.
std::optional<POINT> clipped_point(const Canvas& c, int x, int y) {
    if (!c.ok()) return std::nullopt;
    POINT o = c.offset();
    const RECT& clip = c.clip();
    int sx = x + o.x, sy = y + o.y;
    if (sx < clip.left || sx >= clip.right || sy < clip.top || sy >= clip.bottom)
        return std::nullopt;
    return POINT{sx, sy};
}

RECT normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

void frame(Canvas& c, const RECT& r, std::uint32_t pixel) {
    if (empty(r)) return;
    c.fill({r.left, r.top, r.right, r.top + 1}, pixel);
    c.fill({r.left, r.bottom - 1, r.right, r.bottom}, pixel);
    c.fill({r.left, r.top, r.left + 1, r.bottom}, pixel);
    c.fill({r.right - 1, r.top, r.right, r.bottom}, pixel);
}

// Bresenham from (x0,y0) towards (x1,y1); the end point itself stays
// undrawn. Pixel i along the major axis is offset on the minor axis by
// dminor*i/dmajor rounded half down, which lets the walk start and stop at
// the clip instead of stepping through coordinates that are never seen.
}  // namespace

void draw_line(Canvas& c, int x0, int y0, int x1, int y1, std::uint32_t pixel) {
    const std::int64_t dx = std::abs(std::int64_t(x1) - x0), dy = std::abs(std::int64_t(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool x_major = dx >= dy;
    const std::int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
    if (major == 0) return;
    const RECT clip = c.clip();
    const std::int64_t start = x_major ? x0 : y0;
    const int step = x_major ? sx : sy;
    const std::int64_t lo = x_major ? clip.left : clip.top, hi = x_major ? clip.right : clip.bottom;
    // Steps i with start + step*i inside [lo, hi).
    std::int64_t first = step > 0 ? lo - start : start - hi + 1;
    std::int64_t last = step > 0 ? hi - start : start - lo + 1;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, major);
    for (std::int64_t i = first; i < last; ++i) {
        const std::int64_t offset = (2 * minor * i + major - 1) / (2 * major);
        const std::int64_t a = start + step * i;
        if (x_major)
            c.set(int(a), int(y0 + sy * offset), pixel);
        else
            c.set(int(x0 + sx * offset), int(a), pixel);
    }
}

}  // namespace win::gdi

using namespace win::gdi;

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    Canvas c(hdc);
    auto pixel = brush_pixel(brush);
    if (!c.ok() || !rect || !pixel) return 0;
    c.fill(c.to_surface(*rect), *pixel);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    Canvas c(hdc);
    auto pixel = brush_pixel(brush);
    if (!c.ok() || !rect || !pixel) return 0;
    frame(c, c.to_surface(*rect), *pixel);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
    Canvas c(hdc);
    if (!c.ok() || !rect) return FALSE;
    c.invert(c.to_surface(*rect));
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    Canvas c(hdc);
    if (!c.ok() || !rect) return FALSE;
    RECT r = c.to_surface(*rect);
    if (empty(r)) return TRUE;
    // Every other pixel, inverted, so that a second call takes it away again.
    // The dots follow the surface grid, like a pattern brush would.
    const RECT clip = c.clip();
    auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0 && x >= clip.left && x < clip.right && y >= clip.top &&
            y < clip.bottom)
            c.surface().row(y)[x] ^= 0xffffff;
    };
    // Walk only the visible stretch of each side.
    for (int x = std::max(r.left, clip.left); x < std::min(r.right, clip.right); ++x) {
        dot(x, r.top);
        if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
    }
    for (int y = std::max(r.top + 1, clip.top); y < std::min(r.bottom - 1, clip.bottom); ++y) {
        dot(r.left, y);
        if (r.right - 1 > r.left) dot(r.right - 1, y);
    }
    c.mark_written();
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    Canvas c(hdc);
    if (!c.ok()) return FALSE;
    RECT r = c.to_surface(normalized(left, top, right, bottom));
    auto pen = pen_pixel(c.dc().state.pen);
    auto fill = brush_pixel(c.dc().state.brush);
    if (pen) {
        if (fill) c.fill({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, *fill);
        frame(c, r, *pen);
    } else if (fill) {
        // Without an outline the filled area is one pixel smaller to the right and bottom.
        c.fill({r.left, r.top, r.right - 1, r.bottom - 1}, *fill);
    }
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->state.position;
    dc->state.position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    Canvas c(hdc);
    if (!c.ok()) return FALSE;
    POINT from = c.dc().state.position;
    c.dc().state.position = {x, y};
    if (auto pen = pen_pixel(c.dc().state.pen)) {
        POINT o = c.offset();
        draw_line(c, from.x + o.x, from.y + o.y, x + o.x, y + o.y, *pen);
    }
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Canvas c(hdc);
    std::optional<POINT> p = clipped_point(c, x, y);
    if (!p) return CLR_INVALID;
    c.set(p->x, p->y, to_pixel(color));
    return color & 0xffffff;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Canvas c(hdc);
    std::optional<POINT> p = clipped_point(c, x, y);
    if (!p) return CLR_INVALID;
    return to_colorref(c.surface().at(p->x, p->y));
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    Canvas c(hdc);
    if (!c.ok()) return FALSE;
    RECT r = c.to_surface(normalized(x, y, x + w, y + h));
    switch (rop) {
        case BLACKNESS:
            c.fill(r, 0);
            return TRUE;
        case WHITENESS:
            c.fill(r, 0xffffff);
            return TRUE;
        case DSTINVERT:
            c.invert(r);
            return TRUE;
        case PATCOPY:
        case PATINVERT: {
            auto pixel = brush_pixel(c.dc().state.brush);
            if (!pixel) return TRUE;
            if (rop == PATCOPY) {
                c.fill(r, *pixel);
                return TRUE;
            }
            RECT k = intersect(r, c.clip());
            for (int yy = k.top; yy < k.bottom; ++yy)
                for (int xx = k.left; xx < k.right; ++xx) c.surface().row(yy)[xx] ^= *pixel;
            c.mark_written();
            return TRUE;
        }
        default:
            return FALSE;
    }
}
