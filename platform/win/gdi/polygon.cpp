// Ellipse and Polygon: filled with the brush, outlined with the pen.
#include <algorithm>
#include <cmath>
#include <vector>

#include "win/gdi/brush_color.h"
#include "win/gdi/canvas.h"

namespace win::gdi {
namespace {

// Fills rows at pixel centres, alternate (even-odd) rule, right ends excluded.
void fill_polygon(Canvas& c, const std::vector<POINT>& pts, std::uint32_t pixel) {
    int top = pts[0].y, bottom = pts[0].y;
    for (const POINT& p : pts) top = std::min(top, int(p.y)), bottom = std::max(bottom, int(p.y));
    top = std::max(top, int(c.clip().top));
    bottom = std::min(bottom, int(c.clip().bottom));
    std::vector<double> xs;
    for (int y = top; y < bottom; ++y) {
        const double cy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const POINT& a = pts[i];
            const POINT& b = pts[(i + 1) % pts.size()];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            xs.push_back(a.x + (cy - a.y) * double(b.x - a.x) / double(b.y - a.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int x0 = int(std::ceil(xs[i] - 0.5)), x1 = int(std::ceil(xs[i + 1] - 0.5));
            c.fill({x0, y, x1, y + 1}, pixel);
        }
    }
}

void outline(Canvas& c, const std::vector<POINT>& pts, std::uint32_t pixel) {
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const POINT a = pts[i], b = pts[(i + 1) % pts.size()];
        draw_line(c, a.x, a.y, b.x, b.y, pixel);
    }
}

}  // namespace
}  // namespace win::gdi

using namespace win::gdi;

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
    Canvas c(hdc);
    if (!c.ok() || !pts || count < 2) return FALSE;
    const POINT o = c.offset();
    std::vector<POINT> p(pts, pts + count);
    for (POINT& q : p) q.x += o.x, q.y += o.y;
    if (auto fill = brush_pixel(c.dc().state.brush)) fill_polygon(c, p, *fill);
    if (auto pen = pen_pixel(c.dc().state.pen)) outline(c, p, *pen);
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    Canvas c(hdc);
    if (!c.ok()) return FALSE;
    RECT r = c.to_surface(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                               std::max(top, bottom)});
    const std::int64_t w = std::int64_t(r.right) - r.left, h = std::int64_t(r.bottom) - r.top;
    // Boxes larger than any surface are refused before their arithmetic overflows.
    if (w > (1 << 20) || h > (1 << 20)) return FALSE;
    if (w < 1 || h < 1) return TRUE;
    const double cx = (r.left + r.right - 1) / 2.0, cy = (r.top + r.bottom - 1) / 2.0;
    const double rx = std::max(0.5, (r.right - r.left - 1) / 2.0),
                 ry = std::max(0.5, (r.bottom - r.top - 1) / 2.0);
    auto fill = brush_pixel(c.dc().state.brush);
    auto pen = pen_pixel(c.dc().state.pen);
    // Row spans of the ellipse; the pen marks their ends, and the column
    // spans' ends close the steep parts.
    const RECT clip = c.clip();
    for (int y = std::max(r.top, clip.top); y < std::min(r.bottom, clip.bottom); ++y) {
        const double d = (y - cy) / ry;
        if (std::abs(d) > 1) continue;
        const double half = rx * std::sqrt(1 - d * d);
        // Mirrored exactly, so that both halves match.
        const int x0 = int(std::lround(cx - half)), x1 = int(r.left + r.right - 1) - x0;
        if (fill) c.fill({x0, y, x1 + 1, y + 1}, *fill);
        if (pen) c.set(x0, y, *pen), c.set(x1, y, *pen);
    }
    if (pen) {
        for (int x = std::max(r.left, clip.left); x < std::min(r.right, clip.right); ++x) {
            const double d = (x - cx) / rx;
            if (std::abs(d) > 1) continue;
            const double half = ry * std::sqrt(1 - d * d);
            const int y0 = int(std::lround(cy - half));
            c.set(x, y0, *pen);
            c.set(x, int(r.top + r.bottom - 1) - y0, *pen);
        }
    }
    return TRUE;
}
