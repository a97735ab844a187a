// Putting glyphs on a surface.
#pragma once

#include <string_view>

#include "win/gdi/canvas.h"
#include "win/gdi/font_face.h"

namespace win::gdi {

struct TextRun {
    int x = 0, y = 0;  // surface position of the cell's top-left corner
    std::string_view text;
    std::uint32_t color = 0;
    int underline = -1;  // index of the character to underline, -1 for none
};

// Blends the run's glyphs onto the canvas, limited to `clip` (surface
// coordinates, already within the canvas clip). Returns the advance.
int render_text(Canvas& canvas, FontFace& face, const TextRun& run, const RECT& clip);

// The font selected into a DC (the default GUI font when it went away).
FontFace* dc_font(DeviceContext& dc);

}  // namespace win::gdi
