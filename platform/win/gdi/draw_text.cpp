// DrawTextA: layout of prefixed, wrapped text and its drawing.
#include "win/gdi/draw_text.h"

#include <algorithm>
#include <cstring>

#include "win/gdi/canvas.h"
#include "win/gdi/text_render.h"
#include "winuser.h"

namespace win::gdi {

TextLine strip_prefixes(std::string_view text, bool no_prefix) {
    TextLine line;
    if (no_prefix) {
        line.text = text;
        return line;
    }
    line.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            line.text += text[i];
            continue;
        }
        if (i + 1 >= text.size()) break;  // a lone trailing '&' shows nothing
        if (text[i + 1] == '&') {
            line.text += '&';
        } else if (line.underline < 0) {
            line.underline = int(line.text.size());
            line.text += text[i + 1];
        } else {
            // Only the first marked letter is underlined; later marks just vanish.
            line.text += text[i + 1];
        }
        ++i;
    }
    return line;
}

namespace {

// Breaks one logical line at spaces; spaces at a break are dropped.
void wrap(FontFace& face, TextLine line, int width, std::vector<TextLine>& out) {
    std::size_t start = 0;
    const std::string& t = line.text;
    while (true) {
        // Greedily take words while they fit.
        std::size_t end = start, fit = std::string::npos;
        int w = 0;
        while (end < t.size()) {
            std::size_t word_end = t.find(' ', end);
            if (word_end == std::string::npos) word_end = t.size();
            int ww = face.extent(std::string_view(t).substr(end, word_end - end));
            if (fit != std::string::npos && w + ww > width) break;
            w += ww;
            fit = word_end;
            if (word_end >= t.size()) break;
            w += face.advance(' ');
            end = word_end + 1;
        }
        std::size_t stop = fit == std::string::npos ? t.size() : fit;
        TextLine piece;
        piece.text = t.substr(start, stop - start);
        if (line.underline >= int(start) && line.underline < int(stop))
            piece.underline = line.underline - int(start);
        piece.width = face.extent(piece.text);
        out.push_back(std::move(piece));
        start = stop;
        while (start < t.size() && t[start] == ' ') ++start;
        if (start >= t.size()) return;
    }
}

}  // namespace

std::vector<TextLine> layout_text(FontFace& face, std::string_view text, bool single_line,
                                  bool no_prefix, int wrap_width) {
    std::vector<TextLine> lines;
    std::vector<std::string_view> raw;
    if (single_line) {
        raw.push_back(text);
    } else {
        std::size_t start = 0;
        while (true) {
            std::size_t nl = text.find('\n', start);
            std::string_view piece = text.substr(
                start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
            if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
            raw.push_back(piece);
            if (nl == std::string_view::npos) break;
            start = nl + 1;
        }
    }
    for (std::string_view r : raw) {
        TextLine line = strip_prefixes(r, no_prefix);
        if (single_line) std::erase_if(line.text, [](char ch) { return ch == '\r' || ch == '\n'; });
        if (wrap_width >= 0 && !line.text.empty()) {
            wrap(face, std::move(line), wrap_width, lines);
        } else {
            line.width = face.extent(line.text);
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

namespace {

// Shortens a line with "..." so that it fits.
void end_ellipsis(FontFace& face, TextLine& line, int width) {
    if (line.width <= width) return;
    const int dots = face.extent("...");
    while (!line.text.empty() && face.extent(line.text) + dots > width) line.text.pop_back();
    if (line.underline >= int(line.text.size())) line.underline = -1;
    line.text += "...";
    line.width = face.extent(line.text);
}

}  // namespace
}  // namespace win::gdi

using namespace win::gdi;

int DrawTextA(HDC hdc, LPCSTR text, int len, LPRECT rect, UINT format) {
    Canvas c(hdc);
    if (!c.ok() || !rect || (!text && len != 0)) return 0;
    FontFace* face = dc_font(c.dc());
    if (!face) return 0;
    std::string_view s(text ? text : "",
                       len < 0 ? (text ? std::strlen(text) : 0) : std::size_t(len));
    const bool single = format & DT_SINGLELINE;
    const int width = rect->right - rect->left;
    const bool wrap = (format & DT_WORDBREAK) && !single;
    auto lines =
        layout_text(*face, s, single, format & DT_NOPREFIX, wrap ? std::max(width, 0) : -1);
    const int line_height = face->height();
    const int total = line_height * int(lines.size());

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& l : lines) widest = std::max(widest, l.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    int y = rect->top;
    if (single && (format & DT_VCENTER))
        y = rect->top + (rect->bottom - rect->top - total) / 2;
    else if (single && (format & DT_BOTTOM))
        y = rect->bottom - total;

    const DcState& st = c.dc().state;
    RECT clip = c.clip();
    if (!(format & DT_NOCLIP)) clip = intersect(clip, c.to_surface(*rect));
    const POINT o = c.offset();
    const std::uint32_t color = to_pixel(st.text_color);
    int line_y = y;
    for (TextLine& line : lines) {
        if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) end_ellipsis(*face, line, width);
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - line.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - line.width;
        if (format & DT_HIDEPREFIX) line.underline = -1;
        if (st.bk_mode == OPAQUE && !(format & DT_PREFIXONLY))
            c.fill(intersect(clip, RECT{x + o.x, line_y + o.y, x + o.x + line.width,
                                        line_y + o.y + line_height}),
                   to_pixel(st.bk_color));
        if (format & DT_PREFIXONLY) {
            // Only the underline: the glyphs are measured but not drawn.
            if (line.underline >= 0) {
                int ux = x + o.x +
                         face->extent(
                             std::string_view(line.text).substr(0, std::size_t(line.underline)));
                int uw = face->advance(
                    static_cast<unsigned char>(line.text[std::size_t(line.underline)]));
                int uy = line_y + o.y + face->ascent() + 1;
                c.fill(intersect(clip, RECT{ux, uy, ux + uw, uy + 1}), color);
            }
        } else {
            render_text(c, *face, {x + o.x, line_y + o.y, line.text, color, line.underline}, clip);
        }
        line_y += line_height;
    }
    return line_y - rect->top;
}
