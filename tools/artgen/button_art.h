// The 24 x 24 pictures of the picture buttons: a whole button face per state.
#pragma once

#include "canvas.h"

namespace art {

enum class ButtonState { up, down, disabled };

// The glyph centred on a raised face (up), on a sunken face shifted one
// pixel right and down (down), or its dark pixels embossed in grey on a raised
// face (disabled).
Canvas button_picture(const Canvas& glyph, ButtonState state);

}  // namespace art
