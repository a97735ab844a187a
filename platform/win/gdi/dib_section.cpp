// CreateDIBSection: bitmaps whose pixels the caller reaches directly.
#include <cstring>

#include "win/gdi/canvas.h"
#include "win/gdi/dib_format.h"

using namespace win::gdi;

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
    if (bits) *bits = nullptr;
    auto f = parse_dib(bmi, usage);
    if ((hdc && !find_dc(hdc)) || !f || section || offset) return nullptr;
    HBITMAP h = make_bitmap(f->width, f->height, f->bits);
    Bitmap* bm = find_bitmap(h);
    if (!bm) return nullptr;
    bm->dib = true;
    if (f->bits == 32 && f->plain && f->top_down) {
        // The surface already is this layout: hand out its memory.
        if (bits) *bits = bm->surface->pixels.data();
        return h;
    }
    auto d = std::make_unique<DibBits>();
    d->header = bmi->bmiHeader;
    d->header.biSize = sizeof(BITMAPINFOHEADER);
    const auto* extra = reinterpret_cast<const std::uint8_t*>(bmi) + bmi->bmiHeader.biSize;
    int entries = f->bits <= 8                                   ? f->palette_size
                  : bmi->bmiHeader.biCompression == BI_BITFIELDS ? 3
                                                                 : 0;
    d->colors.resize(std::size_t(entries));
    if (entries) std::memcpy(d->colors.data(), extra, std::size_t(entries) * sizeof(RGBQUAD));
    d->header.biClrUsed = f->bits <= 8 ? DWORD(entries) : 0;
    d->bits.assign(f->image_size(), 0);
    if (bits) *bits = d->bits.data();
    bm->dib_bits = std::move(d);
    load_dib_section(*bm);
    return h;
}
