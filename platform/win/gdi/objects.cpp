// Object tables, stock objects and the object calls that do not need a DC.
#include "win/gdi/objects.h"

#include <cstring>

#include "win/gdi/font_face.h"
#include "win/gdi/sys_colors.h"

namespace win::gdi {

Tables& tables() {
    static Tables instance;
    return instance;
}

namespace {

HGDIOBJ as_object(std::uintptr_t value) { return reinterpret_cast<HGDIOBJ>(value); }

HGDIOBJ make_stock_brush(COLORREF color, bool hollow) {
    auto b = std::make_unique<Brush>();
    b->color = color;
    b->hollow = hollow;
    b->stock = true;
    return as_object(tables().brushes.add(std::move(b)));
}

HGDIOBJ make_stock_pen(int style, COLORREF color) {
    auto p = std::make_unique<Pen>();
    p->style = style;
    p->color = color;
    p->stock = true;
    return as_object(tables().pens.add(std::move(p)));
}

bool referenced_by_a_dc(HGDIOBJ obj) {
    bool used = false;
    auto uses = [obj](const DcState& s) {
        return s.brush == obj || s.pen == obj || s.font == obj || s.bitmap == obj;
    };
    tables().dcs.for_each([&](std::uintptr_t, const DeviceContext& dc) {
        if (uses(dc.state)) used = true;
        for (const DcState& s : dc.saved)
            if (uses(s)) used = true;
    });
    return used;
}

}  // namespace

HGDIOBJ Tables::stock(int index) {
    if (index < 0 || index > kDefaultBitmap) return nullptr;
    if (stock_[index]) return stock_[index];
    HGDIOBJ made = nullptr;
    switch (index) {
        case WHITE_BRUSH:
            made = make_stock_brush(RGB(255, 255, 255), false);
            break;
        case LTGRAY_BRUSH:
            made = make_stock_brush(RGB(192, 192, 192), false);
            break;
        case GRAY_BRUSH:
            made = make_stock_brush(RGB(128, 128, 128), false);
            break;
        case DKGRAY_BRUSH:
            made = make_stock_brush(RGB(64, 64, 64), false);
            break;
        case BLACK_BRUSH:
            made = make_stock_brush(RGB(0, 0, 0), false);
            break;
        case NULL_BRUSH:
            made = make_stock_brush(0, true);
            break;
        case WHITE_PEN:
            made = make_stock_pen(PS_SOLID, RGB(255, 255, 255));
            break;
        case BLACK_PEN:
            made = make_stock_pen(PS_SOLID, RGB(0, 0, 0));
            break;
        case NULL_PEN:
            made = make_stock_pen(PS_NULL, 0);
            break;
        case kDefaultBitmap: {
            HBITMAP bm = make_bitmap(1, 1, 1);
            bitmaps.get(bm)->stock = true;
            made = bm;
            break;
        }
        case DEFAULT_GUI_FONT: {
            LOGFONTA lf{};
            lf.lfHeight = -11;
            lf.lfWeight = FW_NORMAL;
            std::strcpy(lf.lfFaceName, "MS Shell Dlg");
            made = make_font(lf, true);
            break;
        }
        default:
            return nullptr;
    }
    stock_[index] = made;
    return made;
}

HBRUSH Tables::sys_color_brush(int index) {
    if (index < 0 || index >= int(std::size(sys_brushes_))) return nullptr;
    if (!sys_brushes_[index]) {
        auto b = std::make_unique<Brush>();
        b->color = sys_color(index);
        b->stock = true;
        sys_brushes_[index] = to_handle<HBRUSH>(brushes.add(std::move(b)));
    }
    return sys_brushes_[index];
}

HBITMAP make_bitmap(int width, int height, int bits_pixel) {
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > (1 << 28)) return nullptr;
    auto bm = std::make_unique<Bitmap>();
    bm->surface = std::make_shared<Surface>(width, height, 0);
    bm->bits_pixel = bits_pixel;
    return to_handle<HBITMAP>(tables().bitmaps.add(std::move(bm)));
}

HFONT make_font(const LOGFONTA& lf, bool stock) {
    auto face = open_font_face(lf);
    if (!face) return nullptr;
    auto f = std::make_unique<Font>();
    f->logfont = lf;
    f->face = std::move(face);
    f->stock = stock;
    return to_handle<HFONT>(tables().fonts.add(std::move(f)));
}

}  // namespace win::gdi

using namespace win::gdi;

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_unique<Brush>();
    b->color = color & 0xffffff;
    return win::to_handle<HBRUSH>(tables().brushes.add(std::move(b)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_NULL) return nullptr;
    auto p = std::make_unique<Pen>();
    p->style = style;
    p->width = width < 1 ? 1 : width;
    p->color = color & 0xffffff;
    return win::to_handle<HPEN>(tables().pens.add(std::move(p)));
}

HBITMAP CreateBitmap(int cx, int cy, UINT planes, UINT bitCount, const void* bits) {
    if (planes != 1 || (bitCount != 1 && bitCount != 32)) return nullptr;
    HBITMAP h = make_bitmap(cx, cy, int(bitCount));
    Bitmap* bm = find_bitmap(h);
    if (!bm || !bits) return h;
    Surface& s = *bm->surface;
    const auto* src = static_cast<const std::uint8_t*>(bits);
    if (bitCount == 32) {
        std::memcpy(s.pixels.data(), src, s.pixels.size() * 4);
        for (auto& p : s.pixels) p &= 0xffffff;
    } else {
        // Monochrome rows are padded to 16 bits; a set bit is white.
        int stride = ((cx + 15) / 16) * 2;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x)
                s.row(y)[x] = (src[y * stride + x / 8] >> (7 - x % 8)) & 1 ? 0xffffff : 0;
    }
    return h;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) return nullptr;
    // A memory DC still holding its default bitmap makes monochrome bitmaps.
    int bpp = dc->memory && dc->state.bitmap == dc->default_bitmap ? 1 : 32;
    return make_bitmap(cx, cy, bpp);
}

HGDIOBJ GetStockObject(int i) {
    // The older text fonts are the dialog font here too.
    if (i == ANSI_VAR_FONT || i == SYSTEM_FONT) i = DEFAULT_GUI_FONT;
    return i == kDefaultBitmap ? nullptr : tables().stock(i);
}

// Stock objects answer TRUE and stay; objects still selected somewhere stay
// and answer FALSE, so that no DC is left pointing at a dead object.
BOOL DeleteObject(HGDIOBJ obj) {
    if (!obj) return FALSE;
    Tables& t = tables();
    const bool in_use = referenced_by_a_dc(obj);
    switch (win::handle_kind(obj)) {
        case win::HandleKind::Brush: {
            Brush* b = t.brushes.get(obj);
            if (!b) return FALSE;
            if (b->stock) return TRUE;
            return in_use ? FALSE : t.brushes.remove(obj) != nullptr;
        }
        case win::HandleKind::Pen: {
            Pen* p = t.pens.get(obj);
            if (!p) return FALSE;
            if (p->stock) return TRUE;
            return in_use ? FALSE : t.pens.remove(obj) != nullptr;
        }
        case win::HandleKind::Font: {
            Font* f = t.fonts.get(obj);
            if (!f) return FALSE;
            if (f->stock) return TRUE;
            return in_use ? FALSE : t.fonts.remove(obj) != nullptr;
        }
        case win::HandleKind::Bitmap: {
            Bitmap* b = t.bitmaps.get(obj);
            if (!b) return FALSE;
            if (b->stock) return TRUE;
            return in_use || b->selected_in ? FALSE : t.bitmaps.remove(obj) != nullptr;
        }
        default:
            return FALSE;
    }
}

int GetObjectA(HGDIOBJ obj, int cb, LPVOID out) {
    Tables& t = tables();
    switch (win::handle_kind(obj)) {
        case win::HandleKind::Bitmap: {
            Bitmap* b = t.bitmaps.get(obj);
            if (!b) return 0;
            if (!out) return sizeof(BITMAP);
            if (cb < int(sizeof(BITMAP))) return 0;
            BITMAP bm{};
            bm.bmWidth = b->surface->width;
            bm.bmHeight = b->surface->height;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = WORD(b->bits_pixel);
            int row_bits = bm.bmWidth * b->bits_pixel;
            bm.bmWidthBytes = b->dib ? ((row_bits + 31) / 32) * 4 : ((row_bits + 15) / 16) * 2;
            if (b->dib)
                bm.bmBits = b->dib_bits ? static_cast<void*>(b->dib_bits->bits.data())
                                        : static_cast<void*>(b->surface->pixels.data());
            std::memcpy(out, &bm, sizeof bm);
            return sizeof(BITMAP);
        }
        case win::HandleKind::Font: {
            Font* f = t.fonts.get(obj);
            if (!f) return 0;
            if (!out) return sizeof(LOGFONTA);
            if (cb < int(sizeof(LOGFONTA))) return 0;
            std::memcpy(out, &f->logfont, sizeof(LOGFONTA));
            return sizeof(LOGFONTA);
        }
        case win::HandleKind::Pen: {
            Pen* p = t.pens.get(obj);
            if (!p) return 0;
            if (!out) return sizeof(LOGPEN);
            if (cb < int(sizeof(LOGPEN))) return 0;
            LOGPEN lp{UINT(p->style), POINT{p->width, 0}, p->color};
            std::memcpy(out, &lp, sizeof lp);
            return sizeof(LOGPEN);
        }
        case win::HandleKind::Brush: {
            Brush* b = t.brushes.get(obj);
            if (!b) return 0;
            if (!out) return sizeof(LOGBRUSH);
            if (cb < int(sizeof(LOGBRUSH))) return 0;
            LOGBRUSH lb{UINT(b->hollow ? BS_HOLLOW : BS_SOLID), b->color, 0};
            std::memcpy(out, &lb, sizeof lb);
            return sizeof(LOGBRUSH);
        }
        default:
            return 0;
    }
}
