// Laying out DrawTextA: '&' prefixes, line breaks and word wrapping.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win/gdi/font_face.h"

namespace win::gdi {

struct TextLine {
    std::string text;    // as drawn, prefixes removed
    int underline = -1;  // index into text of the underlined character
    int width = 0;
};

// Removes the prefix marks from one line: "&x" underlines x, "&&" is one
// '&', a trailing lone '&' is dropped. With no_prefix the text stays as is.
TextLine strip_prefixes(std::string_view text, bool no_prefix);

// Splits into lines (at line breaks unless single_line) and, when
// wrap_width >= 0, breaks lines at spaces so that each fits when it can.
std::vector<TextLine> layout_text(FontFace& face, std::string_view text, bool single_line,
                                  bool no_prefix, int wrap_width);

}  // namespace win::gdi
