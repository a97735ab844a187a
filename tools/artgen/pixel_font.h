// A 5 x 7 pixel font holding the letters the about picture needs.
#pragma once

#include <string_view>

#include "canvas.h"

namespace art {

// Width in pixels of `text` at `scale` (6 x scale per character).
int text_width(std::string_view text, int scale);
// Unknown characters draw as blanks.
void draw_text(Canvas& c, int x, int y, std::string_view text, int scale, Colour colour);

}  // namespace art
