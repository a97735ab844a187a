#include "win/x11/doubled_surface.h"

#include <algorithm>

namespace win::x11 {
namespace {

RECT overlap(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Later drawing over the picture wins pixel by pixel: only pixels still as
// the picture left them are taken from the patch.
void put_fine(const gdi::Surface& given, const gdi::FinePatch& p, const RECT& r, gdi::Surface& d) {
    const std::size_t w = std::size_t(p.area.right - p.area.left);
    for (int y = r.top; y < r.bottom; ++y) {
        const std::size_t py = std::size_t(y - p.area.top);
        const std::uint32_t* now = given.row(y);
        const std::uint32_t* drawn = p.drawn.data() + py * w;
        const std::uint32_t* fine_top = p.fine.data() + 2 * py * 2 * w;
        const std::uint32_t* fine_bottom = fine_top + 2 * w;
        std::uint32_t* top = d.row(2 * y);
        std::uint32_t* bottom = d.row(2 * y + 1);
        for (int x = r.left; x < r.right; ++x) {
            const std::size_t px = std::size_t(x - p.area.left);
            if (now[x] != drawn[px]) continue;
            top[2 * x] = fine_top[2 * px];
            top[2 * x + 1] = fine_top[2 * px + 1];
            bottom[2 * x] = fine_bottom[2 * px];
            bottom[2 * x + 1] = fine_bottom[2 * px + 1];
        }
    }
}

}  // namespace

void put_doubled(const gdi::Surface& given, const RECT& dirty, gdi::Surface& d) {
    const RECT r = overlap(dirty, RECT{0, 0, given.width, given.height});
    if (empty(r) || d.width < 2 * given.width || d.height < 2 * given.height) return;
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* src = given.row(y);
        std::uint32_t* top = d.row(2 * y);
        for (int px = r.left; px < r.right; ++px) top[2 * px] = top[2 * px + 1] = src[px];
        std::copy(top + 2 * r.left, top + 2 * r.right, d.row(2 * y + 1) + 2 * r.left);
    }
    for (const gdi::FinePatch& p : given.fine_patches) {
        const RECT part = overlap(r, p.area);
        if (!empty(part)) put_fine(given, p, part, d);
    }
}

}  // namespace win::x11
