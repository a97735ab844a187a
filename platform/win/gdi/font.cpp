// Font objects, text metrics and TextOutA.
#include "win/gdi/font.h"

#include <algorithm>
#include <cstring>

#include "win/gdi/canvas.h"
#include "win/gdi/font_face.h"
#include "win/gdi/objects.h"
#include "win/gdi/text_render.h"

namespace win::gdi {

HFONT default_gui_font() { return static_cast<HFONT>(tables().stock(DEFAULT_GUI_FONT)); }

SIZE text_extent(HFONT font, std::string_view text) {
    Font* f = find_font(font);
    if (!f) return {0, 0};
    return {f->face->extent(text), f->face->height()};
}

FontMetrics font_metrics(HFONT font) {
    Font* f = find_font(font);
    if (!f) return {};
    return {f->face->height(), f->face->ascent(), f->face->descent(), f->face->average_width()};
}

}  // namespace win::gdi

using namespace win::gdi;

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
    if (!lf) return nullptr;
    return make_font(*lf, false);
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA out) {
    DeviceContext* dc = find_dc(hdc);
    FontFace* face = dc ? dc_font(*dc) : nullptr;
    if (!face || !out) return FALSE;
    TEXTMETRICA tm{};
    tm.tmHeight = face->height();
    tm.tmAscent = face->ascent();
    tm.tmDescent = face->descent();
    tm.tmInternalLeading = face->internal_leading();
    tm.tmExternalLeading = 0;
    // The advance of 'x' stands in for the font's average character width.
    tm.tmAveCharWidth = face->advance('x');
    tm.tmMaxCharWidth = face->max_advance();
    tm.tmWeight = face->weight();
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xff;
    tm.tmDefaultChar = 0x1f;
    tm.tmBreakChar = 0x20;
    tm.tmPitchAndFamily = 0x20 | 0x06;  // variable pitch, TrueType, swiss
    *out = tm;
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int len, LPSIZE out) {
    DeviceContext* dc = find_dc(hdc);
    FontFace* face = dc ? dc_font(*dc) : nullptr;
    if (!face || !out || len < 0 || (len > 0 && !text)) return FALSE;
    out->cx = face->extent(std::string_view(text ? text : "", std::size_t(len)));
    out->cy = face->height();
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len) {
    Canvas c(hdc);
    if (!c.ok() || len < 0 || (len > 0 && !text)) return FALSE;
    FontFace* face = dc_font(c.dc());
    if (!face) return FALSE;
    std::string_view s(text ? text : "", std::size_t(len));
    POINT o = c.offset();
    const DcState& st = c.dc().state;
    if (st.bk_mode == OPAQUE)
        c.fill({x + o.x, y + o.y, x + o.x + face->extent(s), y + o.y + face->height()},
               to_pixel(st.bk_color));
    render_text(c, *face, {x + o.x, y + o.y, s, to_pixel(st.text_color), -1}, c.clip());
    return TRUE;
}
