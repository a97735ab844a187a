#include "button_art.h"

namespace art {

namespace {

constexpr int size = 24;

// Two rings, outer then inner: top-left colours, then bottom-right ones,
// so the bottom-left and top-right corners take the bottom-right colour.
void edge(Canvas& c, Colour outer_tl, Colour outer_br, Colour inner_tl, Colour inner_br) {
    for (int ring = 0; ring < 2; ++ring) {
        Colour tl = ring ? inner_tl : outer_tl, br = ring ? inner_br : outer_br;
        int n = size - 2 * ring;
        c.hline(ring, ring, n, tl);
        c.vline(ring, ring, n, tl);
        c.hline(ring, ring + n - 1, n, br);
        c.vline(ring + n - 1, ring, n, br);
    }
}

// The dark pixels of a glyph: what stays visible when it is embossed.
Canvas dark_part(const Canvas& glyph) {
    Canvas out(glyph.width(), glyph.height());
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            Colour p = glyph.at(x, y);
            if (p == none) continue;
            int luma =
                (int(p >> 16 & 0xff) * 30 + int(p >> 8 & 0xff) * 59 + int(p & 0xff) * 11) / 100;
            if (luma < 128) out.set(x, y, black);
        }
    return out;
}

}  // namespace

Canvas button_picture(const Canvas& glyph, ButtonState state) {
    Canvas c(size, size, face);
    const int x = (size - glyph.width()) / 2, y = (size - glyph.height()) / 2;
    switch (state) {
        case ButtonState::up:
            edge(c, highlight, dark_shadow, light, shadow);
            c.draw(glyph, x, y);
            break;
        case ButtonState::down:
            edge(c, dark_shadow, highlight, shadow, light);
            c.draw(glyph, x + 1, y + 1);
            break;
        case ButtonState::disabled: {
            edge(c, highlight, dark_shadow, light, shadow);
            Canvas dark = dark_part(glyph);
            c.silhouette(dark, x + 1, y + 1, highlight);
            c.silhouette(dark, x, y, shadow);
            break;
        }
    }
    return c;
}

}  // namespace art
