// Icons and DrawIcon / DrawIconEx.
#include "win/gdi/icon.h"

#include <algorithm>

#include "win/gdi/canvas.h"
#include "win/gdi/objects.h"
#include "winuser.h"

namespace win::gdi {

HICON create_icon(const Surface& image, const std::vector<std::uint8_t>& alpha_or_mask) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
        return nullptr;
    if (!alpha_or_mask.empty() && alpha_or_mask.size() != image.pixels.size()) return nullptr;
    auto icon = std::make_unique<Icon>();
    icon->image = image;
    icon->alpha =
        alpha_or_mask.empty() ? std::vector<std::uint8_t>(image.pixels.size(), 255) : alpha_or_mask;
    return to_handle<HICON>(tables().icons.add(std::move(icon)));
}

bool destroy_icon(HICON icon) { return tables().icons.remove(icon) != nullptr; }

SIZE icon_size(HICON icon) {
    const Icon* i = find_icon(icon);
    return i ? SIZE{i->image.width, i->image.height} : SIZE{0, 0};
}

namespace {

// Nearest-neighbour scaling to cx x cy with alpha blending.
void draw_icon(Canvas& c, const Icon& icon, int x, int y, int cx, int cy) {
    RECT r = intersect(RECT{x, y, x + cx, y + cy}, c.clip());
    for (int dy = r.top; dy < r.bottom; ++dy) {
        int sy = int(std::int64_t(dy - y) * icon.image.height / cy);
        const std::uint32_t* src = icon.image.row(sy);
        const std::uint8_t* alpha = icon.alpha.data() + std::size_t(sy) * icon.image.width;
        std::uint32_t* dst = c.surface().row(dy);
        for (int dx = r.left; dx < r.right; ++dx) {
            int sx = int(std::int64_t(dx - x) * icon.image.width / cx);
            unsigned a = alpha[sx];
            if (a == 0) continue;
            if (a == 255) {
                dst[dx] = src[sx];
                continue;
            }
            std::uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                unsigned s = (src[sx] >> shift) & 0xff, d = (dst[dx] >> shift) & 0xff;
                out |= std::uint32_t((s * a + d * (255 - a) + 127) / 255) << shift;
            }
            dst[dx] = out;
        }
    }
    c.mark_written();
}

}  // namespace
}  // namespace win::gdi

using namespace win::gdi;

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flicker,
                UINT flags) {
    Canvas c(hdc);
    const Icon* i = find_icon(icon);
    if (!c.ok() || !i || (flags & DI_NORMAL) == 0) return FALSE;
    if (cx <= 0) cx = i->image.width;
    if (cy <= 0) cy = i->image.height;
    // A flicker-free brush would mean drawing off screen first; our surfaces
    // are off screen already, so it only paints the background.
    RECT r = c.to_surface(RECT{x, y, x + cx, y + cy});
    if (flicker) {
        const Brush* b = find_brush(flicker);
        if (b && !b->hollow) c.fill(r, to_pixel(b->color));
    }
    draw_icon(c, *i, r.left, r.top, cx, cy);
    return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
    return DrawIconEx(hdc, x, y, icon, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0,
                      nullptr, DI_NORMAL);
}
