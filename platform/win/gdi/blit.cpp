// BitBlt and StretchBlt between device contexts, with ternary raster
// operations.
#include <algorithm>
#include <cstring>
#include <vector>

#include "win/gdi/brush_color.h"
#include "win/gdi/canvas.h"

namespace win::gdi {
namespace {

bool uses_source(DWORD rop) {
    const unsigned code = (rop >> 16) & 0xff;
    // The result depends on S when swapping S changes it.
    return ((code >> 2) & 0x33) != (code & 0x33);
}

bool uses_pattern(DWORD rop) {
    const unsigned code = (rop >> 16) & 0xff;
    return ((code >> 4) & 0x0f) != (code & 0x0f);
}

// Evaluates any of the 256 ternary operations bit-parallel over one pixel.
inline std::uint32_t apply_rop(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code & (1u << i))) continue;
        out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return out & 0xffffff;
}

// Copies with nearest-neighbour sampling; sw/sh may differ from dw/dh and be
// negative to mirror.
bool blit(HDC dst_dc, int x, int y, int dw, int dh, HDC src_dc, int xs, int ys, int sw, int sh,
          DWORD rop) {
    Canvas dst(dst_dc);
    if (!dst.ok()) return false;
    const unsigned code = (rop >> 16) & 0xff;
    std::uint32_t pattern = 0;
    if (uses_pattern(rop)) {
        auto p = brush_pixel(dst.dc().state.brush);
        pattern = p ? *p : 0;
    }
    // Mirroring: a negative size on one side only flips the picture.
    bool flip_x = (dw < 0) != (sw < 0), flip_y = (dh < 0) != (sh < 0);
    if (dw < 0) x += dw, dw = -dw;
    if (dh < 0) y += dh, dh = -dh;
    if (sw < 0) xs += sw, sw = -sw;
    if (sh < 0) ys += sh, sh = -sh;
    if (dw == 0 || dh == 0) return true;
    // Beyond any surface: refuse before the sums below overflow.
    constexpr int kMax = 1 << 26;
    for (std::int64_t v : {std::int64_t(x), std::int64_t(y), std::int64_t(dw), std::int64_t(dh),
                           std::int64_t(xs), std::int64_t(ys), std::int64_t(sw), std::int64_t(sh)})
        if (v < -kMax || v > kMax) return false;
    RECT target = intersect(dst.to_surface(RECT{x, y, x + dw, y + dh}), dst.clip());
    if (empty(target)) return true;
    POINT o = dst.offset();
    const int x0 = x + o.x, y0 = y + o.y;

    if (!uses_source(rop)) {
        for (int ty = target.top; ty < target.bottom; ++ty) {
            std::uint32_t* row = dst.surface().row(ty);
            for (int tx = target.left; tx < target.right; ++tx)
                row[tx] = apply_rop(code, pattern, 0, row[tx]);
        }
        dst.mark_written();
        return true;
    }

    if (sw == 0 || sh == 0) return false;
    // The same DC may be both ends; read from a copy of the source.
    std::shared_ptr<Surface> source;
    POINT so{0, 0};
    if (src_dc == dst_dc) {
        // Pixels only: the copy is read once and never shown.
        source = std::make_shared<Surface>();
        source->width = dst.surface().width;
        source->height = dst.surface().height;
        source->pixels = dst.surface().pixels;
        so = o;
    } else {
        Canvas src(src_dc);
        if (!src.ok()) return false;
        source = src.dc().surface;
        so = src.offset();
    }
    const Surface& s = *source;
    const int sx0 = xs + so.x, sy0 = ys + so.y;
    std::vector<int> columns(std::size_t(target.right - target.left));
    for (int tx = target.left; tx < target.right; ++tx) {
        int i = tx - x0;
        if (flip_x) i = dw - 1 - i;
        columns[std::size_t(tx - target.left)] = sx0 + int(std::int64_t(i) * sw / dw);
    }
    for (int ty = target.top; ty < target.bottom; ++ty) {
        int j = ty - y0;
        if (flip_y) j = dh - 1 - j;
        const int sy = sy0 + int(std::int64_t(j) * sh / dh);
        if (sy < 0 || sy >= s.height) continue;
        const std::uint32_t* src_row = s.row(sy);
        std::uint32_t* row = dst.surface().row(ty);
        for (int tx = target.left; tx < target.right; ++tx) {
            const int sx = columns[std::size_t(tx - target.left)];
            if (sx < 0 || sx >= s.width) continue;
            row[tx] = code == 0xcc ? src_row[sx] : apply_rop(code, pattern, src_row[sx], row[tx]);
        }
    }
    dst.mark_written();
    return true;
}

}  // namespace
}  // namespace win::gdi

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
    return win::gdi::blit(dst, x, y, cx, cy, src, x1, y1, cx, cy, rop) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int cxs, int cys,
                DWORD rop) {
    return win::gdi::blit(dst, x, y, cx, cy, src, xs, ys, cxs, cys, rop) ? TRUE : FALSE;
}
