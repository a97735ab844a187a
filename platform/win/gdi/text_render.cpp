// Anti-aliased glyph blending and underlines.
#include "win/gdi/text_render.h"

#include <algorithm>

#include "win/gdi/font.h"

namespace win::gdi {
namespace {

inline std::uint32_t blend(std::uint32_t dst, std::uint32_t src, unsigned a) {
    if (a == 255) return src;
    unsigned inv = 255 - a;
    auto ch = [&](int shift) {
        unsigned v = (((src >> shift) & 0xff) * a + ((dst >> shift) & 0xff) * inv + 127) / 255;
        return std::uint32_t(v) << shift;
    };
    return ch(16) | ch(8) | ch(0);
}

}  // namespace

FontFace* dc_font(DeviceContext& dc) {
    Font* f = find_font(dc.state.font);
    if (!f) f = find_font(default_gui_font());
    return f ? f->face.get() : nullptr;
}

int render_text(Canvas& canvas, FontFace& face, const TextRun& run, const RECT& clip) {
    Surface& s = canvas.surface();
    const int baseline = run.y + face.ascent();
    int pen = run.x;
    for (std::size_t i = 0; i < run.text.size(); ++i) {
        const Glyph& g = face.glyph(static_cast<unsigned char>(run.text[i]));
        const int gx = pen + g.left, gy = baseline - g.top;
        const int y0 = std::max(gy, int(clip.top)), y1 = std::min(gy + g.height, int(clip.bottom));
        const int x0 = std::max(gx, int(clip.left)), x1 = std::min(gx + g.width, int(clip.right));
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* cov = g.coverage.data() + std::size_t(y - gy) * g.width;
            std::uint32_t* row = s.row(y);
            for (int x = x0; x < x1; ++x)
                if (unsigned a = cov[x - gx]) row[x] = blend(row[x], run.color, a);
        }
        if (int(i) == run.underline) {
            const int uy = baseline + 1;
            if (uy >= clip.top && uy < clip.bottom)
                for (int x = std::max(pen, int(clip.left));
                     x < std::min(pen + g.advance, int(clip.right)); ++x)
                    s.row(uy)[x] = run.color;
        }
        pen += g.advance;
    }
    canvas.mark_written();
    return pen - run.x;
}

}  // namespace win::gdi
