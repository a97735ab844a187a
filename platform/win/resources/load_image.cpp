#include "win/resources/load_image.h"

#include <cstring>

#include "win/gdi/icon.h"
#include "win/resources/dib_decoder.h"
#include "win/resources/icon_decoder.h"
#include "win/resources/registry.h"
#include "wingdi.h"
#include "winuser_resources.h"

namespace win::res {

HBITMAP load_bitmap(const ResourceName& name, HINSTANCE instance) {
    const BlobEntry* e = find_bitmap_entry(name, instance);
    if (!e) return nullptr;
    DibResult d = decode_bmp(e->bytes);
    if (!d.ok()) return nullptr;
    // The decoded pixels already have the layout of a top-down 32-bit DIB.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = d.image.width;
    bmi.bmiHeader.biHeight = -d.image.height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, d.image.pixels.data(), d.image.pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}

HICON load_icon(const ResourceName& name, int size, HINSTANCE instance) {
    const BlobEntry* e = find_icon_entry(name, instance);
    if (!e) return nullptr;
    IconResult r = decode_icon(e->bytes, size);
    if (!r.ok()) return nullptr;
    gdi::Surface surface;
    surface.width = r.image.width;
    surface.height = r.image.height;
    surface.pixels = std::move(r.image.pixels);
    return gdi::create_icon(surface, r.image.alpha);
}

}  // namespace win::res

HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name) {
    if (!name) return nullptr;
    return win::res::load_bitmap(win::res::ResourceName::from_platform(name), module);
}

HICON LoadIconA(HINSTANCE module, LPCSTR name) {
    if (!name) return nullptr;
    // The platform's LoadIcon always gives the large size.
    return win::res::load_icon(win::res::ResourceName::from_platform(name), 32, module);
}
