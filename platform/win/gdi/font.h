// Fonts as the controls and the window core measure them.
#pragma once

#include <string_view>

#include "wingdi.h"

namespace win::gdi {

// The dialog font (8-point sans); never deleted. Same as
// GetStockObject(DEFAULT_GUI_FONT).
HFONT default_gui_font();

// Extent of the text drawn in one line with the font, '&' taken literally.
// {0,0} for a bad handle.
SIZE text_extent(HFONT font, std::string_view text);

struct FontMetrics {
    int height = 0;  // tmHeight: ascent + descent
    int ascent = 0;
    int descent = 0;
    int average_width = 0;  // extent of "A..Za..z" / 52, rounded (dialog base unit x)
};
// Zeroes for a bad handle.
FontMetrics font_metrics(HFONT font);

}  // namespace win::gdi
