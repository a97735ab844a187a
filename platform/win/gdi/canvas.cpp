// Clipped pixel access for the drawing calls.
#include "win/gdi/canvas.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "win/gdi/dib_format.h"

namespace win::gdi {

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (empty(r)) r = {0, 0, 0, 0};
    return r;
}

namespace {

std::optional<DibFormat> section_format(const Bitmap& b) {
    const DibBits& d = *b.dib_bits;
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    std::memcpy(info.data(), &d.header, sizeof d.header);
    if (!d.colors.empty())
        std::memcpy(info.data() + sizeof d.header, d.colors.data(),
                    std::min<std::size_t>(d.colors.size(), 256) * sizeof(RGBQUAD));
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    return parse_dib(bmi, DIB_RGB_COLORS);
}

}  // namespace

void load_dib_section(Bitmap& b) {
    if (!b.dib_bits) return;
    auto f = section_format(b);
    if (!f) return;
    Surface& s = *b.surface;
    for (int y = 0; y < s.height; ++y)
        decode_row(*f, f->row(b.dib_bits->bits.data(), y), 0, s.width, s.row(y));
}

void store_dib_section(Bitmap& b) {
    if (!b.dib_bits) return;
    auto f = section_format(b);
    if (!f) return;
    Surface& s = *b.surface;
    for (int y = 0; y < s.height; ++y)
        encode_row(*f, s.row(y), s.width, f->row(b.dib_bits->bits.data(), y));
}

Canvas::Canvas(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !dc->surface) return;
    dc_ = dc;
    surface_ = dc->surface.get();
    if (dc->memory) {
        Bitmap* bm = find_bitmap(dc->state.bitmap);
        if (bm && bm->dib_bits) {
            dib_ = bm;
            load_dib_section(*bm);
        }
    }
    offset_ = {dc->origin.x + dc->state.viewport.x, dc->origin.y + dc->state.viewport.y};
    clip_ = intersect(dc->state.clip, RECT{0, 0, surface_->width, surface_->height});
}

Canvas::~Canvas() {
    if (dib_ && written_) store_dib_section(*dib_);
}

// Saturating, so that absurd coordinates stay absurd instead of wrapping.
RECT Canvas::to_surface(const RECT& r) const {
    auto add = [](LONG a, LONG b) {
        return LONG(std::clamp<std::int64_t>(std::int64_t(a) + b, INT32_MIN, INT32_MAX));
    };
    return {add(r.left, offset_.x), add(r.top, offset_.y), add(r.right, offset_.x),
            add(r.bottom, offset_.y)};
}

void Canvas::fill(const RECT& r, std::uint32_t pixel) {
    RECT c = intersect(r, clip_);
    if (empty(c)) return;
    for (int y = c.top; y < c.bottom; ++y)
        std::fill(surface_->row(y) + c.left, surface_->row(y) + c.right, pixel);
    written_ = true;
}

void Canvas::invert(const RECT& r) {
    RECT c = intersect(r, clip_);
    if (empty(c)) return;
    for (int y = c.top; y < c.bottom; ++y)
        for (int x = c.left; x < c.right; ++x) surface_->row(y)[x] ^= 0xffffff;
    written_ = true;
}

}  // namespace win::gdi
